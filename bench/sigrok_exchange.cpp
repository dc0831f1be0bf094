// Export and import of 1,048,576 samples of 16 lines in each exchange format,
// side by side with sigrok-cli doing the same conversion in the same run.
//
// Two levels are timed, each the median of five runs:
//   library  Spurwerk's export (buffer -> file) and import (file -> buffer) in
//            this process, against sigrok-cli converting a raw binary file to
//            the format and the format to a raw binary file;
//   program  `spurwerk convert` from .DIG to the format and back, against the
//            same sigrok-cli commands: two whole processes doing one job.
// The ratio is Spurwerk's time over sigrok-cli's (below 1: Spurwerk is faster).
#include "sigrok/DigPlanes.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kSamples = 1'048'576;
constexpr int kRuns = 5;

double MedianSeconds(const std::function<void()>& job) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        job();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs a command; sigrok-cli's exit status alone does not tell whether it read
// anything, so a command may name a file that must then be non-empty.
void Run(const std::string& command, const std::string& mustWrite = {}) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    if (!mustWrite.empty() && std::filesystem::file_size(mustWrite) == 0) {
        std::fprintf(stderr, "wrote nothing: %s\n", command.c_str());
        std::exit(1);
    }
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 1 ? argv[1] : SPURWERK_PROGRAM;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("spurwerk-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto at = [&](const std::string& name) { return (dir / name).string(); };

    // A 16-bit counter, like the demo device's "incremental" pattern: line 0
    // changes with every sample, so the text formats are at their largest.
    sigrok::LogicFrames frames;
    frames.samples.resize(kSamples);
    for (std::size_t i = 0; i < kSamples; ++i) frames.samples[i] = static_cast<std::uint16_t>(i);
    for (int line = 0; line < 16; ++line) frames.names.push_back(sigrok::DefaultLineName(line));
    WriteFile(at("in.bin"), frames.samples.data(), kSamples * 2);
    const std::vector<std::uint8_t> planes = sigrok::PlanesFromSamples(frames.samples);
    WriteFile(at("in.DIG"), planes.data(), planes.size());

    std::printf("%zu samples x 16 lines at 100 kHz, median of %d runs, seconds\n\n", kSamples,
                kRuns);
    std::printf("%-7s %-6s %-8s %10s %10s %7s %10s\n", "format", "way", "level", "spurwerk",
                "sigrok-cli", "ratio", "file MB");
    sigrok::Context context;
    const char* formats[][2] = {{"sr", "srzip"}, {"vcd", "vcd"}, {"csv", "csv"}};
    for (const auto& [ext, module] : formats) {
        const std::string ours = at(std::string("ours.") + ext);
        const std::string theirs = at(std::string("theirs.") + ext);
        const auto format = *sigrok::FormatFromPath(ours);
        const std::string binaryIn =
            "sigrok-cli -I binary:numchannels=16:samplerate=100000 -i " + at("in.bin");

        const double exportLib =
            MedianSeconds([&] { sigrok::ExportFile(context, frames, format, ours); });
        const double exportCli =
            MedianSeconds([&] { Run(binaryIn + " -O " + module + " -o " + theirs); });
        const double exportProg = MedianSeconds(
            [&] { Run(program + " convert " + at("in.DIG") + " " + ours); });

        // Both read the file Spurwerk wrote (sigrok-cli does not read back every
        // VCD and CSV it writes itself from raw data). It recognises a session
        // file and a VCD; a CSV it must be told.
        const std::string input =
            std::string(ext) == "csv" ? "sigrok-cli -I csv -i " : "sigrok-cli -i ";
        const double importLib = MedianSeconds([&] {
            const auto result = sigrok::ImportFile(context, format, ours, kSamples);
            if (result.frames.samples != frames.samples) {
                std::fprintf(stderr, "%s: samples differ after import\n", ext);
                std::exit(1);
            }
        });
        const double importCli =
            MedianSeconds([&] { Run(input + ours + " -O binary -o " + at("out.bin"), at("out.bin")); });
        const double importProg = MedianSeconds(
            [&] { Run(program + " convert " + ours + " " + at("out.DIG")); });

        const double mb = double(std::filesystem::file_size(ours)) / 1e6;
        std::printf("%-7s %-6s %-8s %10.3f %10.3f %7.2f %10.1f\n", ext, "export", "library",
                    exportLib, exportCli, exportLib / exportCli, mb);
        std::printf("%-7s %-6s %-8s %10.3f %10.3f %7.2f\n", ext, "export", "program", exportProg,
                    exportCli, exportProg / exportCli);
        std::printf("%-7s %-6s %-8s %10.3f %10.3f %7.2f\n", ext, "import", "library", importLib,
                    importCli, importLib / importCli);
        std::printf("%-7s %-6s %-8s %10.3f %10.3f %7.2f\n", ext, "import", "program", importProg,
                    importCli, importProg / importCli);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
