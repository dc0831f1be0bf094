#include "MainWindowFixture.h"
#include "persistence/IniRegistry.h"
#include "persistence/IniRegistryList.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <functional>
#include <map>
#include <sys/stat.h>

namespace {
const QString kCaption = QStringLiteral("Spurwerk Version 1.0.40.36 [Simulation]");
} // namespace

// The settings file Spurwerk.ini lives in the current directory, which the
// fixture makes an empty one per test; a restart starts a new window there.
class SettingsCommandsTest : public MainWindowTest {
  protected:
    void restart() {
        window.reset();
        desktop.clear();
        StartOptions options;
        options.simulate = true;
        options.programDir = QStringLiteral(SPURWERK_BINARY_DIR);
        window = std::make_unique<TMain1>(desktop, options);
    }
    QStringList files() const { return QDir::current().entryList(QDir::Files, QDir::Name); }

    // Every value of the key "Spurwerk" in Spurwerk.ini, by name.
    std::map<QString, QString> storedValues() const {
        std::map<QString, QString> values;
        TIniRegistry store;
        if (!store.LoadFromFile(path("Spurwerk")) ||
            !store.OpenKey(QStringLiteral("Spurwerk"), false))
            return values;
        const TIniRegistryList& key = *store.CurrentKey();
        for (int i = 0; i < key.Count(); ++i)
            values[key.Item(i).Name] = store.ReadString(key.Item(i).Name);
        return values;
    }
    // A settings file holding exactly these values under "Spurwerk", with no backup beside it.
    void writeSettings(const std::map<QString, QString>& values) const {
        TIniRegistry store;
        store.OpenKey(QStringLiteral("Spurwerk"), true);
        for (const auto& [name, value] : values)
            store.WriteString(name, value);
        store.CloseKey();
        store.SaveToFile(path("Spurwerk"));
        QFile::remove(path("Spurwerk.~ni"));
    }
    int checkedLineCount() const {
        int checked = 0;
        for (int n = 1; n <= 16; ++n)
            if (action(QStringLiteral("Bit%1").arg(n).toLatin1().constData())->isChecked()) {
                EXPECT_EQ(checked, 0) << "two line counts checked";
                checked = n;
            }
        return checked;
    }
    void expectStartedNormally() {
        EXPECT_EQ(window->windowTitle(), kCaption);
        EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Inaktiv"));
        EXPECT_EQ(trazor().Option().CellsSize(), 0x100000);
    }
};

TEST_F(SettingsCommandsTest, FirstStartWritesNothingAndSavingStoresAll40Options) {
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(desktop.messages().empty());

    trigger("Einstellungspeichern1");

    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Optionsdaten werden jetzt gespeichert"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("Spurwerk.ini")});
    std::map<QString, QString> expected = {
        {"Digits", "8"},
        {"TimeScale", "10"},
        {"TimeStep", "10"},
        {"TimeUnit", "µs"},
        {"Hintergrundfarbe", "16777215"},
        {"Markerfarbe", "0"},
        {"Zeitachsenfarbe", "0"},
        {"Fontfarbe", "0"},
    };
    for (int k = 1; k <= 16; ++k) {
        expected[QStringLiteral("Liniefarbe%1").arg(k)] = QStringLiteral("0");
        expected[QStringLiteral("BitText%1").arg(k)] =
            QStringLiteral("D%1").arg(k - 1, 2, 10, QLatin1Char('0'));
    }
    EXPECT_EQ(storedValues(), expected);
}

TEST_F(SettingsCommandsTest, SavingTwiceKeepsTheFirstFileAsBackup) {
    trigger("Einstellungspeichern1");
    const QByteArray first = readFile("Spurwerk.ini");
    trigger("Bit5");

    trigger("Einstellungspeichern1");

    EXPECT_EQ(readFile("Spurwerk.~ni"), first);
    EXPECT_EQ(storedValues()[QStringLiteral("Digits")], QStringLiteral("5"));
}

TEST_F(SettingsCommandsTest, NextStartAppliesTheStoredOptionsAndChecksTheLineCount) {
    trigger("Bit12");
    TTrazorproperty& o = trazor().Option();
    o.SetTimeStep(37);
    o.SetTimeScale(100);
    o.SetTimeUnit(QStringLiteral("ms"));
    o.SetColorBackground(0x123456);
    o.SetColorMarker(colors::Red);
    o.SetColorScale(colors::SystemMenu);
    o.SetColorFont(colors::Green);
    o.DigiColor().Set(15, 0xABCDEF);
    o.DigiName().Set(0, QStringLiteral("Größe"));
    trigger("Einstellungspeichern1");

    restart();

    const TTrazorproperty& n = trazor().Option();
    EXPECT_EQ(n.Digits(), 12);
    EXPECT_EQ(checkedLineCount(), 12);
    EXPECT_EQ(n.TimeStep(), 37);
    EXPECT_EQ(window->Ui().ScaleTimeComboBox1->currentText(), QStringLiteral("35%"));
    EXPECT_EQ(n.TimeScale(), 100);
    EXPECT_EQ(n.TimeUnit(), QStringLiteral("ms"));
    EXPECT_EQ(n.ColorBackground(), 0x123456u);
    EXPECT_EQ(n.ColorMarker(), colors::Red);
    EXPECT_EQ(n.ColorScale(), colors::SystemMenu);
    EXPECT_EQ(n.ColorFont(), colors::Green);
    EXPECT_EQ(n.DigiColor().Get(15), 0xABCDEFu);
    EXPECT_EQ(n.DigiName().Get(0), QStringLiteral("Größe"));
    EXPECT_EQ(n.DigiName().Get(1), QStringLiteral("D01"));
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(files(), QStringList{QStringLiteral("Spurwerk.ini")}) << "loading writes nothing";
    expectStartedNormally();
}

TEST_F(SettingsCommandsTest, FileWithoutTheKeyIsCompletedAtStartAndTheOldOneKeptAsBackup) {
    {
        TIniRegistry other;
        other.OpenKey(QStringLiteral("Fremd"), true);
        other.WriteString(QStringLiteral("x"), QStringLiteral("1"));
        other.CloseKey();
        other.SaveToFile(path("Spurwerk"));
    }
    const QByteArray before = readFile("Spurwerk.ini");

    restart();

    EXPECT_EQ(readFile("Spurwerk.~ni"), before);
    const auto values = storedValues();
    EXPECT_EQ(values.size(), 40u);
    EXPECT_EQ(values.at(QStringLiteral("Digits")), QStringLiteral("8"));
    TIniRegistry check;
    ASSERT_TRUE(check.LoadFromFile(path("Spurwerk")));
    EXPECT_TRUE(check.OpenKey(QStringLiteral("\\Fremd"), false)) << "other keys stay";
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(checkedLineCount(), 8);
    expectStartedNormally();
}

TEST_F(SettingsCommandsTest, BadSettingsShowTheErrorAndTheWindowStillStarts) {
    trigger("Bit12");
    trigger("Einstellungspeichern1");
    const std::map<QString, QString> good = storedValues();
    const QByteArray goodFile = readFile("Spurwerk.ini");

    struct Case {
        const char* what;
        std::function<void()> prepare;
        QString message; // the start of the message
        int digits;      // what was applied before the error
    } cases[] = {
        {"missing key",
         [&] {
             auto values = good;
             values.erase(QStringLiteral("TimeStep"));
             writeSettings(values);
         },
         QStringLiteral("TimeStep nicht vorhanden"), 12},
        {"malformed number",
         [&] {
             auto values = good;
             values[QStringLiteral("TimeStep")] = QStringLiteral("zehn");
             writeSettings(values);
         },
         QStringLiteral("'zehn' ist kein gültiger Integerwert"), 12},
        {"file cut short",
         [&] {
             QFile::remove(path("Spurwerk.~ni"));
             writeFile(QStringLiteral("Spurwerk.ini"), goodFile.left(60));
         },
         QStringLiteral("Die Einstellungsdatei ") + path("Spurwerk.ini") +
             QStringLiteral(" ist beschädigt"),
         8},
        // A pipe used to keep the window from ever appearing, a device to
        // read until the memory ran out.
        {"a pipe",
         [&] {
             QFile::remove(path("Spurwerk.ini"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(path("Spurwerk.ini")).constData(), 0600), 0);
         },
         QStringLiteral("Die Einstellungsdatei ") + path("Spurwerk.ini") +
             QStringLiteral(" ist keine gewöhnliche Datei"),
         8},
        {"a device",
         [&] {
             QFile::remove(path("Spurwerk.ini"));
             ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("Spurwerk.ini")));
         },
         QStringLiteral("Die Einstellungsdatei ") + path("Spurwerk.ini") +
             QStringLiteral(" ist keine gewöhnliche Datei"),
         8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();

        restart();

        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Spurwerk"));
        EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
        EXPECT_TRUE(boxes[0].text.startsWith(c.message)) << boxes[0].text.toStdString();
        EXPECT_EQ(trazor().Option().Digits(), c.digits);
        EXPECT_EQ(checkedLineCount(), c.digits) << "the check mark shows the line count in use";
        EXPECT_EQ(trazor().Option().TimeStep(), 10);
        expectStartedNormally();
    }
}

TEST_F(SettingsCommandsTest, TheSmallestIntegerInTheSettingsIsApplied) {
    trigger("Einstellungspeichern1");
    auto values = storedValues();
    values[QStringLiteral("Hintergrundfarbe")] = QStringLiteral("-$80000000");
    values[QStringLiteral("Markerfarbe")] = QStringLiteral("-0x80000000");
    writeSettings(values);
    restart();
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(trazor().Option().ColorBackground(), 0x80000000u);
    EXPECT_EQ(trazor().Option().ColorMarker(), 0x80000000u);
    expectStartedNormally();
}

TEST_F(SettingsCommandsTest, DamagedFileIsSetAsideAndTheBackupTakesItsPlace) {
    trigger("Bit12");
    trigger("Einstellungspeichern1");
    const QByteArray good = readFile("Spurwerk.ini");
    const QByteArray damaged("KeinRegistry-Abbild");

    struct Case {
        const char* what;
        bool backup;
        int digits;
        QStringList filesAfter;
    } cases[] = {
        {"no backup", false, 8, {QStringLiteral("SpurwerkDefekt.~ni")}},
        {"with backup",
         true,
         12,
         {QStringLiteral("Spurwerk.ini"), QStringLiteral("SpurwerkDefekt.~ni")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& f : files())
            QFile::remove(path(f));
        writeFile(QStringLiteral("Spurwerk.ini"), damaged);
        if (c.backup) writeFile(QStringLiteral("Spurwerk.~ni"), good);

        restart();

        EXPECT_EQ(files(), c.filesAfter);
        EXPECT_EQ(readFile("SpurwerkDefekt.~ni"), damaged);
        if (c.backup) {
            EXPECT_EQ(readFile("Spurwerk.ini"), good);
        }
        EXPECT_EQ(trazor().Option().Digits(), c.digits);
        EXPECT_EQ(checkedLineCount(), c.digits);
        EXPECT_TRUE(desktop.messages().empty()) << "the user is not told";
        expectStartedNormally();
    }
}
