#include "MainWindowFixture.h"
#include "search/TOKBottomDlg1.h"
#include "support/HelpViewers.h"
#include "support/THexEdit.h"

#include <QApplication>
#include <QTest>

class SearchCommandsTest : public MainWindowTest {};

TEST_F(SearchCommandsTest, SearchOpensTheDialogInSearchMode) {
    trigger("Suchen3");
    TOKBottomDlg1& dialog = window->SearchDialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Tag(), 0);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Spurwerk : Suchen in den Daten"));
}

TEST_F(SearchCommandsTest, TriggerKindItemsCheckOnlyThemselvesAndLockTheDialog) {
    window->SetAllMenuEntry(true);
    struct Case {
        const char* item;
        int kind;
    } cases[] = {{"bits1", 0}, {"Nibbel1", 1}, {"Byte1", 3}, {"Word1", 4}};
    for (const auto& c : cases) {
        trigger(c.item);
        for (const auto& other : cases)
            EXPECT_EQ(action(other.item)->isChecked(), other.kind == c.kind) << c.item;
        EXPECT_EQ(window->SearchDialog().Tag(), 1) << c.item;
        EXPECT_EQ(window->SearchDialog().LockedKind(), c.kind) << c.item;
        EXPECT_TRUE(window->SearchDialog().isVisible()) << c.item;
    }
}

TEST_F(SearchCommandsTest, ByteSetUpStoresTheTriggerTheLiveModeReads) {
    window->SetAllMenuEntry(true);
    trigger("Byte1");
    auto* hex = window->SearchDialog().findChild<THexEdit*>(QStringLiteral("HexEdit1"));
    ASSERT_NE(hex, nullptr);
    hex->setText(QStringLiteral("3c")); // as typed; OK commits the field
    window->SearchDialog().OKBtnClick();
    EXPECT_EQ(window->State().Trigger.SyncKind, 3);
    EXPECT_EQ(window->State().Trigger.SyncByte, 0x3C);
    EXPECT_FALSE(window->SearchDialog().isVisible());
}

namespace {
class RecordingHelpWindow final : public HelpWindowHost {
  public:
    void ShowAnchor(const QString& file, const QString& anchor) override {
        files << file;
        anchors << anchor;
    }
    void CloseAll() override { ++closes; }
    QStringList files, anchors;
    int closes = 0;
};
} // namespace

TEST(HelpCommands, HilfeOpensContext11AndClosingTheWindowClosesTheHelp) {
    QTemporaryDir dir;
    const WorkingDirectory cwd(dir.path());
    ASSERT_TRUE(cwd.Entered());
    ScriptedDesktop desktop;
    RecordingHelpWindow viewer;
    StartOptions options;
    options.simulate = true;
    options.programDir = QStringLiteral(SPURWERK_BINARY_DIR);
    options.portSystem = [] { return std::make_unique<SimulatedPortSystem>(); };
    options.helpBackends.window = &viewer;
    {
        TMain1 window(desktop, options);
        window.Action(QStringLiteral("KeineHilfevorhanden1"))->trigger();
        EXPECT_EQ(viewer.anchors, QStringList{QStringLiteral("ctx11")});
        EXPECT_EQ(viewer.files,
                  QStringList{QDir(QStringLiteral(SPURWERK_BINARY_DIR)).filePath("spurwerk.html")});
        window.close();
        EXPECT_EQ(viewer.closes, 1);
        EXPECT_EQ(window.HelpHook(), nullptr);
    }
}

TEST_F(SearchCommandsTest, SearchShortcutsAnswerWhileTheSearchDialogHasTheFocus) {
    window->show();
    trigger("Suchen3");
    TOKBottomDlg1& dialog = window->SearchDialog();
    QApplication::setActiveWindow(&dialog);
    int searches = 0;
    int continued = 0;
    QObject::connect(action("Suchen3"), &QAction::triggered, [&] { ++searches; });
    QObject::connect(action("Weitersuchen1"), &QAction::triggered, [&] { ++continued; });

    QTest::keyClick(&dialog, Qt::Key_F3);
    QTest::keyClick(&dialog, Qt::Key_F, Qt::ControlModifier);

    EXPECT_EQ(continued, 1) << "F3";
    EXPECT_EQ(searches, 1) << "Ctrl+F";
    EXPECT_TRUE(dialog.isVisible());
}
