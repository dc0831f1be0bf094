#include "ScriptedDesktop.h"
#include "platform/Guard.h"
#include "platform/GuardedApplication.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

GuardedApplication& application() {
    return *dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
}

// Gives the application an error desktop for one test.
struct ErrorDesktop {
    explicit ErrorDesktop(Desktop& d) { application().SetErrorDesktop(&d); }
    ~ErrorDesktop() { application().SetErrorDesktop(nullptr); }
};

} // namespace

TEST(Guard, WhateverTheLogicThrowsIsShownAndTheCallerGoesOn) {
    struct Case {
        const char* what;
        std::function<void()> logic;
        QString message;
    };
    const Case cases[] = {
        {"std::exception", [] { throw std::runtime_error("Datei fehlt"); }, "Datei fehlt"},
        {"an int", [] { throw 42; }, "Unbekannter Fehler"},
        {"a text", [] { throw "Text"; }, "Unbekannter Fehler"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDesktop desktop;
        guard::Run(&desktop, c.logic);
        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Spurwerk");
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
    }
    ScriptedDesktop quiet;
    bool ran = false;
    guard::Run(&quiet, [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(quiet.messages().empty());
}

TEST(Guard, WithoutADesktopTheApplicationsErrorDesktopShowsIt) {
    ScriptedDesktop desktop;
    const ErrorDesktop scope(desktop);
    guard::Run(nullptr, [] { throw std::logic_error("Fehler im Fenster"); });
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "Fehler im Fenster");
}

TEST(Guard, AnErrorWhileAnErrorBoxIsOpenOpensNoSecondBox) {
    // A paint event behind an error box that throws again would otherwise
    // stack box upon box.
    ScriptedDesktop desktop;
    int inner = 0;
    desktop.onMessage = [&](const Desktop::MessageBoxRequest&) {
        ++inner;
        guard::Run(&desktop, [] { throw std::runtime_error("noch einmal"); });
    };
    guard::Run(&desktop, [] { throw std::runtime_error("zuerst"); });
    EXPECT_EQ(inner, 1);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "zuerst");
}

TEST(Guard, AGuardedSlotKeepsTheEventLoopRunning) {
    ScriptedDesktop desktop;
    QTimer timer;
    timer.setSingleShot(true);
    int after = 0;
    QObject::connect(&timer, &QTimer::timeout,
                     guard::Slot(&desktop, [] { throw std::runtime_error("im Timer"); }));
    timer.start(0);
    QTimer::singleShot(5, [&] {
        ++after;
        QCoreApplication::exit(0);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(after, 1);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "im Timer");
}
