#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

// Gives the pages of a large block back to the system a few MiB at a time,
// ahead of freeing it: unmapping a hundred MiB at once holds the process's
// memory map for tens of milliseconds, and a thread that starts a thread or
// maps memory meanwhile (the window's) waits for it. The block stays usable
// and reads as zeros.
inline void GiveBackPages(void* data, std::size_t bytes) {
    constexpr std::size_t kStep = std::size_t{4} << 20;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t end = (begin + bytes) / page * page;
    for (std::uintptr_t at = (begin + page - 1) / page * page; at < end; at += kStep)
        ::madvise(reinterpret_cast<void*>(at), std::min<std::uintptr_t>(kStep, end - at),
                  MADV_DONTNEED);
}
