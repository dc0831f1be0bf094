#include "TrazorFixture.h"
#include "display/SampleBuffer.h"

#include <gtest/gtest.h>

TEST(SampleBuffer, GuardsBothPlanesAtHalfTheSize) {
    SampleBuffer buffer;
    EXPECT_EQ(buffer.GetCellLow(0), 0); // no memory yet
    buffer.SetCellLow(0, 1);            // ignored
    buffer.Resize(4);
    ASSERT_EQ(buffer.Size(), 8u);
    buffer.SetCellLow(0, 0x11);
    buffer.SetCellHigh(0, 0x22);
    buffer.SetCellLow(3, 0x33);
    buffer.SetCellHigh(3, 0x44);
    for (int outside : {-1, 4, 5, 1 << 30}) {
        buffer.SetCellLow(outside, 0xEE);
        buffer.SetCellHigh(outside, 0xEE);
        EXPECT_EQ(buffer.GetCellLow(outside), 0) << outside;
        EXPECT_EQ(buffer.GetCellHigh(outside), 0) << outside;
    }
    // A low write one past the plane must not land in the high byte of cell 0.
    EXPECT_EQ(buffer.Bytes(), (std::vector<std::uint8_t>{0x11, 0, 0, 0x33, 0x22, 0, 0, 0x44}));
}

TEST(SampleBuffer, WordsSplitIntoThePlanesAndStopAtTheEnd) {
    SampleBuffer buffer;
    buffer.Resize(4);
    buffer.TakeChanges();
    const std::uint16_t words[] = {0x2211, 0x4433, 0x6655, 0x8877};
    struct Case {
        int first;
        std::size_t count, written;
    } const cases[] = {{-1, 4, 0}, {4, 1, 0}, {1, 0, 0}, {2, 4, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(buffer.WriteWords(c.first, words, c.count), c.written) << c.first;
    EXPECT_EQ(buffer.Bytes(), (std::vector<std::uint8_t>{0, 0, 0x11, 0x33, 0, 0, 0x22, 0x44}));
    // The summary beside the buffer hears of exactly the cells written.
    const SampleBuffer::Changes changes = buffer.TakeChanges();
    EXPECT_FALSE(changes.Reshaped);
    EXPECT_EQ(changes.First, 2);
    EXPECT_EQ(changes.Last, 4);
}

TEST(SampleBuffer, BitsOfLinesEightToFifteenComeFromTheHighPlane) {
    SampleBuffer buffer;
    buffer.Resize(2);
    buffer.SetCellLow(1, 0x08);
    buffer.SetCellHigh(1, 0x08);
    EXPECT_TRUE(buffer.Bit(1, 3));
    EXPECT_TRUE(buffer.Bit(1, 11));
    EXPECT_FALSE(buffer.Bit(1, 10));
    EXPECT_FALSE(buffer.Bit(1, 16));
    EXPECT_FALSE(buffer.Bit(1, -1));
}

TEST(SampleBuffer, LoadedStreamsSplitAtHalfTheirOwnLength) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int cells;
        int firstHigh; // GetCellHigh(0)
    };
    const Case cases[] = {
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 5, 5},
        {{10, 11, 12, 13, 14, 15, 16}, 3, 13}, // odd: the last byte has no partner
        {{}, 0, 0},
        {{42}, 0, 0},
    };
    for (const Case& c : cases) {
        SampleBuffer buffer;
        buffer.Resize(8192);
        buffer.Load(c.bytes);
        EXPECT_EQ(buffer.Cells(), c.cells);
        EXPECT_EQ(buffer.GetCellHigh(0), c.firstHigh);
        EXPECT_EQ(buffer.GetCellLow(c.cells), 0);
        EXPECT_EQ(buffer.Bytes(), c.bytes);
    }
}

TEST(SampleBuffer, ClearKeepsTheSize) {
    SampleBuffer buffer;
    buffer.Resize(3);
    buffer.SetCellHigh(2, 9);
    buffer.Clear();
    EXPECT_EQ(buffer.Bytes(), std::vector<std::uint8_t>(6, 0));
}

using TrazorBuffer = TrazorFixture;

TEST_F(TrazorBuffer, LoadStreamLeavesCellsSizeAndReadsTheFilesPlanes) {
    trazor->LoadStream(QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A", 10));
    EXPECT_EQ(trazor->Option().CellsSize(), 8192);
    EXPECT_EQ(trazor->Stream().size(), 10u);
    EXPECT_EQ(trazor->GetCellLow(0), 1);
    EXPECT_EQ(trazor->GetCellHigh(0), 6);
    EXPECT_EQ(trazor->GetCellHigh(4), 10);
    EXPECT_EQ(trazor->GetCellHigh(5), 0);
    // Setting the same CellsSize again keeps the loaded stream.
    trazor->Option().SetCellsSize(8192);
    EXPECT_EQ(trazor->Stream().size(), 10u);
    // Drawing a stream shorter than the view reads the missing cells as low.
    refresh();
    EXPECT_TRUE(trazor->Idle());
}

TEST_F(TrazorBuffer, ClearCellsZeroesEveryByte) {
    trazor->SetCellLow(5, 0xFF);
    trazor->SetCellHigh(8191, 0xFF);
    trazor->ClearCells();
    EXPECT_EQ(trazor->Stream(), std::vector<std::uint8_t>(16384, 0));
}

TEST(SampleBuffer, TimeBaseStaysWithTheSamplesUntilAFileReplacesThem) {
    SampleBuffer buffer;
    EXPECT_EQ(buffer.GetTimeBase(), sampling::TimeBase::Nominal());
    const auto paced =
        sampling::TimeBase::Paced(sampling::SamplePeriod::FromNanoseconds(10'000'000));
    buffer.SetTimeBase(paced);
    buffer.Resize(8);
    buffer.Clear();
    EXPECT_EQ(buffer.GetTimeBase(), paced);
    // A file brings bytes without timing: back to the assumed 10 us.
    buffer.Load(std::vector<std::uint8_t>(16, 0));
    EXPECT_EQ(buffer.GetTimeBase(), sampling::TimeBase::Nominal());
}
