#include "ScriptedDesktop.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"
#include "display/TTrazor.h"
#include "persistence/AppSettings.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"
#include "persistence/SmartTools.h"
#include "platform/Conversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The settings file as the format describes it, built here byte by byte
// without the store's writer: every length and count below is under 256, so
// each compact integer is 01 and one byte (00 for zero).
QByteArray small(int n) {
    return n == 0 ? QByteArray(1, '\0') : QByteArray("\x01") + char(n);
}

QByteArray stringItem(const QByteArray& name, const QByteArray& value) {
    return small(int(name.size())) + name + '\x01' + small(int(value.size()) + 1) + value + '\0';
}

QByteArray defaultSettingsFile() {
    // Sorted as the store sorts names: case-insensitive, "BitText10" before "BitText2".
    std::vector<std::pair<QByteArray, QByteArray>> values;
    for (const int k : {1, 10, 11, 12, 13, 14, 15, 16, 2, 3, 4, 5, 6, 7, 8, 9})
        values.push_back({"BitText" + QByteArray::number(k),
                          "D" + QByteArray::number(k - 1).rightJustified(2, '0')});
    values.emplace_back("Digits", "8");
    values.emplace_back("Fontfarbe", "0");
    values.emplace_back("Hintergrundfarbe", "16777215");
    for (const int k : {1, 10, 11, 12, 13, 14, 15, 16, 2, 3, 4, 5, 6, 7, 8, 9})
        values.push_back({"Liniefarbe" + QByteArray::number(k), "0"});
    values.emplace_back("Markerfarbe", "0");
    values.emplace_back("TimeScale", "10");
    values.emplace_back("TimeStep", "10");
    values.emplace_back("TimeUnit", "\xB5s");
    values.emplace_back("Zeitachsenfarbe", "0");

    QByteArray file = QByteArray("IniRegistry") + QByteArray::fromHex("001011000000");
    file += small(1) + small(8) + "Spurwerk" + '\0' + small(int(values.size()));
    for (const auto& [name, value] : values)
        file += stringItem(name, value);
    return file;
}

class AppSettings : public ::testing::Test {
  protected:
    void SetUp() override { trazor = makeTrazor(); }

    // A display component with the values the main window's form gives it.
    std::unique_ptr<QWidget> makeOwner() { return std::make_unique<QWidget>(); }
    TTrazor* makeTrazor() {
        owners.push_back(makeOwner());
        auto* t = new TTrazor(owners.back().get(), desktop); // owned by its owner
        t->Option().SetTimeScale(10);
        return t;
    }
    QString base() const { return dir.filePath("Spurwerk"); }
    QByteArray read(const QString& name) const { return ReadTestFile(dir.filePath(name)); }

    ScriptedDesktop desktop;
    std::vector<std::unique_ptr<QWidget>> owners;
    TTrazor* trazor = nullptr;
    QTemporaryDir dir;
};

} // namespace

TEST_F(AppSettings, DefaultOptionsGiveTheFileTheFormatDescribes) {
    TSmartTools tools(desktop);
    SaveSettings(tools.INIRegistry(), *trazor, base());
    EXPECT_EQ(read("Spurwerk.ini").toHex(' '), defaultSettingsFile().toHex(' '));
}

TEST_F(AppSettings, StoredOptionsComeBackAtTheNextStart) {
    TTrazorproperty& o = trazor->Option();
    o.SetDigits(12);
    o.SetTimeScale(100);
    o.SetTimeStep(37);
    o.SetTimeUnit("ms");
    o.SetColorBackground(0x123456);
    o.SetColorMarker(colors::Red);
    o.SetColorScale(colors::SystemMenu);
    o.SetColorFont(colors::Green);
    o.DigiColor().Set(15, 0xABCDEF);
    o.DigiName().Set(0, QString::fromUtf8("Größe"));
    o.DigiName().Set(3, QString());
    TSmartTools tools(desktop);
    SaveSettings(tools.INIRegistry(), *trazor, base());

    TSmartTools next(desktop);
    TTrazor* fresh = makeTrazor();
    ASSERT_TRUE(LoadSettingsAtStartup(next.INIRegistry(), *fresh, base()));
    const TTrazorproperty& n = fresh->Option();
    EXPECT_EQ(n.Digits(), 12);
    EXPECT_EQ(n.TimeScale(), 100);
    EXPECT_EQ(n.TimeStep(), 37);
    EXPECT_EQ(n.TimeUnit(), "ms");
    EXPECT_EQ(n.ColorBackground(), 0x123456u);
    EXPECT_EQ(n.ColorMarker(), colors::Red);
    EXPECT_EQ(n.ColorScale(), colors::SystemMenu);
    EXPECT_EQ(n.ColorFont(), colors::Green);
    EXPECT_EQ(n.DigiColor().Get(15), 0xABCDEFu);
    EXPECT_EQ(n.DigiName().Get(0), QString::fromUtf8("Größe"));
    EXPECT_EQ(n.DigiName().Get(3), QString());
    EXPECT_EQ(n.DigiName().Get(4), "D04");
    EXPECT_EQ(next.INIRegistry().CurrentKey(), &next.INIRegistry().RootKey());

    // System colours are negative numbers in the file; an empty name is one zero byte.
    next.INIRegistry().OpenKey("Spurwerk", false);
    EXPECT_EQ(next.INIRegistry().ReadString("Zeitachsenfarbe"), "-2147483644");
    const TIniRegistryList& key = *next.INIRegistry().CurrentKey();
    EXPECT_EQ(key.ValueSize(key.IndexOf("BitText4")), 1);
}

TEST_F(AppSettings, FirstRunReadsAndWritesNothingUntilSaved) {
    TSmartTools tools(desktop);
    EXPECT_FALSE(LoadSettingsAtStartup(tools.INIRegistry(), *trazor, base()));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    SaveSettings(tools.INIRegistry(), *trazor, base());
    TIniRegistry check;
    ASSERT_TRUE(check.LoadFromFile(base()));
    ASSERT_TRUE(check.OpenKey("Spurwerk", false));
    EXPECT_EQ(check.CurrentKey()->Count(), 40);
}

TEST_F(AppSettings, FileWithoutTheKeyIsCompletedAndNotApplied) {
    TIniRegistry other;
    other.OpenKey("Fremd", true);
    other.WriteString("x", "1");
    other.SaveToFile(base());
    const QByteArray before = read("Spurwerk.ini");

    trazor->Option().SetDigits(5);
    TSmartTools tools(desktop);
    EXPECT_FALSE(LoadSettingsAtStartup(tools.INIRegistry(), *trazor, base()));
    EXPECT_EQ(read("Spurwerk.~ni"), before);
    TIniRegistry check;
    ASSERT_TRUE(check.LoadFromFile(base()));
    ASSERT_TRUE(check.OpenKey("\\Fremd", false));
    ASSERT_TRUE(check.OpenKey("\\Spurwerk", false));
    EXPECT_EQ(check.ReadString("Digits"), "5");
    EXPECT_EQ(tools.INIRegistry().CurrentKey(), &tools.INIRegistry().RootKey());
}

TEST_F(AppSettings, BadStoredValuesStopApplyingWithTheStoresErrors) {
    struct Case {
        const char* what;
        const char* breakKey; // removed, or overwritten with `value`
        const char* value;    // nullptr removes the key
        const char* message;
    } cases[] = {
        {"missing key", "TimeStep", nullptr, "TimeStep nicht vorhanden"},
        {"not a number", "TimeStep", "abc", "'abc' ist kein gültiger Integerwert"},
    };
    for (const Case& c : cases) {
        TIniRegistry store;
        StoreSettings(store, *trazor);
        store.OpenKey("Spurwerk", false);
        store.WriteString("Digits", "3");
        store.WriteString("TimeScale", "1000");
        if (c.value) {
            store.WriteString(c.breakKey, c.value);
        } else {
            // Rebuild the key without it.
            TIniRegistry rebuilt;
            rebuilt.OpenKey("Spurwerk", true);
            const TIniRegistryList& key = *store.CurrentKey();
            for (int i = 0; i < key.Count(); ++i)
                if (key.Item(i).Name != c.breakKey)
                    rebuilt.WriteString(key.Item(i).Name, store.ReadString(key.Item(i).Name));
            rebuilt.CloseKey();
            store.LoadFromBytes(rebuilt.SaveToBytes());
        }
        store.CloseKey();

        TTrazor* target = makeTrazor();
        try {
            ApplySettings(store, *target);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
        // What was read before the failing key is applied, the rest is not.
        EXPECT_EQ(target->Option().Digits(), 3) << c.what;
        EXPECT_EQ(target->Option().TimeScale(), 1000) << c.what;
        EXPECT_EQ(target->Option().TimeStep(), 10) << c.what;
        EXPECT_EQ(store.CurrentKey(), &store.RootKey()) << c.what;
    }
}

TEST_F(AppSettings, TheFileLivesInTheCurrentDirectory) {
    QTemporaryDir elsewhere;
    {
        const WorkingDirectory cwd(dir.path());
        ASSERT_TRUE(cwd.Entered());
        TSmartTools tools(desktop);
        SaveSettings(tools.INIRegistry(), *trazor);
        EXPECT_TRUE(QFile::exists(dir.filePath("Spurwerk.ini")));
    }
    {
        const WorkingDirectory cwd(elsewhere.path());
        ASSERT_TRUE(cwd.Entered());
        TSmartTools other(desktop);
        EXPECT_FALSE(LoadSettingsAtStartup(other.INIRegistry(), *makeTrazor()));
    }
    EXPECT_TRUE(QDir(elsewhere.path()).entryList(QDir::Files).isEmpty());
}
