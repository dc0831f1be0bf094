#pragma once

#include <string>

struct sr_context;

namespace sigrok {

// Owns libsigrok's context for as long as it lives. Only one should exist at a
// time: libsigrok's log goes to the newest one, which keeps the last error
// message so that failures can say why instead of printing to the terminal.
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
    sr_context* ctx_ = nullptr;
    std::string lastMessage_;
    bool errorLogged_ = false;
};

} // namespace sigrok
