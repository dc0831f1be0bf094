#include "BoardSession.h"
#include "FakeBoard.h"

#include <functional>
#include <gtest/gtest.h>

using k8055::BoardSession;
using k8055::Report;
using k8055::TransferStatus;
using k8055test::FakeBoard;
using k8055test::FakeConnector;
using k8055test::ReadAnswer;

namespace {

// A session with boards at card addresses 0 and 2 plugged in; board 2 opened.
class K8055Session : public ::testing::Test {
  protected:
    K8055Session()
        : session(std::make_unique<FakeConnector>(
              std::map<int, FakeBoard*>{{0, &board0}, {2, &board2}})) {}

    void OpenBoard2() {
        ASSERT_EQ(session.OpenDevice(2), 2);
        board2.written.clear();
        board2.readCalls = 0;
    }

    FakeBoard board0{0};
    FakeBoard board2{2};
    BoardSession session;
};

using Call = std::function<long(BoardSession&)>;

} // namespace

TEST_F(K8055Session, OpeningResetsTheBoardAndReadsItsFirstReport) {
    EXPECT_EQ(session.OpenDevice(2), 2);
    EXPECT_TRUE(board2.open);
    EXPECT_EQ(board2.written, (std::vector<Report>{{0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(board2.readCalls, 1);
    // Opening an open board only makes it current again.
    EXPECT_EQ(session.OpenDevice(2), 2);
    EXPECT_EQ(board2.opens, 1);
}

TEST_F(K8055Session, EveryOutputCallWritesTheWholeOutputReport) {
    const struct {
        const char* name;
        Call call;
        Report expected;
    } cases[] = {
        {"OutputAnalogChannel 1",
         [](auto& s) { return s.OutputAnalogChannel(1, 100); },
         {5, 0, 100, 0, 0, 0, 0, 0}},
        {"OutputAnalogChannel 2",
         [](auto& s) { return s.OutputAnalogChannel(2, 7); },
         {5, 0, 0, 7, 0, 0, 0, 0}},
        {"OutputAnalogChannel clamps up",
         [](auto& s) { return s.OutputAnalogChannel(1, 300); },
         {5, 0, 255, 0, 0, 0, 0, 0}},
        {"OutputAnalogChannel clamps down",
         [](auto& s) { return s.OutputAnalogChannel(2, -4); },
         {5, 0, 0, 0, 0, 0, 0, 0}},
        {"OutputAllAnalog",
         [](auto& s) { return s.OutputAllAnalog(1, 254); },
         {5, 0, 1, 254, 0, 0, 0, 0}},
        {"SetAnalogChannel 2",
         [](auto& s) { return s.SetAnalogChannel(2); },
         {5, 0, 0, 255, 0, 0, 0, 0}},
        {"SetAllAnalog", [](auto& s) { return s.SetAllAnalog(); }, {5, 0, 255, 255, 0, 0, 0, 0}},
        {"ClearAllAnalog", [](auto& s) { return s.ClearAllAnalog(); }, {5, 0, 0, 0, 0, 0, 0, 0}},
        {"WriteAllDigital",
         [](auto& s) { return s.WriteAllDigital(0x5A); },
         {5, 0x5A, 0, 0, 0, 0, 0, 0}},
        {"WriteAllDigital keeps 8 bits",
         [](auto& s) { return s.WriteAllDigital(0x1A5); },
         {5, 0xA5, 0, 0, 0, 0, 0, 0}},
        {"SetDigitalChannel 1",
         [](auto& s) { return s.SetDigitalChannel(1); },
         {5, 0x01, 0, 0, 0, 0, 0, 0}},
        {"SetDigitalChannel 8",
         [](auto& s) { return s.SetDigitalChannel(8); },
         {5, 0x80, 0, 0, 0, 0, 0, 0}},
        {"SetAllDigital", [](auto& s) { return s.SetAllDigital(); }, {5, 0xFF, 0, 0, 0, 0, 0, 0}},
        {"ClearAllDigital", [](auto& s) { return s.ClearAllDigital(); }, {5, 0, 0, 0, 0, 0, 0, 0}},
        {"ResetCounter 1", [](auto& s) { return s.ResetCounter(1); }, {3, 0, 0, 0, 0, 0, 0, 0}},
        {"ResetCounter 2", [](auto& s) { return s.ResetCounter(2); }, {4, 0, 0, 0, 0, 0, 0, 0}},
        {"SetCounterDebounceTime 1",
         [](auto& s) { return s.SetCounterDebounceTime(1, 2); },
         {1, 0, 0, 0, 0, 0, 4, 0}},
        {"SetCounterDebounceTime 2",
         [](auto& s) { return s.SetCounterDebounceTime(2, 7450); },
         {2, 0, 0, 0, 0, 0, 0, 255}},
    };
    for (const auto& c : cases) {
        FakeBoard board{0};
        BoardSession fresh(std::make_unique<FakeConnector>(std::map<int, FakeBoard*>{{0, &board}}));
        ASSERT_EQ(fresh.OpenDevice(0), 0);
        board.written.clear();
        EXPECT_EQ(c.call(fresh), 0) << c.name;
        EXPECT_EQ(board.written, std::vector<Report>{c.expected}) << c.name;
    }
}

TEST_F(K8055Session, SingleChannelCallsChangeTheHostCopyOfTheOutputs) {
    OpenBoard2();
    session.SetDigitalChannel(3);
    session.SetDigitalChannel(8);
    session.OutputAnalogChannel(2, 99);
    session.SetCounterDebounceTime(1, 100);
    session.ClearDigitalChannel(3);
    session.ClearAnalogChannel(1);
    // Later reports keep what earlier ones set, the debounce times included.
    ASSERT_EQ(board2.written.size(), 6u);
    EXPECT_EQ(board2.written.back(), (Report{5, 0x80, 0, 99, 0, 0, 29, 0}));
    EXPECT_EQ(session.CurrentOutputs(), (k8055::Outputs{0x80, 0, 99, 29, 0}));
}

TEST_F(K8055Session, ReadsTakeTheirValueFromOneInputReport) {
    OpenBoard2();
    board2.standing = {0x91, 0x03, 0x40, 0xC8, 0x00, 0x80, 0xFF, 0xFF};
    const struct {
        const char* name;
        Call call;
        long expected;
    } cases[] = {
        {"ReadAllDigital", [](auto& s) { return s.ReadAllDigital(); }, 0x15},
        {"ReadDigitalChannel 1", [](auto& s) { return s.ReadDigitalChannel(1); }, 1},
        {"ReadDigitalChannel 2", [](auto& s) { return s.ReadDigitalChannel(2); }, 0},
        {"ReadDigitalChannel 3", [](auto& s) { return s.ReadDigitalChannel(3); }, 1},
        {"ReadDigitalChannel 4", [](auto& s) { return s.ReadDigitalChannel(4); }, 0},
        {"ReadDigitalChannel 5", [](auto& s) { return s.ReadDigitalChannel(5); }, 1},
        {"ReadAnalogChannel 1", [](auto& s) { return s.ReadAnalogChannel(1); }, 0x40},
        {"ReadAnalogChannel 2", [](auto& s) { return s.ReadAnalogChannel(2); }, 0xC8},
        {"ReadCounter 1", [](auto& s) { return s.ReadCounter(1); }, 32768},
        {"ReadCounter 2", [](auto& s) { return s.ReadCounter(2); }, 65535},
    };
    for (const auto& c : cases) {
        board2.readCalls = 0;
        EXPECT_EQ(c.call(session), c.expected) << c.name;
        EXPECT_EQ(board2.readCalls, 1) << c.name;
    }
    long a1 = -1, a2 = -1;
    EXPECT_EQ(session.ReadAllAnalog(&a1, &a2), 0);
    EXPECT_EQ(a1, 0x40);
    EXPECT_EQ(a2, 0xC8);
    EXPECT_TRUE(board2.written.empty());
}

TEST_F(K8055Session, CallsWithoutAnOpenBoardOrWithBadArgumentsFailWithoutTraffic) {
    long a1 = 0, a2 = 0;
    const Call every[] = {
        [](auto& s) { return s.CloseDevice(); },
        [](auto& s) { return s.ReadAnalogChannel(1); },
        [&](auto& s) { return s.ReadAllAnalog(&a1, &a2); },
        [](auto& s) { return s.OutputAnalogChannel(1, 1); },
        [](auto& s) { return s.OutputAllAnalog(1, 1); },
        [](auto& s) { return s.ClearAnalogChannel(1); },
        [](auto& s) { return s.ClearAllAnalog(); },
        [](auto& s) { return s.SetAnalogChannel(1); },
        [](auto& s) { return s.SetAllAnalog(); },
        [](auto& s) { return s.WriteAllDigital(1); },
        [](auto& s) { return s.ClearDigitalChannel(1); },
        [](auto& s) { return s.ClearAllDigital(); },
        [](auto& s) { return s.SetDigitalChannel(1); },
        [](auto& s) { return s.SetAllDigital(); },
        [](auto& s) { return s.ReadDigitalChannel(1); },
        [](auto& s) { return s.ReadAllDigital(); },
        [](auto& s) { return s.ReadCounter(1); },
        [](auto& s) { return s.ResetCounter(1); },
        [](auto& s) { return s.SetCounterDebounceTime(1, 1); },
    };
    for (const Call& call : every) {
        EXPECT_EQ(call(session), -1);
        EXPECT_EQ(session.LastError(), "keine Karte ist geöffnet");
    }

    OpenBoard2();
    const Call bad[] = {
        [](auto& s) { return s.ReadAnalogChannel(0); },
        [](auto& s) { return s.ReadAnalogChannel(3); },
        [](auto& s) { return s.ReadAllAnalog(nullptr, nullptr); },
        [](auto& s) { return s.OutputAnalogChannel(3, 1); },
        [](auto& s) { return s.ClearAnalogChannel(0); },
        [](auto& s) { return s.SetAnalogChannel(-1); },
        [](auto& s) { return s.ClearDigitalChannel(9); },
        [](auto& s) { return s.SetDigitalChannel(0); },
        [](auto& s) { return s.ReadDigitalChannel(6); },
        [](auto& s) { return s.ReadCounter(3); },
        [](auto& s) { return s.ResetCounter(0); },
        [](auto& s) { return s.SetCounterDebounceTime(3, 10); },
    };
    for (const Call& call : bad)
        EXPECT_EQ(call(session), -1);
    EXPECT_TRUE(board2.written.empty());
    EXPECT_EQ(board2.readCalls, 0);
    EXPECT_EQ(session.CurrentOutputs(), k8055::Outputs{});
}

TEST_F(K8055Session, OpeningAnAbsentOrRefusedBoardFails) {
    for (const long card : {1L, 3L, -1L, 4L, 100L})
        EXPECT_EQ(session.OpenDevice(card), -1) << card;
    EXPECT_EQ(session.ReadAllDigital(), -1);
    // An empty slot is no problem worth reporting; the program scans all four.
    EXPECT_TRUE(session.OpenProblem().empty());

    FakeBoard board{0};
    BoardSession refused(std::make_unique<FakeConnector>(std::map<int, FakeBoard*>{{0, &board}},
                                                         "permission denied"));
    EXPECT_EQ(refused.OpenDevice(0), -1);
    EXPECT_EQ(refused.LastError(), "permission denied");
    EXPECT_EQ(refused.OpenProblem(), "permission denied");
}

TEST_F(K8055Session, ABoardThatDoesNotAnswerTheResetIsNotOpened) {
    board2.writeStatus = TransferStatus::Timeout;
    EXPECT_EQ(session.OpenDevice(2), -1);
    EXPECT_FALSE(board2.open);
    EXPECT_EQ(session.OpenProblem(),
              "die Karte hat auf das Zurücksetzen nicht geantwortet: die Karte hat den Bericht "
              "nicht rechtzeitig angenommen");

    board2.writeStatus = TransferStatus::Ok;
    board2.standing[1] = 0x01; // reports as another card
    EXPECT_EQ(session.OpenDevice(2), -1);
    EXPECT_FALSE(board2.open);
    EXPECT_EQ(session.ReadAllDigital(), -1);
}

TEST_F(K8055Session, BadReadsAreTriedThreeTimes) {
    OpenBoard2();
    Report valid{0x10, 0x03, 0, 0, 0, 0, 0, 0};
    Report otherCard{0x10, 0x01, 0, 0, 0, 0, 0, 0};
    board2.reads = {{TransferStatus::Timeout, {}, 0},
                    {TransferStatus::Ok, valid, 5},
                    {TransferStatus::Ok, otherCard, 8},
                    {TransferStatus::Ok, valid, 8}};
    EXPECT_EQ(session.ReadAllDigital(), -1);
    EXPECT_EQ(board2.readCalls, 3);
    EXPECT_EQ(session.LastError(), "die Karte hat keinen gültigen Bericht geschickt");
    // The fourth answer is still queued and makes the next read succeed.
    EXPECT_EQ(session.ReadAllDigital(), 1);

    board2.reads = {{TransferStatus::Failed, {}, 0}, {TransferStatus::Ok, valid, 8}};
    EXPECT_EQ(session.ReadAllDigital(), 1);
    EXPECT_TRUE(session.LastError().empty());
}

TEST_F(K8055Session, AnUnpluggedBoardFailsAtOnceUntilItIsOpenedAgain) {
    OpenBoard2();
    board2.reads = {{TransferStatus::Gone, {}, 0}};
    EXPECT_EQ(session.ReadAllDigital(), -1);
    EXPECT_EQ(board2.readCalls, 1);
    EXPECT_EQ(session.SetAllDigital(), -1);
    EXPECT_EQ(session.ReadCounter(1), -1);
    EXPECT_TRUE(board2.written.empty());
    EXPECT_EQ(board2.readCalls, 1);

    // Plugged in again: opening drops the dead handle and starts afresh.
    EXPECT_EQ(session.OpenDevice(2), 2);
    EXPECT_EQ(board2.opens, 2);
    EXPECT_EQ(session.SetAllDigital(), 0);

    board2.writeStatus = TransferStatus::Gone;
    EXPECT_EQ(session.ClearAllDigital(), -1);
    board2.writeStatus = TransferStatus::Ok;
    EXPECT_EQ(session.ClearAllDigital(), -1);
}

TEST_F(K8055Session, CloseHandsBackTheCurrentBoardOnly) {
    ASSERT_EQ(session.OpenDevice(0), 0);
    ASSERT_EQ(session.OpenDevice(2), 2);
    EXPECT_EQ(session.CloseDevice(), 0);
    EXPECT_FALSE(board2.open);
    EXPECT_TRUE(board0.open);
    EXPECT_EQ(session.CloseDevice(), -1);
    EXPECT_EQ(session.ReadAllDigital(), -1);
    // Board 0 stayed open and becomes current without a second open.
    EXPECT_EQ(session.OpenDevice(0), 0);
    EXPECT_EQ(board0.opens, 1);
    EXPECT_EQ(session.ReadAllDigital(), 0);
}

TEST_F(K8055Session, EachBoardKeepsItsOwnOutputs) {
    ASSERT_EQ(session.OpenDevice(0), 0);
    session.WriteAllDigital(0x0F);
    ASSERT_EQ(session.OpenDevice(2), 2);
    session.SetDigitalChannel(8);
    EXPECT_EQ(board2.written.back()[1], 0x80);
    ASSERT_EQ(session.OpenDevice(0), 0);
    session.SetDigitalChannel(8);
    EXPECT_EQ(board0.written.back()[1], 0x8F);
}
