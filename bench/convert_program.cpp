// The command line as a user types it, against sigrok-cli doing the same job
// in the same run: `spurwerk convert IN OUT` against `sigrok-cli -i IN -o OUT
// -O FMT` for a session file to VCD and CSV and back, and `--version`.
//
// Each job runs as a whole process, the two programs alternating, five times;
// the table gives the median wall time and the largest peak resident memory
// (the kernel's maxrss of the child). Ratios are Spurwerk over sigrok-cli.
// The inputs hold 1,048,576 samples of 16 lines (a 16-bit counter, so line 0
// changes with every sample and the text formats are at their largest);
// "budget" is the memory allowed: 1.5 times sigrok-cli's peak plus the
// samples' own size (2 bytes each).
//
//   bench_convert_program [SPURWERK [SIGROK_CLI]]
//
// On the 2-core development machine under load (wall ratio, peak MiB against
// sigrok-cli's), with the window's libraries still loaded and the text
// formats fed in pieces of 2^20 samples, then as the program is now:
//   .sr -> VCD   1.22x  44.6 / 26.0   ->  0.83x  18.8 / 25.9
//   .sr -> CSV   1.13x  78.6 / 60.1   ->  0.66x  18.8 / 60.0
//   VCD -> .sr   0.45x  31.9 / 129.7  ->  0.35x  24.3 / 129.6
//   CSV -> .sr   0.89x  30.8 / 39.8   ->  0.82x  22.9 / 39.7
//   --version    1.89x  23.6 / 9.9    ->  1.48x  14.6 / 9.9
// With --help and --version answered by a program of its own that loads the C
// and C++ runtime alone (41 runs each; the conversions through it as above):
//   .sr -> VCD   0.92x  18.9 / 25.8     .sr -> CSV   0.87x  18.8 / 59.9
//   VCD -> .sr   0.22x  21.3 / 129.6    CSV -> .sr   0.77x  22.9 / 39.6
//   --version    0.33x   5.0 / 10.0     --help       0.32x   5.0 / 9.6
#include "sigrok/DigPlanes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kSamples = 1'048'576;
constexpr int kRuns = 5;

struct Measure {
    double seconds = 0;
    long maxRssKiB = 0;
};

// One whole process: wall time from fork to exit, and its peak memory.
Measure RunOnce(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::fflush(stdout); // the child must not write this process's buffered table again
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed:");
        for (const std::string& arg : command)
            std::fprintf(stderr, " %s", arg.c_str());
        std::fprintf(stderr, "\n");
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss};
}

struct Pair {
    Measure ours;
    Measure theirs;
};

Pair Alternate(const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
               int runs = kRuns) {
    std::vector<double> oursTimes, theirsTimes;
    Pair pair;
    for (int run = 0; run < runs; ++run) {
        const Measure a = RunOnce(ours);
        const Measure b = RunOnce(theirs);
        oursTimes.push_back(a.seconds);
        theirsTimes.push_back(b.seconds);
        pair.ours.maxRssKiB = std::max(pair.ours.maxRssKiB, a.maxRssKiB);
        pair.theirs.maxRssKiB = std::max(pair.theirs.maxRssKiB, b.maxRssKiB);
    }
    std::sort(oursTimes.begin(), oursTimes.end());
    std::sort(theirsTimes.begin(), theirsTimes.end());
    pair.ours.seconds = oursTimes[std::size_t(runs / 2)];
    pair.theirs.seconds = theirsTimes[std::size_t(runs / 2)];
    return pair;
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Row(const char* job, const Pair& pair, double inputMiB) {
    const double oursMiB = double(pair.ours.maxRssKiB) / 1024;
    const double theirsMiB = double(pair.theirs.maxRssKiB) / 1024;
    const double budget = 1.5 * theirsMiB + inputMiB;
    std::printf("%-12s %9.3f %9.3f %6.2f   %8.1f %8.1f %6.2f %8.1f %s\n", job, pair.ours.seconds,
                pair.theirs.seconds, pair.ours.seconds / pair.theirs.seconds, oursMiB, theirsMiB,
                oursMiB / theirsMiB, budget, oursMiB <= budget ? "ok" : "OVER");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::string spurwerk = argc > 1 ? argv[1] : SPURWERK_PROGRAM;
    const std::string sigrokCli = argc > 2 ? argv[2] : "sigrok-cli";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("spurwerk-convert-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto at = [&](const std::string& name) { return (dir / name).string(); };

    std::vector<std::uint16_t> samples(kSamples);
    for (std::size_t i = 0; i < kSamples; ++i)
        samples[i] = static_cast<std::uint16_t>(i);
    const std::vector<std::uint8_t> planes = sigrok::PlanesFromSamples(samples);
    WriteFile(at("in.DIG"), planes.data(), planes.size());
    const double inputMiB = double(kSamples * 2) / (1024 * 1024);

    // The session file comes from the counter; the VCD and CSV inputs are
    // Spurwerk's own exports of it (sigrok-cli does not read back every text
    // file it writes from raw data, and both programs read the same file).
    RunOnce({spurwerk, "convert", at("in.DIG"), at("in.sr")});
    RunOnce({spurwerk, "convert", at("in.sr"), at("in.vcd")});
    RunOnce({spurwerk, "convert", at("in.sr"), at("in.csv")});

    std::printf("%zu samples x 16 lines; wall: median of %d alternating runs (s); "
                "peak: largest maxrss (MiB)\n\n",
                kSamples, kRuns);
    std::printf("%-12s %9s %9s %6s   %8s %8s %6s %8s\n", "job", "spurwerk", "sigrok", "ratio",
                "spurwerk", "sigrok", "ratio", "budget");

    struct Job {
        const char* name;
        const char* in;
        const char* out;
        const char* module;
        const char* inputOption; // sigrok-cli must be told a CSV input
    };
    const Job jobs[] = {
        {".sr -> VCD", "in.sr", "out.vcd", "vcd", nullptr},
        {".sr -> CSV", "in.sr", "out.csv", "csv", nullptr},
        {"VCD -> .sr", "in.vcd", "out.sr", "srzip", nullptr},
        {"CSV -> .sr", "in.csv", "out.sr", "srzip", "csv"},
    };
    for (const Job& job : jobs) {
        std::vector<std::string> theirs{sigrokCli};
        if (job.inputOption) theirs.insert(theirs.end(), {"-I", job.inputOption});
        theirs.insert(theirs.end(), {"-i", at(job.in), "-o", at(std::string("theirs-") + job.out),
                                     "-O", job.module});
        Row(job.name,
            Alternate({spurwerk, "convert", at(job.in), at(std::string("ours-") + job.out)},
                      theirs),
            inputMiB);
    }
    // A start that only prints takes milliseconds: more runs steady the median.
    Row("--version", Alternate({spurwerk, "--version"}, {sigrokCli, "--version"}, 41), 0);
    Row("--help", Alternate({spurwerk, "--help"}, {sigrokCli, "--help"}, 41), 0);
    std::filesystem::remove_all(dir);
    return 0;
}
