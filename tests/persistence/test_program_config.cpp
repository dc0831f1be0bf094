// The program's own configuration file: values kept by group and key, the
// file written when a value changes and only then, any unusable file read as
// empty with a reason and kept aside, and the keys of earlier settings files
// moved over once.
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "persistence/ConfigMigration.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace {

class ProgramConfigTest : public ::testing::Test {
  protected:
    QString file() const { return dir_.filePath(QStringLiteral("spurwerk.conf")); }
    QString aside() const { return file() + QStringLiteral(".defekt"); }

    QTemporaryDir dir_;
};

TEST_F(ProgramConfigTest, ValuesReadBackFromTheFile) {
    const QString awkward = QStringLiteral("a=b [c] \\n\\ zwei\nZeilen\r und µ, ä");
    {
        ProgramConfig config(file());
        EXPECT_TRUE(config.LoadError().isEmpty()) << "no file is an empty configuration";
        config.SetValue(QStringLiteral("SigrokGeraet"), QStringLiteral("Geraet"),
                        QStringLiteral("demo"));
        config.SetGroup(QStringLiteral("Dekodierung"),
                        {{QStringLiteral("Anzahl"), QStringLiteral("1")},
                         {QStringLiteral("Stapel1"), awkward}});
        config.SetValue(QStringLiteral("SigrokGeraet"), QStringLiteral("Leer"), QString());
    }
    const ProgramConfig read(file());
    EXPECT_TRUE(read.LoadError().isEmpty()) << read.LoadError().toStdString();
    EXPECT_EQ(read.Value(QStringLiteral("Dekodierung"), QStringLiteral("Stapel1")), awkward);
    EXPECT_EQ(read.Value(QStringLiteral("SigrokGeraet"), QStringLiteral("Leer")), QString());
    EXPECT_EQ(read.Value(QStringLiteral("SigrokGeraet"), QStringLiteral("Fehlt")), std::nullopt);
    EXPECT_EQ(read.Value(QStringLiteral("Fehlt"), QStringLiteral("Geraet")), std::nullopt);
    const ProgramConfig::Entries expected{{QStringLiteral("Geraet"), QStringLiteral("demo")},
                                          {QStringLiteral("Leer"), QString()}};
    EXPECT_EQ(read.Group(QStringLiteral("SigrokGeraet")), expected) << "in the order written";
}

TEST_F(ProgramConfigTest, TheFileIsWrittenOnlyWhenAValueChanges) {
    ProgramConfig config(file());
    config.SetGroup(QStringLiteral("G"), {{QStringLiteral("a"), QStringLiteral("1")}});
    ASSERT_TRUE(QFile::exists(file()));
    QFile::remove(file());
    config.SetValue(QStringLiteral("G"), QStringLiteral("a"), QStringLiteral("1"));
    config.SetGroup(QStringLiteral("G"), {{QStringLiteral("a"), QStringLiteral("1")}});
    config.SetGroup(QStringLiteral("Nie"), {});
    EXPECT_FALSE(QFile::exists(file())) << "nothing changed, nothing written";

    config.SetGroup(QStringLiteral("G"), {});
    ASSERT_TRUE(QFile::exists(file()));
    EXPECT_TRUE(ProgramConfig(file()).Group(QStringLiteral("G")).empty()) << "the group is gone";
}

TEST_F(ProgramConfigTest, TheFolderIsMadeAndTheDefaultIsTheUsersConfigurationFolder) {
    const QString nested = dir_.filePath(QStringLiteral("a/b/spurwerk.conf"));
    ProgramConfig(nested).SetValue(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_TRUE(QFile::exists(nested));

    EXPECT_EQ(ProgramConfig::DefaultPath(),
              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                  QStringLiteral("/spurwerk.conf"));
    EXPECT_TRUE(ProgramConfig::DefaultPath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")))
        << "tests never write into the real configuration folder";
}

TEST_F(ProgramConfigTest, AnUnusableFileReadsAsEmptyAndIsKeptAsideBeforeTheFirstWrite) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"too large",
         [](const QString& p) {
             WriteTestFile(p, "[G]\na=" + QByteArray(ProgramConfig::MaxFileSize, 'x') + "\n");
         },
         "größer als 1024 KiB"},
        {"not text", [](const QString& p) { WriteTestFile(p, "[G]\na=\xff\xfe\x00\n"); },
         "keine Textdatei"},
        {"a line without =", [](const QString& p) { WriteTestFile(p, "[G]\na=1\nunsinn\n"); },
         "beschädigt (Zeile 3)"},
        {"a value before any group", [](const QString& p) { WriteTestFile(p, "a=1\n"); },
         "beschädigt (Zeile 1)"},
        {"a FIFO",
         [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); },
         "keine gewöhnliche Datei"},
        {"a folder", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); },
         "keine gewöhnliche Datei"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("spurwerk.conf"));
        c.make(path);
        ProgramConfig config(path);
        EXPECT_TRUE(config.LoadError().contains(QString::fromUtf8(c.reason)))
            << c.what << ": " << config.LoadError().toStdString();
        EXPECT_TRUE(config.LoadError().contains(path)) << c.what;
        EXPECT_TRUE(config.Group(QStringLiteral("G")).empty()) << c.what;

        config.SetValue(QStringLiteral("G"), QStringLiteral("b"), QStringLiteral("2"));
        EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".defekt"))) << c.what;
        const ProgramConfig again(path);
        EXPECT_TRUE(again.LoadError().isEmpty()) << c.what;
        EXPECT_EQ(again.Value(QStringLiteral("G"), QStringLiteral("b")), QStringLiteral("2"))
            << c.what;
    }
}

TEST_F(ProgramConfigTest, CommentsBlankLinesAndForeignEscapesAreRead) {
    WriteTestFile(file(), "# Kommentar\r\n\r\n; auch einer\n[G]\r\nk = a\\tb\\\\\r\n[H]\nx=1\n"
                          "[G]\nl=2\n");
    const ProgramConfig config(file());
    EXPECT_TRUE(config.LoadError().isEmpty()) << config.LoadError().toStdString();
    EXPECT_EQ(config.Value(QStringLiteral("G"), QStringLiteral("k")), QStringLiteral(" a\\tb\\"));
    EXPECT_EQ(config.Value(QStringLiteral("G"), QStringLiteral("l")), QStringLiteral("2"));
    EXPECT_EQ(config.Value(QStringLiteral("H"), QStringLiteral("x")), QStringLiteral("1"));
}

TEST_F(ProgramConfigTest, AFailedWriteKeepsFileAndValues) {
    ProgramConfig config(file());
    config.SetValue(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("alt"));
    const QByteArray before = ReadTestFile(file());
    {
        const FileSizeLimit full(8); // the disk is full
        EXPECT_THROW(
            config.SetValue(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("neu")),
            EFileError);
    }
    EXPECT_EQ(ReadTestFile(file()), before);
    EXPECT_EQ(config.Value(QStringLiteral("G"), QStringLiteral("k")), QStringLiteral("alt"));

    // Where the folder cannot be made (a file is in its place), it says so.
    WriteTestFile(dir_.filePath(QStringLiteral("datei")), "x");
    ProgramConfig blocked(dir_.filePath(QStringLiteral("datei/spurwerk.conf")));
    EXPECT_THROW(blocked.SetValue(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("v")),
                 EFileError);
}

TEST_F(ProgramConfigTest, NamesThatTheFileCannotHoldAreRefused) {
    ProgramConfig config(file());
    for (const char* name : {"", "a=b", "[a", "a]", "a\nb", " a", "a "}) {
        EXPECT_THROW(config.SetValue(QString::fromLatin1(name), QStringLiteral("k"), QString()),
                     std::invalid_argument)
            << name;
        EXPECT_THROW(config.SetValue(QStringLiteral("G"), QString::fromLatin1(name), QString()),
                     std::invalid_argument)
            << name;
    }
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(ProgramConfigTest, KeysOfAnEarlierSettingsFileMoveOverOnce) {
    TIniRegistry store;
    store.OpenKey(QStringLiteral("Spurwerk"), true);
    store.WriteString(QStringLiteral("Digits"), QStringLiteral("8"));
    store.CloseKey();
    store.OpenKey(QStringLiteral("Dekodierung"), true);
    store.WriteInteger(QStringLiteral("Anzahl"), 1);
    store.WriteString(QStringLiteral("Stapel1"), QStringLiteral("uart:rx=D00"));
    store.WriteBinary(QStringLiteral("Fremd"), QByteArray("xy"));
    store.CloseKey();
    store.OpenKey(QStringLiteral("SigrokGeraet"), true);
    store.WriteString(QStringLiteral("Geraet"), QStringLiteral("alt"));
    store.CloseKey();

    ProgramConfig config(file());
    config.SetValue(QStringLiteral("SigrokGeraet"), QStringLiteral("Geraet"),
                    QStringLiteral("neu"));
    for (const char* key : {"Dekodierung", "SigrokGeraet", "GibtsNicht"})
        MoveKeyToConfig(store, QString::fromLatin1(key), config);

    const ProgramConfig::Entries decoding{
        {QStringLiteral("Anzahl"), QStringLiteral("1")},
        {QStringLiteral("Stapel1"), QStringLiteral("uart:rx=D00")}};
    EXPECT_EQ(ProgramConfig(file()).Group(QStringLiteral("Dekodierung")), decoding)
        << "text and numbers move, other values stay behind";
    EXPECT_EQ(config.Value(QStringLiteral("SigrokGeraet"), QStringLiteral("Geraet")),
              QStringLiteral("neu"))
        << "what the configuration holds already wins";
    ASSERT_EQ(store.RootKey().Count(), 1) << "the display options alone stay in the store";
    EXPECT_EQ(store.RootKey().Item(0).Name, QStringLiteral("Spurwerk"));
}

} // namespace
