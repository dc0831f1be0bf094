#include "sigrok/SigrokContext.h"

#include "sigrok/SigrokError.h"

#include <cstdarg>
#include <cstdio>
#include <libsigrok/libsigrok.h>

namespace sigrok {

namespace {

int KeepMessage(void* data, int level, const char* format, va_list args) {
    if (level > SR_LOG_WARN) return SR_OK;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    static_cast<Context*>(data)->Remember(level <= SR_LOG_ERR, text);
    return SR_OK;
}

} // namespace

Context::Context() {
    const int rc = sr_init(&ctx_);
    if (rc != SR_OK)
        throw Error(std::string("libsigrok lässt sich nicht starten: ") + sr_strerror(rc));
    sr_log_loglevel_set(SR_LOG_WARN);
    sr_log_callback_get(&previousHook_, &previousData_);
    sr_log_callback_set(&KeepMessage, this);
}

Context::~Context() {
    if (previousHook_ == &KeepMessage)
        sr_log_callback_set(previousHook_, previousData_);
    else
        sr_log_callback_set_default();
    sr_exit(ctx_);
}

void Context::ClearLog() {
    lastMessage_.clear();
    errorLogged_ = false;
}

void Context::Remember(bool isError, std::string message) {
    // An error says more than a warning that follows it.
    if (isError || !errorLogged_) lastMessage_ = std::move(message);
    errorLogged_ = errorLogged_ || isError;
}

} // namespace sigrok
