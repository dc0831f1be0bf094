#pragma once

#include "FakeClock.h"
#include "RecordingPortSystem.h"
#include "ScriptedDesktop.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"
#include "app/RecordingCommands.h"
#include "app/TMain1.h"
#include "display/TTrazor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// A main window on the simulated hardware with a scripted desktop, started in
// an empty working directory of its own (the settings file lives there), with
// a configuration folder of its own inside it (XDG_CONFIG_HOME, where the
// program's configuration file lives).
// Recordings are paced against a fake clock, so a "10 Sek." recording takes
// no ten seconds; a fixture that sets useOwnClock keeps the program's clock.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        cwd_.emplace(dir_.path());
        ASSERT_TRUE(cwd_->Entered());
        if (!savedConfigHome_) savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
        StartOptions options;
        options.simulate = simulate;
        options.boardLibrary = boardLibrary;
        options.programDir = QStringLiteral(SPURWERK_BINARY_DIR);
        options.portSystem = [this] {
            auto system = std::make_unique<RecordingPortSystem>();
            port = system.get();
            return system;
        };
        if (!useOwnClock) options.sampleClock = &clock;
        options.openFile = openFileAtStart;
        window = std::make_unique<TMain1>(desktop, options);
    }
    void TearDown() override {
        window.reset();
        cwd_.reset();
        if (savedConfigHome_) qputenv("XDG_CONFIG_HOME", *savedConfigHome_);
    }

    QAction* action(const char* name) const {
        QAction* a = window->Action(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    void trigger(const char* name) { action(name)->trigger(); }
    // The record item, until the recording has ended: a device's recording
    // runs on from the event loop after the item returns.
    void record() {
        trigger("MenuRecord_Signal");
        waitForRecording();
    }
    void waitForRecording() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->Recording().Running(); }, 60'000))
            << "the recording did not end";
    }
    QString panel(int i) const { return window->Ui().Panels[size_t(i)]->text(); }
    QString lastMessage() const {
        const auto m = desktop.messages();
        return m.empty() ? QString() : m.back().text;
    }
    TTrazor& trazor() const { return window->Trazor1(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QByteArray readFile(const QString& name) const { return ReadTestFile(path(name)); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        WriteTestFile(path(name), bytes);
    }

    ScriptedDesktop desktop;
    FakeClock clock{1'000};
    bool useOwnClock = false;
    QString openFileAtStart; // as named on the command line
    // A fixture that clears simulate starts the program's real board library
    // (the parallel port stays the recording double).
    bool simulate = true;
    QString boardLibrary;
    RecordingPortSystem* port = nullptr; // owned by the window's PortIO1
    std::unique_ptr<TMain1> window;

  private:
    QTemporaryDir dir_;
    std::optional<WorkingDirectory> cwd_;
    std::optional<QByteArray> savedConfigHome_;
};
