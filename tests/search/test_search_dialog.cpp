#include "ScriptedDesktop.h"
#include "display/TTrazor.h"
#include "search/SearchHost.h"
#include "search/TOKBottomDlg1.h"
#include "search/TRadioGroup.h"
#include "search/TriggerSettings.h"
#include "support/THexEdit.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace search;

class RecordingHost : public SearchHost {
  public:
    std::vector<int> positions;
    void SetScrollBarPosition(int position) override { positions.push_back(position); }
};

class SearchDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        trazor = new TTrazor(owner.get(), desktop); // owned by owner
        trazor->Option().SetCellsSize(8192);
        dialog = std::make_unique<TOKBottomDlg1>(nullptr, *trazor, desktop, trigger, host);
    }

    TRadioGroup& group(const char* name) { return *dialog->findChild<TRadioGroup*>(name); }
    THexEdit& hexEdit() { return *dialog->findChild<THexEdit*>("HexEdit1"); }
    QProgressBar& progress() { return *dialog->findChild<QProgressBar*>("ProgressBar1"); }
    void click(const char* group, int index) { this->group(group).Button(index)->click(); }
    void ok() { dialog->findChild<QPushButton*>("OKBtn")->click(); }
    int cellsPos() const { return trazor->Option().CellsPos(); }
    void setLevel(int cell, int line, bool high) {
        const int mask = 1 << (line % 8);
        if (line < 8)
            trazor->SetCellLow(cell, std::uint8_t(high ? trazor->GetCellLow(cell) | mask
                                                       : trazor->GetCellLow(cell) & ~mask));
        else
            trazor->SetCellHigh(cell, std::uint8_t(high ? trazor->GetCellHigh(cell) | mask
                                                        : trazor->GetCellHigh(cell) & ~mask));
    }
    // Search mode with a kind chosen, as the user leaves it.
    void searchFor(int kind) {
        dialog->OpenForSearch();
        click("RadioGroup2", kind);
    }

    ScriptedDesktop desktop;
    TriggerSettings trigger;
    RecordingHost host;
    std::unique_ptr<QWidget> owner;
    TTrazor* trazor = nullptr;
    std::unique_ptr<TOKBottomDlg1> dialog;
};

TEST_F(SearchDialog, ControlsAtStart) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Suchen"));
    EXPECT_EQ(group("RadioGroup2").title(), QStringLiteral(" Globalparameter "));
    EXPECT_EQ(group("RadioGroup2").Button(0)->text(), QStringLiteral("Bit´s"));
    EXPECT_EQ(group("RadioGroup2").Button(4)->text(), QStringLiteral("Word"));
    EXPECT_EQ(group("RadioGroup2").ItemIndex(), -1);
    EXPECT_TRUE(group("RadioGroup2").isEnabled());
    EXPECT_EQ(group("RadioGroup1").title(), QStringLiteral(" Bitauswahl "));
    EXPECT_EQ(group("RadioGroup1").Count(), 16);
    EXPECT_EQ(group("RadioGroup1").Button(15)->text(), QStringLiteral("Bit 16"));
    EXPECT_EQ(group("RadioGroup3").title(), QStringLiteral(" Flanke "));
    EXPECT_EQ(group("RadioGroup3").Button(0)->text(), QStringLiteral("0 --> 1"));
    EXPECT_EQ(group("RadioGroup3").Button(1)->text(), QStringLiteral("1 --> 0"));
    EXPECT_EQ(group("RadioGroup4").title(), QStringLiteral(" Nibbel,Byte "));
    for (const char* name : {"RadioGroup1", "RadioGroup3", "RadioGroup4"})
        EXPECT_FALSE(group(name).isEnabled()) << name;
    EXPECT_FALSE(hexEdit().isEnabled());
    EXPECT_EQ(hexEdit().maxlength(), 8);
    EXPECT_TRUE(hexEdit().font().bold());
    EXPECT_EQ(hexEdit().font().pixelSize(), 16);
    EXPECT_EQ(progress().maximum(), 100);
    EXPECT_EQ(progress().value(), 0);
    EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), QStringLiteral("Nibbel / Byte / Word"));
    EXPECT_TRUE(dialog->findChild<QPushButton*>("OKBtn")->isDefault());
    EXPECT_EQ(dialog->findChild<QPushButton*>("CancelBtn")->text(), QStringLiteral("Abbrechen"));
}

TEST_F(SearchDialog, SuchenOpensModelessInSearchMode) {
    progress().setValue(40);
    dialog->OpenForSearch();
    EXPECT_EQ(dialog->Tag(), 0);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Spurwerk : Suchen in den Daten"));
    EXPECT_EQ(progress().value(), 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    dialog->findChild<QPushButton*>("CancelBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
}

struct KindState {
    int kind;
    int line; // -1: cleared and disabled
    int edge;
    int byte;
    bool hexEnabled;
    int maxlength;
};

TEST_F(SearchDialog, KindChangeSetsTheOtherControls) {
    const KindState cases[] = {
        {KindNibbleLo, -1, -1, ByteLow, true, 1}, {KindByte, -1, -1, ByteLow, true, 2},
        {KindBits, 0, EdgeRising, -1, false, 2},  {KindWord, -1, -1, -1, true, 4},
        {KindNibbleHi, -1, -1, ByteLow, true, 1},
    };
    dialog->OpenForSearch();
    hexEdit().setText(QStringLiteral("7"));
    for (const auto& c : cases) {
        click("RadioGroup2", c.kind);
        EXPECT_EQ(group("RadioGroup2").ItemIndex(), c.kind);
        EXPECT_EQ(group("RadioGroup1").ItemIndex(), c.line) << c.kind;
        EXPECT_EQ(group("RadioGroup1").isEnabled(), c.line >= 0) << c.kind;
        EXPECT_EQ(group("RadioGroup3").ItemIndex(), c.edge) << c.kind;
        EXPECT_EQ(group("RadioGroup3").isEnabled(), c.edge >= 0) << c.kind;
        EXPECT_EQ(group("RadioGroup4").ItemIndex(), c.byte) << c.kind;
        EXPECT_EQ(group("RadioGroup4").isEnabled(), c.byte >= 0) << c.kind;
        EXPECT_EQ(hexEdit().isEnabled(), c.hexEnabled) << c.kind;
        EXPECT_EQ(hexEdit().maxlength(), c.maxlength) << c.kind;
        if (c.kind == KindBits) {
            EXPECT_TRUE(hexEdit().text().isEmpty());
        }
    }
}

TEST_F(SearchDialog, SetUpModeLocksTheKindButLetsANibbleSwitchHalves) {
    dialog->OpenForSync(KindNibbleLo, SyncCaption(KindNibbleLo));
    EXPECT_EQ(dialog->Tag(), 1);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Synchronmodus Nibbel"));
    EXPECT_EQ(group("RadioGroup2").ItemIndex(), KindNibbleLo);
    EXPECT_TRUE(dialog->isVisible());
    click("RadioGroup2", KindNibbleHi);
    EXPECT_EQ(group("RadioGroup2").ItemIndex(), KindNibbleHi);
    EXPECT_EQ(dialog->LockedKind(), KindNibbleHi);
    for (const int other : {KindBits, KindByte, KindWord}) {
        click("RadioGroup2", other);
        EXPECT_EQ(group("RadioGroup2").ItemIndex(), KindNibbleHi) << other;
        EXPECT_TRUE(group("RadioGroup4").isEnabled()) << other;
        EXPECT_EQ(hexEdit().maxlength(), 1) << other;
    }

    dialog->OpenForSync(KindBits, SyncCaption(KindBits));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Synchronmodus Bit´s"));
    click("RadioGroup2", KindNibbleLo);
    EXPECT_EQ(group("RadioGroup2").ItemIndex(), KindBits);
    EXPECT_TRUE(group("RadioGroup1").isEnabled());
    // Back in search mode any kind may be chosen again.
    searchFor(KindWord);
    EXPECT_EQ(group("RadioGroup2").ItemIndex(), KindWord);
}

TEST_F(SearchDialog, SetUpOkStoresTheKindsParametersFromTheFieldAsShown) {
    trigger = TriggerSettings{9, 9, 9, 9, 9, 9, 9};
    dialog->OpenForSync(KindBits, SyncCaption(KindBits));
    click("RadioGroup1", 8); // "Bit 9"
    click("RadioGroup3", EdgeFalling);
    ok();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(trigger.SyncKind, KindBits);
    EXPECT_EQ(trigger.SyncBitMask, 1);
    EXPECT_EQ(trigger.SyncEdge, EdgeFalling);
    EXPECT_EQ(trigger.SyncByte, 9);

    dialog->OpenForSync(KindByte, SyncCaption(KindByte));
    hexEdit().setText(QStringLiteral("a5")); // typed, not yet committed
    ok();
    EXPECT_EQ(trigger.SyncKind, KindByte);
    EXPECT_EQ(trigger.SyncByte, 0xA5);
    EXPECT_EQ(hexEdit().text(), QStringLiteral("A5"));
    EXPECT_EQ(trigger.SyncWord, 9);

    dialog->OpenForSync(KindWord, SyncCaption(KindWord));
    hexEdit().setText(QStringLiteral("ffff"));
    ok();
    EXPECT_EQ(trigger.SyncKind, KindWord);
    EXPECT_EQ(trigger.SyncWord, -1);
    EXPECT_EQ(trigger.SyncNibbleLo, 9);
}

TEST_F(SearchDialog, EdgeSearchScrollsToTheEdgeAndWeiterSuchenFindsTheNextOne) {
    // Line 3 rises at cells 100 and 300, falls at 200.
    for (int i = 100; i < 200; ++i)
        setLevel(i, 3, true);
    for (int i = 300; i < 400; ++i)
        setLevel(i, 3, true);
    searchFor(KindBits);
    click("RadioGroup1", 3);
    ok();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(cellsPos(), 99);
    EXPECT_EQ(host.positions, std::vector<int>{99});

    dialog->ContinueSearch();
    EXPECT_EQ(cellsPos(), 299);
    EXPECT_EQ(host.positions.back(), 299);

    // Nothing further: everything stays as it was.
    dialog->ContinueSearch();
    EXPECT_EQ(cellsPos(), 299);
    EXPECT_EQ(host.positions.size(), 2u);
    EXPECT_EQ(desktop.beeps(), 0);
}

TEST_F(SearchDialog, FallingEdgeOnAHighPlaneLine) {
    for (int i = 0; i < 50; ++i)
        setLevel(i, 12, true);
    searchFor(KindBits);
    click("RadioGroup1", 12);
    click("RadioGroup3", EdgeFalling);
    ok();
    EXPECT_EQ(cellsPos(), 49);
}

TEST_F(SearchDialog, NibbleSearchBeepsOnTheFirstHitOnlyAndLeavesTheScrollBar) {
    trazor->SetCellLow(40, 0x07);
    trazor->SetCellLow(90, 0x37);
    searchFor(KindNibbleLo);
    hexEdit().setText(QStringLiteral("7"));
    ok();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(cellsPos(), 40);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_TRUE(host.positions.empty());

    dialog->ContinueSearch();
    EXPECT_EQ(cellsPos(), 90);
    EXPECT_EQ(desktop.beeps(), 1);
}

TEST_F(SearchDialog, HighNibbleOfTheHighByte) {
    trazor->SetCellHigh(70, 0xA0);
    searchFor(KindNibbleHi);
    click("RadioGroup4", ByteHigh);
    hexEdit().setText(QStringLiteral("a"));
    ok();
    EXPECT_EQ(cellsPos(), 70);
}

TEST_F(SearchDialog, ALongerValueLeftFromAByteNeverMatchesANibble) {
    trazor->SetCellLow(5, 0x1A);
    searchFor(KindByte);
    hexEdit().setText(QStringLiteral("1a"));
    hexEdit().Commit();
    click("RadioGroup2", KindNibbleLo);
    EXPECT_EQ(hexEdit().text(), QStringLiteral("1A"));
    ok();
    EXPECT_EQ(cellsPos(), 0);
    EXPECT_EQ(desktop.beeps(), 0);
}

TEST_F(SearchDialog, FirstNibbleSearchMovesTheProgressBarAndPumpsPerBlock) {
    trazor->Option().SetCellsSize(65536);
    searchFor(KindNibbleLo);
    hexEdit().setText(QStringLiteral("5"));
    ok();
    // Cells 1, 10241, ..., 61441: seven blocks.
    EXPECT_EQ(progress().value(), 7);
    EXPECT_EQ(desktop.pumps, 7);
    EXPECT_EQ(cellsPos(), 0);
}

TEST_F(SearchDialog, ByteAndWordDoNotSearchAndKeepTheDialogOpen) {
    trazor->SetCellLow(3, 0x00);
    for (const int kind : {KindByte, KindWord}) {
        searchFor(kind);
        ok();
        EXPECT_TRUE(dialog->isVisible()) << kind;
        dialog->ContinueSearch();
    }
    EXPECT_EQ(cellsPos(), 0);
    EXPECT_EQ(desktop.beeps(), 0);
}

TEST_F(SearchDialog, SearchAtTheEndOfTheBufferVisitsNothing) {
    searchFor(KindBits);
    trazor->Option().SetCellsPos(8192);
    dialog->ContinueSearch();
    EXPECT_EQ(cellsPos(), 8192);
    EXPECT_TRUE(host.positions.empty());
}

TEST_F(SearchDialog, ASearchRequestedWhileOneRunsIsIgnored) {
    trazor->Option().SetCellsSize(65536);
    searchFor(KindBits);
    click("RadioGroup1", 5);
    dialog->hide();
    int nested = 0;
    desktop.onPump = [&] {
        ++nested;
        dialog->ContinueSearch();
    };
    dialog->ContinueSearch();
    EXPECT_EQ(nested, 7);
    EXPECT_EQ(cellsPos(), 0);
}

} // namespace
