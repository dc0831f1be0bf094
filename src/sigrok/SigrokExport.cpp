#include "sigrok/SigrokExport.h"

#include "sigrok/SafeFile.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokHandles.h"
#include "sigrok/SigrokOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>

namespace sigrok {

namespace {

const char* OutputModuleId(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::Session:
        return "srzip";
    case ExchangeFormat::Vcd:
        return "vcd";
    case ExchangeFormat::Csv:
        return "csv";
    }
    return "";
}

// A name as the format can hold it: VCD names end at white space, CSV
// captions at the column separator.
std::string ChannelName(const LogicFrames& frames, int line, ExchangeFormat format) {
    std::string name = frames.names[static_cast<std::size_t>(line)];
    if (name.empty()) name = DefaultLineName(line);
    for (char& c : name) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if ((format == ExchangeFormat::Vcd && blank) || (format == ExchangeFormat::Csv && c == ','))
            c = '_';
        if (format != ExchangeFormat::Vcd && (c == '\r' || c == '\n')) c = ' ';
    }
    return name;
}

// Packets from the input module go straight on to the output module; text
// that it returns goes into the file.
struct Feed {
    const sr_output* output = nullptr;
    SafeFile* file = nullptr;
    bool writesItself = false;
    std::exception_ptr error; // the file's own write failed
    int failedRc = SR_OK;     // the output module failed
    // For CSV: the rate line still to be written into the header.
    std::string csvRateLine;
};

// libsigrok's CSV writer names the rate in its header only when it can ask a
// device for it, which the samples of a file cannot answer; sigrok-cli's CSV
// files carry "; Samplerate: 1 MHz" there. The line goes after the header's
// last comment line, so that the import can read the rate back.
void WriteCsvText(Feed& feed, const char* text, std::size_t length) {
    std::string_view rest(text, length);
    if (!feed.csvRateLine.empty()) {
        std::size_t headerEnd = 0;
        while (headerEnd < rest.size() && rest[headerEnd] == ';') {
            const auto nl = rest.find('\n', headerEnd);
            if (nl == std::string_view::npos) break;
            headerEnd = nl + 1;
        }
        if (headerEnd > 0 || !rest.empty()) {
            feed.file->Write(rest.data(), headerEnd);
            feed.file->Write(feed.csvRateLine.data(), feed.csvRateLine.size());
            feed.csvRateLine.clear();
            rest.remove_prefix(headerEnd);
        }
    }
    feed.file->Write(rest.data(), rest.size());
}

void ForwardPacket(const sr_dev_inst*, const sr_datafeed_packet* packet, void* data) {
    auto* feed = static_cast<Feed*>(data);
    if (feed->error || feed->failedRc != SR_OK) return;
    try {
        GString* raw = nullptr;
        const int rc = sr_output_send(feed->output, packet, &raw);
        const GStringPtr text(raw);
        if (rc != SR_OK) {
            feed->failedRc = rc;
            return;
        }
        if (text && text->len > 0 && !feed->writesItself) WriteCsvText(*feed, text->str, text->len);
    } catch (...) {
        feed->error = std::current_exception();
    }
}

const sr_input_module* FindInput(const char* id) {
    const sr_input_module* module = sr_input_find(const_cast<char*>(id));
    if (!module) throw Error(std::string("libsigrok fehlt das Eingabemodul ") + id + ".");
    return module;
}

const sr_output_module* FindOutput(const char* id) {
    const sr_output_module* module = sr_output_find(const_cast<char*>(id));
    if (!module) throw Error(std::string("libsigrok fehlt das Ausgabemodul ") + id + ".");
    return module;
}

// Samples first .. first+count-1 as libsigrok packs logic data: little-endian
// units of one byte up to 8 lines, two bytes above.
GStringPtr PackedSamples(const LogicFrames& frames, std::size_t first, std::size_t count) {
    const std::size_t unit = frames.Lines() <= 8 ? 1 : 2;
    GStringPtr packed(g_string_sized_new(count * unit + 1));
    g_string_set_size(packed.get(), count * unit);
    auto* out = reinterpret_cast<std::uint8_t*>(packed->str);
    for (std::size_t i = first; i < first + count; ++i) {
        const std::uint16_t sample = frames.samples[i];
        *out++ = static_cast<std::uint8_t>(sample & 0xFF);
        if (unit == 2) *out++ = static_cast<std::uint8_t>(sample >> 8);
    }
    return packed;
}

// Samples handed to libsigrok at once; a recording goes in pieces, so no
// packed copy of all of it exists beside the samples. A text format's module
// turns each piece into text that goes into the file at once: pieces of the
// size of sigrok-cli's packets keep that text small. The session writer
// stores every piece as a member of its archive and rewrites the archive
// each time, so it gets large pieces (which also keeps its members as they were).
std::size_t PieceSamples(ExchangeFormat format) {
    return format == ExchangeFormat::Session ? std::size_t{1} << 20 : 4096;
}

// Output modules write their header with the first logic data, and libsigrok
// feeds none for an empty recording. An empty recording is written from a
// packet of its own: a session file takes an empty one. The text formats need
// one sample to write their header: a VCD keeps it as the values at time 0
// and ends at time 0, which libsigrok reads back as no sample; a CSV drops
// the sample's row and ends with an empty line, without which libsigrok's
// reader cuts the last caption of a file that has no rows.
void WriteEmpty(const sr_output* output, ExchangeFormat format, std::uint64_t rateHz, int lines,
                Feed& feed) {
    sr_config rate{SR_CONF_SAMPLERATE, g_variant_ref_sink(g_variant_new_uint64(rateHz))};
    GSList configs{&rate, nullptr};
    sr_datafeed_meta meta{&configs};
    const sr_datafeed_packet metaPacket{SR_DF_META, &meta};
    GString* raw = nullptr;
    int rc = sr_output_send(output, &metaPacket, &raw);
    GStringPtr(raw).reset();
    g_variant_unref(rate.data);
    if (rc != SR_OK) throw Error(std::string("libsigrok: ") + ErrorCodeText(rc));

    std::uint8_t zero[2] = {0, 0};
    const std::uint16_t unit = lines <= 8 ? 1 : 2;
    sr_datafeed_logic logic{format == ExchangeFormat::Session ? 0u : unit, unit, zero};
    const sr_datafeed_packet logicPacket{SR_DF_LOGIC, &logic};
    raw = nullptr;
    rc = sr_output_send(output, &logicPacket, &raw);
    const GStringPtr text(raw);
    if (rc != SR_OK) throw Error(std::string("libsigrok: ") + ErrorCodeText(rc));
    if (format == ExchangeFormat::Session || !text) return;

    std::string header(text->str, text->len);
    if (format == ExchangeFormat::Vcd) {
        header += "#0\n";
    } else {
        const std::size_t last = header.rfind('\n', header.size() >= 2 ? header.size() - 2 : 0);
        header.resize(last == std::string::npos ? 0 : last + 1);
        header += "\n";
    }
    WriteCsvText(feed, header.data(), header.size());
}

// "; Samplerate: 1 MHz", in libsigrok's own words for the rate.
std::string CsvRateLine(std::uint64_t rateHz) {
    const std::unique_ptr<char, decltype(&g_free)> text(sr_samplerate_string(rateHz), &g_free);
    return std::string("; Samplerate: ") + (text ? text.get() : std::to_string(rateHz)) + "\n";
}

} // namespace

std::uint64_t ExportRateHz(const sampling::TimeBase& timeBase) {
    if (const auto exact = timeBase.period.ExactRateHz()) return std::max<std::uint64_t>(*exact, 1);
    const auto rate = std::llround(timeBase.period.RateHz());
    return rate < 1 ? 1 : static_cast<std::uint64_t>(rate);
}

void ExportFile(Context& context, const LogicFrames& frames, ExchangeFormat format,
                const std::string& path) {
    if (frames.Lines() < 1 || frames.Lines() > 16)
        throw Error("Es lassen sich nur 1 bis 16 Leitungen exportieren.");
    context.ClearLog();
    SafeFile file(path);
    const auto failed = [&](const std::string& what, int rc) {
        std::string message = "Die Datei " + path + " kann nicht exportiert werden: ";
        // libzip says why a session file failed only in libsigrok's log.
        if (file.NoSpaceLeft() ||
            context.LastMessage().find(std::strerror(ENOSPC)) != std::string::npos)
            return Error(message + SafeFile::Reason(ENOSPC));
        message += what;
        if (!context.LastMessage().empty())
            message += " (" + context.LastMessage() + ")";
        else if (rc != SR_OK)
            message += std::string(" (") + ErrorCodeText(rc) + ")";
        return Error(message);
    };

    const sr_output_module* outputModule = FindOutput(OutputModuleId(format));
    const bool writesItself = sr_output_test_flag(outputModule, SR_OUTPUT_INTERNAL_IO_HANDLING);
    if (writesItself) file.CloseHandle();

    // The binary input module turns the packed samples into a device with
    // channels and a sample rate, the way libsigrok's own tools feed outputs.
    const sr_input_module* inputModule = FindInput("binary");
    const HashTablePtr inputOptions =
        InputOptions(inputModule, {{"numchannels", std::to_string(frames.Lines())},
                                   {"samplerate", std::to_string(ExportRateHz(frames.timeBase))}});
    InputPtr input(sr_input_new(inputModule, inputOptions.get()));
    if (!input) throw failed("libsigrok nimmt die Daten nicht an", SR_OK);
    // The module keeps the first data until the device it describes has been
    // taken, and only then passes it on, together with what follows.
    const std::size_t total = frames.samples.size();
    const std::size_t piece = PieceSamples(format);
    std::size_t sent = std::min(total, piece);
    int rc = sr_input_send(input.get(), PackedSamples(frames, 0, sent).get());
    sr_dev_inst* device = sr_input_dev_inst_get(input.get());
    if (rc != SR_OK || !device) throw failed("libsigrok legt kein Gerät an", rc);
    int line = 0;
    for (GSList* l = sr_dev_inst_channels_get(device); l; l = l->next, ++line) {
        auto* channel = static_cast<sr_channel*>(l->data);
        if (line < frames.Lines())
            sr_dev_channel_name_set(channel, ChannelName(frames, line, format).c_str());
    }

    OptionValues outputValues;
    if (format == ExchangeFormat::Csv) outputValues = {{"label", "channel"}};
    const HashTablePtr outputOptions = OutputOptions(outputModule, outputValues);
    OutputPtr output(
        sr_output_new(outputModule, outputOptions.get(), device, file.TempPath().c_str()));
    if (!output) throw failed("libsigrok kann das Format nicht schreiben", SR_OK);

    sr_session* rawSession = nullptr;
    rc = sr_session_new(context.Raw(), &rawSession);
    const SessionPtr session(rawSession);
    if (rc != SR_OK) throw failed("keine libsigrok-Sitzung", rc);
    Feed feed{output.get(), &file, writesItself, nullptr, SR_OK, {}};
    if (format == ExchangeFormat::Csv)
        feed.csvRateLine = CsvRateLine(ExportRateHz(frames.timeBase));
    const auto checkFeed = [&] {
        if (feed.error) std::rethrow_exception(feed.error);
        if (feed.failedRc != SR_OK) throw failed("libsigrok meldet einen Fehler", feed.failedRc);
    };
    sr_session_dev_add(session.get(), device);
    sr_session_datafeed_callback_add(session.get(), &ForwardPacket, &feed);

    if (frames.samples.empty()) {
        WriteEmpty(output.get(), format, ExportRateHz(frames.timeBase), frames.Lines(), feed);
    } else {
        while (sent < total) {
            const std::size_t count = std::min(total - sent, piece);
            rc = sr_input_send(input.get(), PackedSamples(frames, sent, count).get());
            checkFeed();
            if (rc != SR_OK) throw failed("libsigrok meldet einen Fehler", rc);
            sent += count;
        }
        rc = sr_input_end(input.get());
        checkFeed();
        if (rc != SR_OK) throw failed("libsigrok meldet einen Fehler", rc);
    }
    if (context.ErrorLogged()) throw failed("libsigrok meldet einen Fehler", SR_OK);

    sr_session_datafeed_callback_remove_all(session.get());
    output.reset();
    file.Commit();
}

} // namespace sigrok
