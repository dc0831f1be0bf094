#include "cli/RecordingExchange.h"

#include "persistence/EINIRegistryError.h"
#include "persistence/RecordingData.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/DeviceSpec.h"
#include "sigrok/DigPlanes.h"
#include "sigrok/ExchangeFormat.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

namespace cli {

namespace {

bool IsDig(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".dig";
}

} // namespace

bool KnownRecordingExtension(const std::string& path) {
    return IsDig(path) || sigrok::FormatFromPath(path).has_value();
}

std::size_t MaxConvertSamples() {
    return static_cast<std::size_t>(recording::MaxRecordingCells);
}

namespace {

// A .DIG file as an import: its 16 lines D00..D15, chosen like a file's channels.
sigrok::ImportResult ReadDig(const std::string& path, const InputChoice& choice) {
    const std::vector<std::uint8_t> bytes =
        recording::ReadRecordingFile(QString::fromStdString(path));
    sigrok::ImportResult result;
    for (int line = 0; line < 16; ++line)
        result.fileChannels.push_back(sigrok::DefaultLineName(line));
    result.taken = sigrok::ChooseChannels(choice.channels, result.fileChannels);
    std::vector<std::uint16_t> all = sigrok::SamplesFromPlanes(bytes);
    const bool same =
        result.taken.size() == 16 && std::is_sorted(result.taken.begin(), result.taken.end());
    if (!same)
        for (std::uint16_t& word : all) {
            std::uint16_t chosen = 0;
            for (std::size_t line = 0; line < result.taken.size(); ++line)
                chosen = std::uint16_t(chosen | (((word >> result.taken[line]) & 1u) << line));
            word = chosen;
        }
    result.frames.samples = std::move(all);
    for (const int c : result.taken)
        result.frames.names.push_back(result.fileChannels[std::size_t(c)]);
    result.frames.timeBase = sampling::TimeBase::Nominal();
    return result;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < 40; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > 40) text += " und " + std::to_string(names.size() - 40) + " weitere";
    return text;
}

} // namespace

bool ReadInputOption(const std::vector<std::string>& args, std::size_t& i, InputChoice& choice) {
    const std::string& arg = args[i];
    std::string name = arg;
    std::string value;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        if (name != "--channels" && name != "--samplerate") return false;
    } else if (name == "--channels" || name == "--samplerate") {
        if (i + 1 >= args.size()) throw std::invalid_argument(name + " braucht einen Wert.");
        value = args[++i];
    } else {
        return false;
    }
    if (name == "--channels") {
        choice.channels = sigrok::SplitChannelList(value);
        if (choice.channels.empty())
            throw std::invalid_argument("--channels braucht mindestens einen Kanalnamen.");
    } else {
        const auto rate = sigrok::ParseQuantity(value);
        if (!rate || *rate == 0)
            throw std::invalid_argument("--samplerate versteht '" + value +
                                        "' nicht (Beispiele: 1M, 24MHz, 200k).");
        choice.rateHz = *rate;
    }
    return true;
}

namespace {

// What the user hears about a file just read, and the rate it is taken at:
// dropped channels, the file's notes, an assumed or given rate.
InputRecording Settle(sigrok::ImportResult&& result, const std::string& path,
                      const InputChoice& choice) {
    InputRecording recording;
    const std::vector<std::string> dropped = result.Dropped();
    if (choice.channels.empty() && !dropped.empty())
        recording.warnings.push_back(
            "Die Datei hat " + std::to_string(result.fileChannels.size()) +
            " Logikkanäle, übernommen werden die ersten 16. Weggelassen: " + Joined(dropped) +
            ". --channels wählt andere.");
    recording.warnings.insert(recording.warnings.end(), result.notes.begin(), result.notes.end());
    sampling::TimeBase& timeBase = result.frames.timeBase;
    // A .DIG file is 10 us per sample by its definition: nothing is assumed.
    const bool dig = IsDig(path);
    const bool ownRate = !dig && timeBase.Known();
    if (choice.rateHz && !ownRate) {
        timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(*choice.rateHz));
    } else if (choice.rateHz) {
        recording.warnings.push_back(
            "Die Datei gibt ihre Abtastrate selbst an (" +
            sigrok::RateText(std::uint64_t(timeBase.period.RateHz() + 0.5)) +
            "); --samplerate gilt nur für Dateien ohne.");
    } else if (!ownRate && !dig) {
        recording.warnings.push_back(
            "Die Datei gibt keine Abtastrate an; angenommen werden 100 kHz (10 µs je Wert). "
            "--samplerate setzt die richtige.");
    }
    recording.frames = std::move(result.frames);
    recording.dropped = dropped;
    return recording;
}

// Hands a file's samples on as a RecordingReceiver wants them.
class Relay : public sigrok::SampleReceiver {
  public:
    Relay(RecordingReceiver& to, const std::string& path, const InputChoice& choice)
        : to_(to), path_(path), choice_(choice) {}

    void Begin(const sigrok::ImportResult& head) override {
        notesBefore_ = head.notes.size();
        sigrok::ImportResult copy = head;
        to_.Begin(Settle(std::move(copy), path_, choice_));
    }
    void Take(const std::uint16_t* words, std::size_t count) override { to_.Take(words, count); }

    std::size_t NotesBefore() const { return notesBefore_; }

  private:
    RecordingReceiver& to_;
    const std::string& path_;
    const InputChoice& choice_;
    std::size_t notesBefore_ = 0;
};

} // namespace

InputRecording ReadRecording(sigrok::Context& context, const std::string& path,
                             const InputChoice& choice) {
    sigrok::ImportResult result;
    if (IsDig(path)) {
        result = ReadDig(path, choice);
    } else {
        const auto format = sigrok::FormatFromPath(path);
        if (!format) throw sigrok::Error("Unbekanntes Dateiformat: " + path);
        sigrok::ImportOptions options;
        options.maxSamples = MaxConvertSamples();
        options.channels = choice.channels;
        result = sigrok::ImportFile(context, *format, path, options);
        if (result.cut)
            throw sigrok::Error("Die Datei " + path + " hat mehr als " +
                                std::to_string(MaxConvertSamples()) +
                                " Abtastwerte; so lange Aufzeichnungen werden nicht umgewandelt.");
    }
    return Settle(std::move(result), path, choice);
}

std::vector<std::string> StreamRecording(sigrok::Context& context, const std::string& path,
                                         const InputChoice& choice, RecordingReceiver& receiver) {
    Relay relay(receiver, path, choice);
    if (IsDig(path)) {
        // A .DIG file is at most 128 MiB and its two planes lie apart: read whole.
        sigrok::ImportResult result = ReadDig(path, choice);
        std::vector<std::uint16_t> samples = std::move(result.frames.samples);
        result.frames.samples.clear();
        relay.Begin(result);
        relay.Take(samples.data(), samples.size());
        return {};
    }
    const auto format = sigrok::FormatFromPath(path);
    if (!format) throw sigrok::Error("Unbekanntes Dateiformat: " + path);
    sigrok::ImportOptions options;
    options.channels = choice.channels;
    const sigrok::ImportResult result = sigrok::StreamFile(context, *format, path, options, relay);
    return {result.notes.begin() + std::ptrdiff_t(relay.NotesBefore()), result.notes.end()};
}

sigrok::LogicFrames ReadRecording(sigrok::Context& context, const std::string& path) {
    return ReadRecording(context, path, InputChoice{}).frames;
}

void WriteRecording(sigrok::Context& context, const sigrok::LogicFrames& frames,
                    const std::string& path) {
    if (IsDig(path)) {
        recording::WriteRecordingFileFromWords(QString::fromStdString(path), frames.samples);
        return;
    }
    const auto format = sigrok::FormatFromPath(path);
    if (!format) throw sigrok::Error("Unbekanntes Dateiformat: " + path);
    sigrok::ExportFile(context, frames, *format, path);
}

} // namespace cli
