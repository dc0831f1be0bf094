#include "sigrok/decode/Library.h"

#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/SrdHandles.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace sigrokdecode {

// Collects what the library logs instead of letting it print to the terminal.
// The library calls in from its decoder threads, hence the lock.
struct Library::LogSink {
    std::mutex mutex;
    std::vector<std::string> errors;

    static int Receive(void* data, int level, const char* format, va_list args) {
        if (level > SRD_LOG_ERR) return SRD_OK;
        char text[4096];
        std::vsnprintf(text, sizeof text, format, args);
        auto* self = static_cast<LogSink*>(data);
        const std::lock_guard lock(self->mutex);
        if (self->errors.size() < 100) self->errors.emplace_back(text);
        return SRD_OK;
    }
};

namespace {

// The library keeps one interpreter and one decoder list per process, so at
// most one Library may exist at a time.
std::atomic<bool> libraryInUse{false};

std::vector<std::string> Strings(const GSList* list) {
    std::vector<std::string> out;
    for (const GSList* l = list; l; l = l->next) out.emplace_back(static_cast<const char*>(l->data));
    return out;
}

std::string Text(const char* s) { return s ? s : ""; }

OptionValue ValueOf(GVariant* v) {
    if (!v) return std::string();
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)) return Text(g_variant_get_string(v, nullptr));
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_INT64)) return std::int64_t(g_variant_get_int64(v));
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_DOUBLE)) return g_variant_get_double(v);
    return std::string();
}

void AddChannels(const GSList* list, bool required, std::vector<ChannelInfo>& out) {
    for (const GSList* l = list; l; l = l->next) {
        const auto* ch = static_cast<const srd_channel*>(l->data);
        out.push_back({Text(ch->id), Text(ch->name), Text(ch->desc), required});
    }
}

DecoderInfo Describe(const srd_decoder& d) {
    DecoderInfo info;
    info.id = Text(d.id);
    info.name = Text(d.name);
    info.longname = Text(d.longname);
    info.desc = Text(d.desc);
    info.inputs = Strings(d.inputs);
    info.outputs = Strings(d.outputs);
    AddChannels(d.channels, true, info.channels);
    AddChannels(d.opt_channels, false, info.channels);
    for (const GSList* l = d.options; l; l = l->next) {
        const auto* o = static_cast<const srd_decoder_option*>(l->data);
        OptionInfo opt{Text(o->id), Text(o->desc), ValueOf(o->def), {}};
        for (const GSList* v = o->values; v; v = v->next) opt.values.push_back(ValueOf(static_cast<GVariant*>(v->data)));
        info.options.push_back(std::move(opt));
    }
    for (const GSList* l = d.annotations; l; l = l->next) {
        const auto* const* pair = static_cast<char* const*>(l->data);
        info.annotations.push_back({Text(pair[0]), Text(pair[1])});
    }
    for (const GSList* l = d.annotation_rows; l; l = l->next) {
        const auto* r = static_cast<const srd_decoder_annotation_row*>(l->data);
        AnnotationRowInfo row{Text(r->id), Text(r->desc), {}};
        for (const GSList* c = r->ann_classes; c; c = c->next) row.classes.push_back(GPOINTER_TO_INT(c->data));
        info.rows.push_back(std::move(row));
    }
    return info;
}

} // namespace

Library::Library() : log_(std::make_unique<LogSink>()) {
    Start(nullptr);
}

Library::Library(const std::vector<std::string>& decoderIds) : log_(std::make_unique<LogSink>()) {
    Start(&decoderIds);
}

void Library::Start(const std::vector<std::string>* decoderIds) {
    if (libraryInUse.exchange(true))
        throw DecodeError("Die Protokolldekodierung ist in diesem Programm schon gestartet.");
    srd_log_callback_set(&LogSink::Receive, log_.get());
    if (const int rc = srd_init(nullptr); rc != SRD_OK) {
        srd_log_callback_set_default();
        libraryInUse = false;
        throw DecodeError(std::string("Die Protokolldekodierung lässt sich nicht starten: ") + srd_strerror(rc));
    }
    // A decoder that fails to load (a Python module missing) leaves the others usable.
    if (decoderIds) {
        // Ids are Python module names; anything else is no decoder of the library.
        const auto plain = [](const std::string& id) {
            return !id.empty() && std::all_of(id.begin(), id.end(), [](unsigned char c) {
                return std::isalnum(c) || c == '_';
            });
        };
        for (const std::string& id : *decoderIds)
            if (plain(id) && !srd_decoder_get_by_id(id.c_str())) srd_decoder_load(id.c_str());
    } else {
        srd_decoder_load_all();
    }
    for (const GSList* l = srd_decoder_list(); l; l = l->next) catalogue_.push_back(Describe(*static_cast<const srd_decoder*>(l->data)));
    std::sort(catalogue_.begin(), catalogue_.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    TakeLoggedErrors();
    if (catalogue_.empty() && !decoderIds) {
        srd_exit();
        srd_log_callback_set_default();
        libraryInUse = false;
        throw DecodeError("Die Protokolldekodierung findet keine Dekodierer "
                          "(erwartet unter /usr/share/libsigrokdecode/decoders).");
    }
}

Library::~Library() {
    srd_exit();
    srd_log_callback_set_default();
    libraryInUse = false;
}

std::shared_ptr<Library> Library::Shared() {
    // The decoder library is process-wide by its own design; this weak handle
    // mirrors that instead of hiding a second, conflicting owner.
    static std::mutex mutex;
    static std::weak_ptr<Library> shared;
    const std::lock_guard lock(mutex);
    auto library = shared.lock();
    if (!library) {
        library = std::make_shared<Library>();
        shared = library;
    }
    return library;
}

std::vector<std::string> Library::TakeLoggedErrors() {
    const std::lock_guard lock(log_->mutex);
    return std::exchange(log_->errors, {});
}

} // namespace sigrokdecode
