// Paced "10 Sek." recordings from the simulated parallel port through the
// recorder every recording uses, into a display buffer: how well the samples
// keep their 10 us deadlines, what the pacing costs in CPU time, and the
// loop's own cost per sample.
//
//   bench_paced_recording [cells]      (default 1048576, the "10 Sek." length)
//
// Runs three recordings: on the machine as it is, while two busy child
// processes load both cores, and one with a period no loop can keep (every
// sample behind its deadline), which gives the program's own cost per sample
// beyond the port reads.
#include "RecordingBench.h"
#include "sampling/RunTiming.h"

#include <QCoreApplication>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void printLoad() {
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
}

// Two busy processes, one per core, for as long as the object lives.
class CoreLoad {
  public:
    CoreLoad() {
        for (int i = 0; i < 2; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long spin = 0;
                for (;;)
                    spin = spin + 1;
            }
            if (pid > 0) children_.push_back(pid);
        }
    }
    ~CoreLoad() {
        for (pid_t pid : children_)
            kill(pid, SIGKILL);
        for (pid_t pid : children_)
            waitpid(pid, nullptr, 0);
    }

  private:
    std::vector<pid_t> children_;
};

void paced(PortRecordingBench& bench, const char* label) {
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    const acquire::Recording recording = bench.Record();
    const double cpu = cpuSeconds() - cpu0;
    const double wall = wallSeconds() - wall0;
    const sampling::RunTiming& t = *recording.timing;
    const double p = double(t.nominalPeriodNs);
    std::printf("%s\n", label);
    std::printf("  %s\n", t.Summary().c_str());
    std::printf("  mean period %.4f us, error %+.4f %% (target within 0.1 %%)\n",
                t.MeanPeriodNs() / 1000, (t.MeanPeriodNs() - p) / p * 100);
    std::printf("  lateness: 99.9th percentile <= %.1f us (target 20 us), max %.1f us, "
                "%lld samples later than %.1f us, largest gap %.1f us\n",
                double(t.LatenessQuantileNs(0.999)) / 1000, double(t.maxLatenessNs) / 1000,
                static_cast<long long>(t.lateSamples), double(t.lateAfterNs) / 1000,
                double(t.maxGapNs) / 1000);
    std::printf("  CPU time %.2f s in %.2f s of recording: %.2f s per second\n", cpu, wall,
                cpu / wall);
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Best of three, in thread CPU time: on a machine shared with other builds the
// wall time would count the time the loop was not even running.
template <typename F> double bestCpu(F&& run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const double start = threadCpuSeconds();
        run();
        best = std::min(best, threadCpuSeconds() - start);
    }
    return best;
}

void ownCost(PortRecordingBench& bench) {
    const int cells = bench.buffer.Cells();
    // A 1 ns period: every deadline is past, so the loop runs flat out, one
    // clock read per sample, as it does when catching up.
    const double loop = bestCpu([&] { bench.Record(1); });
    TPortIO& io = bench.io;
    const std::uint32_t base = std::uint32_t(PortRecordingBench::kBase);
    volatile std::uint8_t sink = 0;
    const double port = bestCpu([&] {
        for (int i = 0; i < cells; ++i) {
            sink = std::uint8_t(sink + io.ReadPortByte(base));
            sink = std::uint8_t(sink + io.ReadPortByte(base + 1));
        }
    });
    sampling::MonotonicClock& clock = bench.clock;
    volatile std::int64_t t = 0;
    const double reads = bestCpu([&] {
        for (int i = 0; i < cells; ++i)
            t = t + clock.NowNs();
    });
    const double perSample = 1e9 / cells;
    std::printf("unpaced loop (best of 3, thread CPU time): %.1f ns/sample = port reads %.1f ns"
                " + clock read (the deadline check) %.1f ns + program's own cost %.1f ns "
                "(target under 30 ns)\n",
                loop * perSample, port * perSample, reads * perSample,
                (loop - port - reads) * perSample);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PortRecordingBench bench(argc > 1 ? std::atoi(argv[1]) : 0x100000);

    std::printf("paced recording, %d samples, simulated parallel port, period %lld ns\n",
                bench.buffer.Cells(), static_cast<long long>(bench.source.NominalPeriodNs()));
    printLoad();
    paced(bench, "machine as it is:");
    {
        CoreLoad load;
        paced(bench, "two busy processes loading both cores:");
    }
    printLoad();
    ownCost(bench);
    return 0;
}
