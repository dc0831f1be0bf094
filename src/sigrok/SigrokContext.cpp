#include "sigrok/SigrokContext.h"

#include "sigrok/SigrokError.h"

#include <cstdarg>
#include <cstdio>
#include <libsigrok/libsigrok.h>
#include <mutex>

namespace sigrok {

namespace {

// What libsigrok logged on one thread since that thread's last ClearLog.
struct ThreadLog {
    std::string lastMessage;
    bool errorLogged = false;

    void Remember(bool isError, std::string message) {
        // An error says more than a warning that follows it.
        if (isError || !errorLogged) lastMessage = std::move(message);
        errorLogged = errorLogged || isError;
    }
};

ThreadLog& ThisThreadsLog() {
    thread_local ThreadLog log;
    return log;
}

int KeepMessage(void*, int level, const char* format, va_list args) {
    if (level > SR_LOG_WARN) return SR_OK;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    ThisThreadsLog().Remember(level <= SR_LOG_ERR, text);
    return SR_OK;
}

} // namespace

// The one libsigrok context of the process while any Context holds it.
// libsigrok itself is one per process: counting the holds, under one lock,
// mirrors that instead of letting a second context clear the first one's
// drivers, and an ending hold never races a new one's start.
class Context::Process {
  public:
    static sr_context* Join() {
        const std::lock_guard lock(Mutex());
        Process& p = Instance();
        if (p.holds_ == 0) {
            const int rc = sr_init(&p.ctx_);
            if (rc != SR_OK)
                throw Error(std::string("libsigrok lässt sich nicht starten: ") + ErrorCodeText(rc));
            sr_log_loglevel_set(SR_LOG_WARN);
            sr_log_callback_set(&KeepMessage, nullptr);
        }
        ++p.holds_;
        return p.ctx_;
    }

    static void Leave() {
        const std::lock_guard lock(Mutex());
        Process& p = Instance();
        if (--p.holds_ > 0) return;
        sr_exit(p.ctx_);
        p.ctx_ = nullptr;
        sr_log_callback_set_default();
    }

  private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static Process& Instance() {
        static Process process;
        return process;
    }

    sr_context* ctx_ = nullptr;
    int holds_ = 0;
};

Context::Context() : ctx_(Process::Join()) {}

Context::~Context() {
    Process::Leave();
}

void Context::ClearLog() {
    ThisThreadsLog() = {};
}

const std::string& Context::LastMessage() const {
    return ThisThreadsLog().lastMessage;
}

bool Context::ErrorLogged() const {
    return ThisThreadsLog().errorLogged;
}

} // namespace sigrok
