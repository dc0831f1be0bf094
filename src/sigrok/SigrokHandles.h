#pragma once

// Owning types for libsigrok's and GLib's C objects. Private to src/sigrok/.

#include <glib.h>
#include <libsigrok/libsigrok.h>
#include <memory>

namespace sigrok {

struct SessionDelete {
    void operator()(sr_session* s) const { sr_session_destroy(s); }
};
struct InputDelete {
    void operator()(const sr_input* in) const { sr_input_free(in); }
};
struct OutputDelete {
    void operator()(const sr_output* out) const { sr_output_free(out); }
};
struct GStringDelete {
    void operator()(GString* s) const { g_string_free(s, TRUE); }
};
struct HashTableDelete {
    void operator()(GHashTable* t) const { g_hash_table_unref(t); }
};

using SessionPtr = std::unique_ptr<sr_session, SessionDelete>;
using InputPtr = std::unique_ptr<const sr_input, InputDelete>;
using OutputPtr = std::unique_ptr<const sr_output, OutputDelete>;
using GStringPtr = std::unique_ptr<GString, GStringDelete>;
using HashTablePtr = std::unique_ptr<GHashTable, HashTableDelete>;

// libsigrok runs a session on the thread-default GLib main context. In the GUI
// thread that is the one Qt's event loop runs on, so a session run there would
// dispatch window events in the middle of an import. This gives the session a
// context of its own for as long as the guard lives.
class PrivateMainContext {
  public:
    PrivateMainContext() : context_(g_main_context_new()) {
        g_main_context_push_thread_default(context_);
    }
    ~PrivateMainContext() {
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }
    PrivateMainContext(const PrivateMainContext&) = delete;
    PrivateMainContext& operator=(const PrivateMainContext&) = delete;

  private:
    GMainContext* context_;
};

} // namespace sigrok
