#include "platform/BackgroundRelease.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::thread::id>;

// Notes on which thread the value (not a moved-from shell) was destroyed.
struct Witness {
    explicit Witness(std::shared_ptr<Log> log) : gone(std::move(log)) {}
    Witness(Witness&& other) noexcept
        : gone(other.gone), armed(std::exchange(other.armed, false)) {}
    Witness& operator=(Witness&&) = delete;
    ~Witness() {
        if (armed) gone->push_back(std::this_thread::get_id());
    }
    std::shared_ptr<Log> gone;
    bool armed = true;
};

} // namespace

TEST(BackgroundRelease, ValuesGoOnAnotherThreadEachOnce) {
    auto log = std::make_shared<Log>();
    {
        BackgroundRelease release;
        for (int i = 0; i < 3; ++i)
            release.Release(Witness(log));
    } // waits for the last one
    ASSERT_EQ(log->size(), 3u);
    for (const auto id : *log)
        EXPECT_NE(id, std::this_thread::get_id());
}
