#include "platform/GiveBackPages.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

// Only whole pages inside the block go back: the bytes around it, in the
// pages it shares with its neighbours, keep their values, whatever the
// block's alignment and length.
TEST(GiveBackPages, OnlyWholePagesInsideTheBlockGo) {
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    struct Case {
        std::size_t offset; // of the block from a page boundary
        std::size_t length;
    } cases[] = {
        {0, 12 << 20},        // aligned, several steps
        {1, (9 << 20) + 3},   // unaligned at both ends
        {page - 1, page + 2}, // one whole page between two partial ones
        {7, page - 20},       // inside one page: nothing goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        std::vector<unsigned char> memory((14 << 20) + 4 * page, 0xA5);
        const auto base = reinterpret_cast<std::uintptr_t>(memory.data());
        unsigned char* block =
            reinterpret_cast<unsigned char*>((base + page - 1) / page * page + page + c.offset);
        GiveBackPages(block, c.length);
        const auto at = [&](std::size_t i) { return reinterpret_cast<std::uintptr_t>(&memory[i]); };
        const auto first = reinterpret_cast<std::uintptr_t>(block);
        const auto firstWhole = (first + page - 1) / page * page;
        const auto endWhole = (first + c.length) / page * page;
        for (std::size_t i = 0; i < memory.size(); ++i) {
            const bool gone = at(i) >= firstWhole && at(i) < endWhole;
            ASSERT_EQ(memory[i], gone ? 0 : 0xA5) << i;
        }
    }
}
