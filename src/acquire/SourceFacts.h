#pragma once

#include <cstdint>

// What the program's own sources are, in one place: their sample periods and
// the cells of their record lengths.
namespace acquire {

// 1,048,576 port cells last the 10.5 s that "10 Sek." promises.
constexpr std::int64_t kPortPeriodNs = 10'000;
// The board's 10 ms wait became its deadline.
constexpr std::int64_t kBoardPeriodNs = 10'000'000;

constexpr std::uint64_t kPortCells10s = 0x100000;
constexpr std::uint64_t kPortCells5s = 0x80000;
constexpr std::uint64_t kBoardCells10s = 0x4000;
constexpr std::uint64_t kBoardCells5s = 8192;

// The longest buffer the port and the board record into.
constexpr std::uint64_t kMaxPortCells = kPortCells10s;

// The port and the board settle this long after their preparation.
constexpr int kSettleMs = 500;

// The longest buffer a sigrok device records: as long as a recording file may
// be (64 Mi cells, 128 MiB).
constexpr std::uint64_t kMaxDeviceCells = 64u * 1024 * 1024;

} // namespace acquire
