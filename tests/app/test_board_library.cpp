#include "K8055Sim.h"
#include "MainWindowFixture.h"
#include "hardware/TPortUSB.h"

// Which board library the window's own factory loads. Without --simulate it
// is the program's own library from beside the program; no board is plugged
// in where the tests run, so that library answers -1 for every card.
namespace {

bool AnyLibraryError(const ScriptedDesktop& desktop) {
    for (const auto& m : desktop.messages())
        if (m.caption == QStringLiteral("DLL - Error")) return true;
    return false;
}

class OwnBoardLibraryTest : public MainWindowTest {
  protected:
    void SetUp() override {
        simulate = false;
        MainWindowTest::SetUp();
    }
};

class ChosenBoardLibraryTest : public MainWindowTest {
  protected:
    void SetUp() override {
        simulate = false;
        boardLibrary = QStringLiteral("libk8055.so.0");
        MainWindowTest::SetUp();
    }
};

class SimulatedBoardLibraryTest : public MainWindowTest {
  protected:
    void SetUp() override {
        k8055sim_Reset();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        k8055sim_Reset();
    }
};

} // namespace

TEST_F(OwnBoardLibraryTest, ANormalStartLoadsTheOwnLibraryWithoutALibraryError) {
    EXPECT_FALSE(AnyLibraryError(desktop));
    EXPECT_TRUE(window->PortUSB1().LibraryLoaded());

    // The real library looks for the board over USB and finds none.
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    EXPECT_EQ(window->State().InputProgrammed, 0);
    ASSERT_FALSE(desktop.messages().empty());
    EXPECT_TRUE(desktop.messages().back().text.startsWith(
        QStringLiteral("Could not start your USB card.")));
    EXPECT_EQ(window->PortUSB1().ReadUsbInputs(), 0);
}

TEST_F(ChosenBoardLibraryTest, ALibraryTheUserNamesReplacesTheOwnOne) {
    // libk8055 is not installed here: the loader's own message names it.
    ASSERT_TRUE(AnyLibraryError(desktop));
    EXPECT_EQ(desktop.messages().front().text, QStringLiteral("Unable to load libk8055.so.0 !"));
    EXPECT_FALSE(window->PortUSB1().LibraryLoaded());
}

TEST_F(SimulatedBoardLibraryTest, SimulateStillLoadsTheSimulatedBoards) {
    EXPECT_FALSE(AnyLibraryError(desktop));
    k8055sim_SetInputs(0, 0x0B);
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    ASSERT_EQ(window->State().InputProgrammed, 1);
    EXPECT_TRUE(k8055sim_IsOpen(0));
    EXPECT_EQ(window->PortUSB1().ReadUsbInputs(), 0x0B);
}
