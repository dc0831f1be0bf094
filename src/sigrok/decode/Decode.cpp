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

struct DecodeRun::Session {
    Session(Library& lib, AnnotationSink& to) : library(lib), sink(to), collector(to) {}

    // Hands one block to the library and lets the sink know how far it got.
    void SendBlock(const std::uint16_t* words, std::size_t cells) {
        // The library reads samples as 16-bit units, bit n = line n: the low
        // byte first, which is how the words lie in memory on this host.
        static_assert(std::endian::native == std::endian::little);
        const auto* data = reinterpret_cast<const std::uint8_t*>(words);
        if (const int rc =
                srd_session_send(raw.get(), decoded, decoded + cells, data, 2 * cells, 2);
            rc != SRD_OK)
            Fail(library, "Die Dekodierung (" + names + ") ist abgebrochen", rc);
        decoded += cells;
        const std::lock_guard lock(collector.mutex);
        sink.Done(decoded);
    }

    Library& library;
    AnnotationSink& sink;
    // The collector outlives the session: decoder threads may still report while it closes.
    Collector collector;
    detail::SessionPtr raw;
    std::string names;               // for messages: which decoders ran
    std::vector<std::uint16_t> held; // fewer than a block, waiting for more
    std::uint64_t decoded = 0;
};

DecodeRun::DecodeRun(Library& library, const std::vector<ResolvedStack>& stacks,
                     std::uint64_t sampleRateHz, AnnotationSink& sink)
    : session_(std::make_unique<Session>(library, sink)) {
    if (sampleRateHz == 0) throw DecodeError("Die Dekodierung braucht eine Abtastrate über 0 Hz.");
    library.TakeLoggedErrors();
    Session& s = *session_;
    srd_session* raw = nullptr;
    if (const int rc = srd_session_new(&raw); rc != SRD_OK)
        Fail(library, "Dekodiersitzung fehlgeschlagen", rc);
    s.raw.reset(raw);

    for (const auto& stack : stacks) {
        srd_decoder_inst* below = nullptr;
        for (std::size_t i = 0; i < stack.size(); ++i) {
            srd_decoder_inst* di = NewInstance(raw, stack[i], library);
            s.names += (s.names.empty() ? "" : ", ") + std::string(di->inst_id);
            s.collector.instances[di] =
                AddRows(*stack[i].info, di->inst_id, i + 1 == stack.size(), s.collector.rows);
            if (below) {
                if (const int rc = srd_inst_stack(raw, below, di); rc != SRD_OK)
                    Fail(library, "Dekodierer " + stack[i].info->id + " lässt sich nicht aufsetzen",
                         rc);
            }
            below = di;
        }
    }
    sink.Rows(s.collector.rows);
    srd_pd_output_callback_add(raw, SRD_OUTPUT_ANN, &Collector::Receive, &s.collector);
    if (const int rc =
            srd_session_metadata_set(raw, SRD_CONF_SAMPLERATE, g_variant_new_uint64(sampleRateHz));
        rc != SRD_OK)
        Fail(library, "Abtastrate nicht gesetzt", rc);
    if (const int rc = srd_session_start(raw); rc != SRD_OK)
        Fail(library, "Die Dekodierung (" + s.names + ") startet nicht", rc);
}

DecodeRun::~DecodeRun() = default;

void DecodeRun::Send(const std::uint16_t* words, std::size_t cells) {
    Session& s = *session_;
    while (cells > 0) {
        // Whole blocks of the caller's memory go as they lie, without a copy.
        if (s.held.empty() && cells >= kDecodeBlockCells) {
            s.SendBlock(words, kDecodeBlockCells);
            words += kDecodeBlockCells;
            cells -= kDecodeBlockCells;
            continue;
        }
        if (s.held.capacity() < kDecodeBlockCells) s.held.reserve(kDecodeBlockCells);
        const std::size_t n = std::min(cells, kDecodeBlockCells - s.held.size());
        s.held.insert(s.held.end(), words, words + n);
        words += n;
        cells -= n;
        if (s.held.size() == kDecodeBlockCells) {
            s.SendBlock(s.held.data(), s.held.size());
            s.held.clear();
        }
    }
}

void DecodeRun::Finish() {
    Session& s = *session_;
    if (!s.held.empty()) s.SendBlock(s.held.data(), s.held.size());
    s.held.clear();
    s.held.shrink_to_fit();
}

std::uint64_t DecodeRun::Decoded() const {
    return session_->decoded;
}

bool StreamDecoders(Library& library, const std::vector<ResolvedStack>& stacks,
                    const SampleSpan& samples, std::uint64_t sampleRateHz, AnnotationSink& sink,
                    const ProgressFn& progress) {
    DecodeRun run(library, stacks, sampleRateHz, sink);
    std::vector<std::uint16_t> block(samples.words ? 0
                                                   : std::min(samples.cells, kDecodeBlockCells));
    for (std::size_t first = 0; first < samples.cells; first += kDecodeBlockCells) {
        const std::size_t n = std::min(kDecodeBlockCells, samples.cells - first);
        const std::uint16_t* words = samples.words ? samples.words + first : block.data();
        if (!samples.words)
            for (std::size_t i = 0; i < n; ++i)
                block[i] = std::uint16_t(samples.low[first + i] | samples.high[first + i] << 8);
        run.Send(words, n);
        if (first + n == samples.cells) run.Finish(); // progress counts what was decoded
        if (progress && !progress(first + n, samples.cells)) return false;
    }
    run.Finish();
    return true;
}

} // namespace sigrokdecode
