#pragma once

#include <string>

struct sr_context;

namespace sigrok {

// A hold on libsigrok for as long as it lives. libsigrok is process-wide by
// its own design (its drivers and their devices belong to no context, and
// ending any context clears them all), so every Context shares one libsigrok
// context: the first starts it, the last ends it. An import or export may so
// come and go while the window's device records on another thread.
//
// libsigrok's log is kept per thread: a thread sees the last error message
// logged while it called libsigrok, so that failures can say why instead of
// printing to the terminal, and a recording on another thread never marks an
// export as failed.
class Context {
  public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    sr_context* Raw() const { return ctx_; }

    // Forgets what this thread logged so far; call before an operation whose log matters.
    void ClearLog();
    // The last error or warning libsigrok logged on this thread since ClearLog; empty if none.
    const std::string& LastMessage() const;
    // True when libsigrok logged an error (not only a warning) on this thread since ClearLog.
    bool ErrorLogged() const;

  private:
    class Process;
    sr_context* ctx_;
};

} // namespace sigrok
