#pragma once

#include <cstdarg>
#include <string>

struct sr_context;

namespace sigrok {

// Owns libsigrok's context for as long as it lives. libsigrok has one log for
// the process: it goes to the newest context, which keeps the last error
// message so that failures can say why instead of printing to the terminal,
// and back to the one before when the newest ends (contexts nest: a long-lived
// one for the window's device, short ones for an import or export).
class Context {
  public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    sr_context* Raw() const { return ctx_; }

    // Forgets what was logged so far; call before an operation whose log matters.
    void ClearLog();
    // The last error or warning libsigrok logged since ClearLog; empty if none.
    const std::string& LastMessage() const { return lastMessage_; }
    // True when libsigrok logged an error (not only a warning) since ClearLog.
    bool ErrorLogged() const { return errorLogged_; }
    // Called by the log hook.
    void Remember(bool isError, std::string message);

  private:
    using LogHook = int (*)(void*, int, const char*, va_list);
    sr_context* ctx_ = nullptr;
    LogHook previousHook_ = nullptr;
    void* previousData_ = nullptr;
    std::string lastMessage_;
    bool errorLogged_ = false;
};

} // namespace sigrok
