#include "cli/RecordingExchange.h"

#include "persistence/EINIRegistryError.h"
#include "persistence/RecordingData.h"
#include "sigrok/DigPlanes.h"
#include "sigrok/ExchangeFormat.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>

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

sigrok::LogicFrames ReadRecording(sigrok::Context& context, const std::string& path) {
    if (IsDig(path)) {
        const std::vector<std::uint8_t> bytes =
            recording::ReadRecordingFile(QString::fromStdString(path));
        sigrok::LogicFrames frames;
        frames.samples = sigrok::SamplesFromPlanes(bytes);
        for (int line = 0; line < 16; ++line)
            frames.names.push_back(sigrok::DefaultLineName(line));
        frames.timeBase = sampling::TimeBase::Nominal();
        return frames;
    }
    const auto format = sigrok::FormatFromPath(path);
    if (!format) throw sigrok::Error("Unbekanntes Dateiformat: " + path);
    sigrok::ImportResult result = sigrok::ImportFile(context, *format, path, MaxConvertSamples());
    if (result.cut)
        throw sigrok::Error("Die Datei " + path + " hat mehr als " +
                            std::to_string(MaxConvertSamples()) +
                            " Abtastwerte; so lange Aufzeichnungen werden nicht umgewandelt.");
    return std::move(result.frames);
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
