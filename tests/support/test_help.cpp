#include "ScriptedDesktop.h"
#include "support/HelpContext.h"
#include "support/HelpViewers.h"
#include "support/InstallLayout.h"
#include "support/THelpWindow.h"
#include "support/THookHelpSystem.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>
#include <set>

namespace {

const QString kHelpFile = QStringLiteral(SPURWERK_SOURCE_DIR "/help/spurwerk.html");

// The context numbers the main window's menu items carry, and the start page.
const int kMenuContexts[] = {
    11,  41,  42,  43,  44,  45,  46,  47,  48,  49,  51,  52,  53,  54,  55,  61,  62,  63,
    71,  72,  73,  74,  75,  81,  91,  92,  93,  94,  95,  96,  97,  100, 110, 121, 122, 123, 124, 125,
    131, 132, 133, 134, 135, 141, 142, 143, 144, 150, 161, 162, 163, 164, 361, 362, 363,
};

// The anchors the help window's document knows, so the test sees what the
// window can scroll to, not just what the file text contains.
std::set<QString> anchorsOf(const QString& file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(f.readAll()));
    std::set<QString> anchors;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                anchors.insert(name);
    return anchors;
}

TEST(HelpFile, EveryMenuContextHasItsAnchor) {
    const std::set<QString> anchors = anchorsOf(kHelpFile);
    for (const int context : kMenuContexts)
        EXPECT_TRUE(anchors.count(help::AnchorOf(context))) << "missing anchor ctx" << context;
}

TEST(HelpFile, IsCopiedBesideTheProgram) {
    EXPECT_TRUE(QFile::exists(help::HelpFilePath(QStringLiteral(SPURWERK_BINARY_DIR))));
}

TEST(HelpFile, StartupCheckReportsOnlyAMissingFile) {
    QTemporaryDir dir;
    ScriptedDesktop desktop;
    const QString path = help::CheckHelpFile(desktop, dir.path());
    EXPECT_EQ(path, dir.filePath(QStringLiteral("spurwerk.html")));
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, QStringLiteral("Hilfe-Datei nicht gefunden\r") + path);

    QFile::copy(kHelpFile, path);
    desktop.clear();
    help::CheckHelpFile(desktop, dir.path());
    EXPECT_TRUE(desktop.messages().empty());
}

TEST(HelpFile, AnInstalledProgramFindsItInTheSharedFolder) {
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString share = install::DataDirectory(bin);
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(share));
    ASSERT_TRUE(QFile::copy(kHelpFile, QDir(share).filePath(QStringLiteral("spurwerk.html"))));
    ScriptedDesktop desktop;
    EXPECT_EQ(help::CheckHelpFile(desktop, bin),
              root.filePath(QStringLiteral("usr/share/spurwerk/spurwerk.html")));
    EXPECT_TRUE(desktop.messages().empty());
}

class FakeWindow : public HelpWindowHost {
  public:
    std::vector<std::pair<QString, QString>> shown;
    int closes = 0;
    void ShowAnchor(const QString& file, const QString& anchor) override {
        shown.emplace_back(file, anchor);
    }
    void CloseAll() override { ++closes; }
};

class FakeLauncher : public ProcessLauncher {
  public:
    std::set<QString> installed;
    bool startSucceeds = true;
    std::vector<std::pair<QString, QStringList>> started;
    QString FindProgram(const QString& name) const override {
        return installed.count(name) ? QStringLiteral("/usr/bin/") + name : QString();
    }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        started.emplace_back(program, arguments);
        return startSucceeds;
    }
};

class HelpHook : public ::testing::Test {
  protected:
    std::unique_ptr<THookHelpSystem> hook(int hostType, const QString& file = kHelpFile) {
        return std::make_unique<THookHelpSystem>(desktop, file, QString(), hostType,
                                                 HelpBackends{&window, &launcher});
    }
    QString url(int context) const {
        QUrl u = QUrl::fromLocalFile(kHelpFile);
        u.setFragment(help::AnchorOf(context));
        return u.toString();
    }

    ScriptedDesktop desktop;
    FakeWindow window;
    FakeLauncher launcher;
};

TEST_F(HelpHook, HilfeOpensTheStartPageInTheOwnWindow) {
    auto h = hook(0);
    KeineHilfevorhanden(*h);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0], std::make_pair(kHelpFile, QStringLiteral("ctx11")));
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(HelpHook, HilfeOpensTheStartPageInAnExternalViewer) {
    launcher.installed = {QStringLiteral("xdg-open"), QStringLiteral("firefox")};
    auto h = hook(1);
    KeineHilfevorhanden(*h);
    h->SetHostType(2);
    h->SetBrowser(QStringLiteral("firefox"));
    h->HHHelpContext(62);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0].first, QStringLiteral("/usr/bin/xdg-open"));
    EXPECT_EQ(launcher.started[0].second, QStringList{url(11)});
    EXPECT_EQ(launcher.started[1].first, QStringLiteral("/usr/bin/firefox"));
    EXPECT_EQ(launcher.started[1].second, QStringList{url(62)});
    EXPECT_TRUE(window.shown.empty());
}

struct FailureCase {
    const char* what;
    int hostType;
    bool viewerInstalled;
    bool startSucceeds;
    bool fileExists;
    int result;
    QString message;
};

TEST_F(HelpHook, FailedRequestsWarnWithTheirTexts) {
    const FailureCase cases[] = {
        {"no xdg-open", 1, false, true, true, THookHelpSystem::ViewerMissing,
         QStringLiteral("System file KeyHH.EXE was not found in the Windows folder.")},
        {"no browser", 2, false, true, true, THookHelpSystem::BrowserMissing,
         QStringLiteral("System file HH.EXE was not found in the Windows folder.")},
        {"viewer does not start", 1, true, false, true, THookHelpSystem::StartFailed,
         QStringLiteral("Unknown error returned by HHHelpContext")},
        {"unknown host type", 7, true, true, true, THookHelpSystem::StartFailed,
         QStringLiteral("Unknown error returned by HHHelpContext")},
        {"own window, file missing", 0, true, true, false, THookHelpSystem::FileMissing,
         QStringLiteral("Hilfe-Datei nicht gefunden\r/nowhere/spurwerk.html")},
    };
    for (const auto& c : cases) {
        desktop.clear();
        launcher.installed.clear();
        if (c.viewerInstalled)
            launcher.installed = {QStringLiteral("xdg-open"), QStringLiteral("x-www-browser")};
        launcher.startSucceeds = c.startSucceeds;
        auto h =
            hook(c.hostType, c.fileExists ? kHelpFile : QStringLiteral("/nowhere/spurwerk.html"));
        EXPECT_EQ(h->HHHelpContext(42), c.result) << c.what;
        ASSERT_EQ(desktop.messages().size(), 1u) << c.what;
        const auto m = desktop.messages()[0];
        EXPECT_EQ(m.caption, QStringLiteral("Warnung")) << c.what;
        EXPECT_EQ(m.text, c.message) << c.what;
        EXPECT_EQ(m.icon, Desktop::Icon::Warning) << c.what;
        EXPECT_EQ(m.buttons, Desktop::Ok) << c.what;
    }
    EXPECT_TRUE(window.shown.empty());
}

TEST_F(HelpHook, HelpRequestCommands) {
    auto h = hook(0);
    EXPECT_TRUE(h->HelpRequest(THookHelpSystem::HelpContextCmd, 43));
    EXPECT_TRUE(h->HelpRequest(THookHelpSystem::HelpContextPopup, 44));
    ASSERT_EQ(window.shown.size(), 2u);
    EXPECT_EQ(window.shown[1].second, QStringLiteral("ctx44"));

    std::vector<int> viaCallback;
    h->OnHelpContext = [&](int c) { viaCallback.push_back(c); };
    EXPECT_TRUE(h->HelpRequest(THookHelpSystem::HelpContextCmd, 45));
    EXPECT_EQ(viaCallback, std::vector<int>{45});
    EXPECT_EQ(window.shown.size(), 2u);

    EXPECT_TRUE(h->HelpRequest(THookHelpSystem::HelpSetPopupPos, (20 << 16) | 10));
    EXPECT_EQ(h->PopupPos(), QPoint(10, 20));
    EXPECT_FALSE(h->HelpRequest(3, 0));
}

TEST_F(HelpHook, F1OnAWidgetOpensItsContextAndEndingTheHookReleasesTheKey) {
    QWidget parent;
    QWidget child(&parent);
    help::SetHelpContext(parent, 161);
    auto h = hook(0);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&child, &f1);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].second, QStringLiteral("ctx161"));

    QWidget plain;
    QApplication::sendEvent(&plain, &f1);
    EXPECT_EQ(window.shown.size(), 1u);

    h.reset();
    QApplication::sendEvent(&child, &f1);
    EXPECT_EQ(window.shown.size(), 1u);
}

TEST_F(HelpHook, F1InAnOpenMenuOpensTheHighlightedItemsContext) {
    QMenu menu;
    help::SetHelpContext(*menu.menuAction(), 41);
    QAction* open = menu.addAction(QStringLiteral("Öffnen"));
    help::SetHelpContext(*open, 43);
    menu.addAction(QStringLiteral("ohne Hilfe"));
    auto h = hook(0);
    menu.popup(QPoint(0, 0));
    ASSERT_EQ(QApplication::activePopupWidget(), &menu);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&menu, &f1);
    menu.setActiveAction(open);
    QApplication::sendEvent(&menu, &f1);
    menu.close();
    ASSERT_EQ(window.shown.size(), 2u);
    EXPECT_EQ(window.shown[0].second, QStringLiteral("ctx41"));
    EXPECT_EQ(window.shown[1].second, QStringLiteral("ctx43"));
}

TEST_F(HelpHook, CloseAllClosesTheHelpWindows) {
    auto h = hook(0);
    h->HHCloseAll();
    EXPECT_EQ(window.closes, 1);
}

TEST(HelpWindow, ShowsTheFileAtTheAnchorAndClosesAtTheEnd) {
    ScriptedDesktop desktop;
    THelpWindowHost host;
    THookHelpSystem hook(desktop, kHelpFile, QString(), 0, {&host, nullptr});
    hook.HHHelpContext(62);
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_TRUE(host.Window()->isVisible());
    EXPECT_EQ(host.Window()->Browser().source().fragment(), QStringLiteral("ctx62"));
    EXPECT_TRUE(host.Window()->Browser().toPlainText().contains(QStringLiteral("Weiter suchen")));
    hook.HHCloseAll();
    EXPECT_FALSE(host.Window()->isVisible());
}

TEST(HelpWindow, StartPageOpensAtItsTopOtherTopicsAtTheirHeading) {
    THelpWindowHost host;
    const auto scrolled = [&host] { return host.Window()->Browser().verticalScrollBar()->value(); };
    // First the start page in a window not yet shown, then a topic, then the start page again.
    host.ShowAnchor(kHelpFile, help::AnchorOf(help::kMainContext));
    EXPECT_EQ(scrolled(), 0);
    host.ShowAnchor(kHelpFile, QStringLiteral("ctx62"));
    EXPECT_GT(scrolled(), 0);
    host.ShowAnchor(kHelpFile, help::AnchorOf(help::kMainContext));
    EXPECT_EQ(scrolled(), 0);
    host.CloseAll();
}

} // namespace
