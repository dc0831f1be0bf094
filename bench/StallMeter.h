#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>

// Longest gap between ticks of a 1 ms timer on the GUI thread, and when it
// ended: how long the window could not answer while a job ran there.
//
// A gap is made of the GUI thread's own work, its waits (locks, page faults,
// giving back memory) and the time it was ready but other threads had the
// processors. On a machine shared with other work the last part can dominate,
// so the meter also keeps the longest gap without it (the thread's run-queue
// wait from /proc/thread-self/schedstat): what the program itself holds up.
struct StallMeter {
    QElapsedTimer clock;
    std::int64_t last = 0;
    std::int64_t longest = 0;
    std::int64_t longestAt = 0;     // ns since the meter started
    std::int64_t longestQueued = 0; // of the longest gap: ready, waiting for a processor
    std::int64_t longestOwn = 0;    // longest gap less its run-queue wait
    std::int64_t longestOwnAt = 0;
    std::int64_t lastQueued = 0;
    QTimer tick;
    StallMeter() {
        clock.start();
        last = clock.nsecsElapsed();
        lastQueued = QueuedNs();
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const std::int64_t now = clock.nsecsElapsed();
            const std::int64_t queued = QueuedNs();
            const std::int64_t gap = now - last;
            const std::int64_t waited = std::clamp<std::int64_t>(queued - lastQueued, 0, gap);
            if (gap > longest) longest = gap, longestAt = now, longestQueued = waited;
            if (gap - waited > longestOwn) longestOwn = gap - waited, longestOwnAt = now;
            last = now;
            lastQueued = queued;
        });
        tick.start();
    }
    // Forgets what was measured so far; the next gap counts from now.
    void Restart() {
        last = clock.nsecsElapsed();
        lastQueued = QueuedNs();
        longest = longestAt = longestQueued = 0;
        longestOwn = longestOwnAt = 0;
    }
    double LongestMs() const { return double(longest) * 1e-6; }
    double LongestAtSeconds() const { return double(longestAt) * 1e-9; }
    double LongestQueuedMs() const { return double(longestQueued) * 1e-6; }
    double LongestOwnMs() const { return double(longestOwn) * 1e-6; }
    double LongestOwnAtSeconds() const { return double(longestOwnAt) * 1e-9; }

    // Nanoseconds this thread has spent ready to run but not running; 0 where
    // the kernel does not tell.
    static std::int64_t QueuedNs() {
        std::FILE* f = std::fopen("/proc/thread-self/schedstat", "r");
        if (!f) return 0;
        long long running = 0, queued = 0;
        const bool read = std::fscanf(f, "%lld %lld", &running, &queued) == 2;
        std::fclose(f);
        return read ? queued : 0;
    }
};
