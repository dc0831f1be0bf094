#include "sigrok/decode/Decode.h"

#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/Library.h"
#include "sigrok/decode/SrdHandles.h"

#include <algorithm>
#include <bit>
#include <map>
#include <mutex>

namespace sigrokdecode {
namespace {

using detail::Insert;
using detail::NewVariantTable;

// Where one decoder instance's annotation classes land among the result's rows.
struct InstanceRows {
    std::vector<int> rowOfClass;
    const DecoderInfo* info = nullptr;
};

struct Collector {
    explicit Collector(AnnotationSink& to) : sink(to) {}

    AnnotationSink& sink;
    std::mutex mutex;
    std::map<const srd_decoder_inst*, InstanceRows> instances;
    std::vector<AnnotationRow> rows;

    static void Receive(srd_proto_data* pdata, void* data) {
        auto* self = static_cast<Collector*>(data);
        const auto* ann = static_cast<const srd_proto_data_annotation*>(pdata->data);
        const std::lock_guard lock(self->mutex);
        const auto it = self->instances.find(pdata->pdo->di);
        if (it == self->instances.end() || !ann || ann->ann_class < 0 ||
            std::size_t(ann->ann_class) >= it->second.rowOfClass.size())
            return;
        Annotation a;
        a.start = pdata->start_sample;
        a.end = pdata->end_sample;
        a.annClass = ann->ann_class;
        a.row = it->second.rowOfClass[ann->ann_class];
        a.classId = it->second.info->annotations[ann->ann_class].id;
        for (char** t = ann->ann_text; t && *t; ++t) a.texts.emplace_back(*t);
        self->sink.Add(std::move(a));
    }
};

// Keeps every annotation: the result of RunDecoders.
class KeepAll : public AnnotationSink {
  public:
    void Rows(const std::vector<AnnotationRow>& rows) override { result.rows = rows; }
    void Add(Annotation&& annotation) override {
        result.annotations.push_back(std::move(annotation));
    }

    DecodeResult result;
};

// The decoder's rows, then one row for each class no row lists.
InstanceRows AddRows(const DecoderInfo& info, const std::string& instance, bool top,
                     std::vector<AnnotationRow>& rows) {
    InstanceRows map;
    map.info = &info;
    map.rowOfClass.assign(info.annotations.size(), -1);
    for (const auto& row : info.rows) {
        const int index = int(rows.size());
        rows.push_back({instance, info.id, row.id, row.desc, top});
        for (int c : row.classes)
            if (c >= 0 && std::size_t(c) < map.rowOfClass.size()) map.rowOfClass[c] = index;
    }
    for (std::size_t c = 0; c < info.annotations.size(); ++c) {
        if (map.rowOfClass[c] >= 0) continue;
        map.rowOfClass[c] = int(rows.size());
        rows.push_back({instance, info.id, info.annotations[c].id, info.annotations[c].desc, top});
    }
    return map;
}

GVariant* ToVariant(const OptionValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return g_variant_new_string(s->c_str());
    if (const auto* i = std::get_if<std::int64_t>(&v)) return g_variant_new_int64(*i);
    return g_variant_new_double(std::get<double>(v));
}

// The library's last error, reduced to its final line: for a Python exception
// that is the exception and its message, the part a user can act on.
std::string FailureText(Library& library, int rc) {
    const auto errors = library.TakeLoggedErrors();
    std::string text = errors.empty() ? std::string("Fehler ") + std::to_string(rc) + " (" + srd_strerror_name(rc) + ")"
                                      : errors.back();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (const auto nl = text.rfind('\n'); nl != std::string::npos) text = text.substr(nl + 1);
    return text;
}

[[noreturn]] void Fail(Library& library, const std::string& what, int rc) {
    throw DecodeError(what + ": " + FailureText(library, rc));
}

srd_decoder_inst* NewInstance(srd_session* session, const ResolvedDecoder& d, Library& library) {
    auto options = NewVariantTable();
    for (const auto& [id, value] : d.options) Insert(options.get(), id, ToVariant(value));
    srd_decoder_inst* di = srd_inst_new(session, d.info->id.c_str(), options.get());
    if (!di) Fail(library, "Dekodierer " + d.info->id + " lässt sich nicht anlegen", SRD_ERR);
    if (!d.channels.empty()) {
        auto channels = NewVariantTable();
        for (const auto& [id, line] : d.channels) Insert(channels.get(), id, g_variant_new_int32(line));
        if (const int rc = srd_inst_channel_set_all(di, channels.get()); rc != SRD_OK)
            Fail(library, "Dekodierer " + d.info->id + ": Kanäle ungültig", rc);
    }
    return di;
}

} // namespace

DecodeResult RunDecoders(Library& library, const std::vector<ResolvedStack>& stacks, const SampleSpan& samples,
                         std::uint64_t sampleRateHz, const ProgressFn& progress) {
    KeepAll keep;
    keep.result.cancelled = !StreamDecoders(library, stacks, samples, sampleRateHz, keep, progress);
    keep.result.SortByTime();
    return std::move(keep.result);
}

bool StreamDecoders(Library& library, const std::vector<ResolvedStack>& stacks,
                    const SampleSpan& samples, std::uint64_t sampleRateHz, AnnotationSink& sink,
                    const ProgressFn& progress) {
    if (sampleRateHz == 0) throw DecodeError("Die Dekodierung braucht eine Abtastrate über 0 Hz.");
    library.TakeLoggedErrors();

    // The collector outlives the session: decoder threads may still report while it closes.
    Collector collector(sink);
    srd_session* raw = nullptr;
    if (const int rc = srd_session_new(&raw); rc != SRD_OK) Fail(library, "Dekodiersitzung fehlgeschlagen", rc);
    detail::SessionPtr session(raw);

    std::string names; // for messages: which decoders ran
    for (const auto& stack : stacks) {
        srd_decoder_inst* below = nullptr;
        for (std::size_t i = 0; i < stack.size(); ++i) {
            srd_decoder_inst* di = NewInstance(session.get(), stack[i], library);
            names += (names.empty() ? "" : ", ") + std::string(di->inst_id);
            collector.instances[di] =
                AddRows(*stack[i].info, di->inst_id, i + 1 == stack.size(), collector.rows);
            if (below) {
                if (const int rc = srd_inst_stack(session.get(), below, di); rc != SRD_OK)
                    Fail(library, "Dekodierer " + stack[i].info->id + " lässt sich nicht aufsetzen", rc);
            }
            below = di;
        }
    }
    sink.Rows(collector.rows);
    srd_pd_output_callback_add(session.get(), SRD_OUTPUT_ANN, &Collector::Receive, &collector);
    if (const int rc = srd_session_metadata_set(session.get(), SRD_CONF_SAMPLERATE, g_variant_new_uint64(sampleRateHz));
        rc != SRD_OK)
        Fail(library, "Abtastrate nicht gesetzt", rc);
    if (const int rc = srd_session_start(session.get()); rc != SRD_OK)
        Fail(library, "Die Dekodierung (" + names + ") startet nicht", rc);

    // The library reads samples as 16-bit units, bit n = line n: the low byte
    // first, which is how the words lie in memory on this little-endian host.
    static_assert(std::endian::native == std::endian::little);
    std::vector<std::uint8_t> block(samples.words ? 0
                                                  : 2 * std::min(samples.cells, kDecodeBlockCells));
    bool whole = true;
    for (std::size_t first = 0; first < samples.cells; first += kDecodeBlockCells) {
        const std::size_t n = std::min(kDecodeBlockCells, samples.cells - first);
        const std::uint8_t* data = reinterpret_cast<const std::uint8_t*>(samples.words + first);
        if (!samples.words) {
            for (std::size_t i = 0; i < n; ++i) {
                block[2 * i] = samples.low[first + i];
                block[2 * i + 1] = samples.high[first + i];
            }
            data = block.data();
        }
        if (const int rc = srd_session_send(session.get(), first, first + n, data, 2 * n, 2);
            rc != SRD_OK)
            Fail(library, "Die Dekodierung (" + names + ") ist abgebrochen", rc);
        {
            const std::lock_guard lock(collector.mutex);
            sink.Done(first + n);
        }
        if (progress && !progress(first + n, samples.cells)) {
            whole = false;
            break;
        }
    }
    session.reset();
    return whole;
}

} // namespace sigrokdecode
