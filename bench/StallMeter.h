#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdint>

// Longest gap between ticks of a 1 ms timer on the GUI thread, and when it
// ended: how long the window could not answer while a job ran there.
struct StallMeter {
    QElapsedTimer clock;
    std::int64_t last = 0;
    std::int64_t longest = 0;
    std::int64_t longestAt = 0; // ns since the meter started
    QTimer tick;
    StallMeter() {
        clock.start();
        last = clock.nsecsElapsed();
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const std::int64_t now = clock.nsecsElapsed();
            if (now - last > longest) longest = now - last, longestAt = now;
            last = now;
        });
        tick.start();
    }
    // Forgets what was measured so far; the next gap counts from now.
    void Restart() {
        last = clock.nsecsElapsed();
        longest = 0;
        longestAt = 0;
    }
    double LongestMs() const { return double(longest) * 1e-6; }
    double LongestAtSeconds() const { return double(longestAt) * 1e-9; }
};
