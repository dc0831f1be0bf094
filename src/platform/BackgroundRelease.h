#pragma once

#include <thread>
#include <type_traits>
#include <utility>

// Lets large values go on a thread of their own: giving back a few hundred
// MiB to the system takes tens of milliseconds, too long for the window's
// thread. One value at a time; the destructor waits for the last one.
class BackgroundRelease {
  public:
    template <class T> void Release(T&& value) {
        static_assert(!std::is_lvalue_reference_v<T>, "hand over the value, not a copy");
        // The one before has as a rule long gone; waiting keeps one thread.
        Wait();
        thread_ = std::jthread(
            [held = std::move(value)]() mutable { const std::decay_t<T> gone = std::move(held); });
    }
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }

  private:
    std::jthread thread_;
};
