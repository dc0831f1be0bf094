#include "FileSizeLimit.h"
#include "ScriptedDesktop.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"
#include "display/TTrazor.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/RecordingFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

class RecordingFile : public ::testing::Test {
  protected:
    void SetUp() override {
        trazor = new TTrazor(&owner, desktop); // owned by `owner`
        trazor->Option().SetCellsSize(256);
        for (int i = 0; i < 256; ++i) {
            trazor->SetCellLow(i, static_cast<std::uint8_t>(i));
            trazor->SetCellHigh(i, static_cast<std::uint8_t>(255 - i));
        }
    }

    TRecordingFile::Window window() {
        return {[this] { ++repaints; }, [this](const QString& c) { captions << c; },
                [this](const QString& p) { saved << p; }};
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray read(const QString& name) const { return ReadTestFile(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const {
        WriteTestFile(path(name), bytes);
    }
    QByteArray stream() const {
        const auto& s = trazor->Stream();
        return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size()));
    }
    std::vector<Desktop::FileDialogRequest> dialogs() const {
        std::vector<Desktop::FileDialogRequest> out;
        for (const auto& c : desktop.calls)
            if (c.kind == ScriptedDesktop::Call::Kind::OpenFile ||
                c.kind == ScriptedDesktop::Call::Kind::SaveFile)
                out.push_back(c.file);
        return out;
    }

    ScriptedDesktop desktop;
    QWidget owner;
    TTrazor* trazor = nullptr;
    int repaints = 0;
    QStringList captions;
    QStringList saved; // files the routines report as written
    QTemporaryDir dir;
};

const QString kFilter =
    QStringLiteral("Digital-Aufzeichnung (*.DIG)|*.DIG|Alle Dateien              (*.*)|*.*");

} // namespace

TEST_F(RecordingFile, SaveAsThenOpenRoundTripsTheBuffer) {
    TRecordingFile files(desktop, *trazor, window());
    desktop.fileAnswers = {path("TEST.DIG")};
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 3, QString()));
    EXPECT_EQ(read("TEST.DIG"), stream());
    EXPECT_TRUE(desktop.messages().empty()); // a new file needs no question

    const QByteArray saved = stream();
    trazor->ClearCells();
    desktop.fileAnswers = {path("TEST.DIG")};
    EXPECT_EQ(files.OpenRecordingFile(QString::fromUtf8("Spurwerk-Datei öffnen")),
              path("TEST.DIG"));
    EXPECT_EQ(stream(), saved);
    EXPECT_EQ(captions, QStringList{"Spurwerk Version 1.0.40.36 - " + path("TEST.DIG")});
    EXPECT_EQ(repaints, 1);

    const auto requests = dialogs();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, "Spurwerk - Daten speichern unter");
    EXPECT_EQ(requests[0].fileName, "NONAME.DIG");
    EXPECT_EQ(requests[0].initialDir, QDir::homePath());
    EXPECT_EQ(requests[1].title, QString::fromUtf8("Spurwerk-Datei öffnen"));
    EXPECT_EQ(requests[1].fileName, QString());
    EXPECT_EQ(requests[1].initialDir, recording::DataDirectory());
    for (const auto& r : requests) {
        EXPECT_EQ(r.filter, kFilter);
        EXPECT_EQ(r.defaultExt, "DIG");
    }
}

TEST_F(RecordingFile, SaveDialogTitlesAndProposedNames) {
    struct Case {
        std::uint8_t mode;
        const char* fileName;
        const char* title;
        const char* proposed;
    } cases[] = {
        {0, "/data/LAST.DIG", "Spurwerk - Daten speichern", "/data/LAST.DIG"},
        {0, "", "Spurwerk - Daten speichern", "NONAME.DIG"},
        {1, "OLD.DIG", "Spurwerk - Daten von Datenträger löschen", "OLD.DIG"},
        {3, "", "Spurwerk - Daten speichern unter", "NONAME.DIG"},
    };
    TRecordingFile files(desktop, *trazor, window());
    for (const Case& c : cases) {
        desktop.clear();
        // Cancelled: false, and nothing is written or deleted.
        EXPECT_FALSE(files.SaveRecordingFile("Spurwerk - ", c.mode, c.fileName)) << c.title;
        const auto requests = dialogs();
        ASSERT_EQ(requests.size(), 1u) << c.title;
        EXPECT_EQ(requests[0].title, QString::fromUtf8(c.title));
        EXPECT_EQ(requests[0].fileName, c.proposed);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(RecordingFile, OverwriteQuestionDecidesTheWrite) {
    write("OLD.DIG", "previous contents");
    TRecordingFile files(desktop, *trazor, window());

    desktop.fileAnswers = {path("OLD.DIG")};
    desktop.messageAnswers = {Desktop::No};
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 0, path("OLD.DIG")));
    EXPECT_EQ(read("OLD.DIG"), "previous contents");
    EXPECT_TRUE(saved.isEmpty()) << "only a written file counts as saved";
    ASSERT_EQ(desktop.messages().size(), 1u);
    const auto question = desktop.messages()[0];
    EXPECT_EQ(question.caption, "Spurwerk");
    EXPECT_EQ(question.text,
              QString::fromUtf8("Die Datei OLD.DIG ist schon vorhanden !\rSoll diese "
                                "Datei überschrieben werden ?\r"));
    EXPECT_EQ(question.icon, Desktop::Icon::None);
    EXPECT_EQ(question.buttons, Desktop::Yes | Desktop::No);

    desktop.fileAnswers = {path("OLD.DIG")};
    desktop.messageAnswers = {Desktop::Yes};
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 0, path("OLD.DIG")));
    EXPECT_EQ(read("OLD.DIG"), stream());
    EXPECT_EQ(saved, QStringList{path("OLD.DIG")});
}

TEST_F(RecordingFile, CloseWritesBackWithoutADialog) {
    TRecordingFile files(desktop, *trazor, window());
    {
        const WorkingDirectory cwd(dir.path());
        ASSERT_TRUE(cwd.Entered());
        // An empty current name writes NONAME.DIG in the current directory.
        EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 2, QString()));
    }
    EXPECT_EQ(read("NONAME.DIG"), stream());
    EXPECT_TRUE(dialogs().empty());
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(RecordingFile, DeleteModeRemovesTheChosenFile) {
    write("GONE.DIG", "x");
    TRecordingFile files(desktop, *trazor, window());
    desktop.fileAnswers = {path("GONE.DIG"), path("NEVER.DIG")};
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 1, "GONE.DIG"));
    EXPECT_FALSE(QFile::exists(path("GONE.DIG")));
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 1, "NEVER.DIG"));
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(RecordingFile, HigherModesDoNothing) {
    TRecordingFile files(desktop, *trazor, window());
    for (const int mode : {4, 17, 255})
        EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", std::uint8_t(mode), path("X.DIG")));
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(RecordingFile, ConfirmOverwriteAsksOnlyWhenNotSilent) {
    TRecordingFile files(desktop, *trazor, window());
    EXPECT_EQ(files.ConfirmOverwrite(1, "A.DIG"), 0);
    EXPECT_TRUE(desktop.calls.empty());
    desktop.messageAnswers = {Desktop::Yes, Desktop::No};
    EXPECT_EQ(files.ConfirmOverwrite(0, "/x/A.DIG"), 6);
    EXPECT_EQ(files.ConfirmOverwrite(0, "/x/A.DIG"), 7);
}

TEST_F(RecordingFile, AnyLengthLoadsWhole) {
    struct Case {
        int length;
        int cells;
    } cases[] = {{0, 0}, {1, 0}, {7, 3}, {10, 5}, {16385, 8192}};
    TRecordingFile files(desktop, *trazor, window());
    for (const Case& c : cases) {
        QByteArray bytes(c.length, '\0');
        for (int i = 0; i < c.length; ++i)
            bytes[i] = char(i * 7 + 1);
        write("ANY.DIG", bytes);
        desktop.fileAnswers = {path("ANY.DIG")};
        EXPECT_EQ(files.OpenRecordingFile("t"), path("ANY.DIG")) << c.length;
        EXPECT_EQ(stream(), bytes) << c.length;
        EXPECT_EQ(trazor->Buffer().Cells(), c.cells) << c.length;
        // The record length stays unless the file is longer: then the view
        // must reach its last cell (the cases grow, so it never shrinks back).
        EXPECT_EQ(trazor->Option().CellsSize(), std::max(256, c.cells)) << c.length;
        if (c.cells > 0) {
            EXPECT_EQ(trazor->GetCellHigh(0), std::uint8_t(bytes[c.cells]));
        }
    }
    // An empty buffer saves as an empty file.
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 2, path("EMPTY.DIG")));
    write("ANY.DIG", QByteArray());
    desktop.fileAnswers = {path("ANY.DIG")};
    files.OpenRecordingFile("t");
    EXPECT_TRUE(files.SaveRecordingFile("Spurwerk - ", 2, path("EMPTY2.DIG")));
    EXPECT_EQ(read("EMPTY2.DIG"), QByteArray());
}

TEST_F(RecordingFile, CancelledOrMissingOpenChangesNothing) {
    TRecordingFile files(desktop, *trazor, window());
    const QByteArray before = stream();
    EXPECT_EQ(files.OpenRecordingFile("t"), QString());
    EXPECT_TRUE(desktop.messages().empty());

    desktop.fileAnswers = {path("MISSING.DIG")};
    EXPECT_EQ(files.OpenRecordingFile("t"), QString());
    ASSERT_EQ(desktop.messages().size(), 1u);
    const auto message = desktop.messages()[0];
    EXPECT_EQ(message.caption, "Fehler");
    EXPECT_EQ(message.text, "Die Datei ist nicht vorhanden !!!\rMISSING.DIG");
    EXPECT_EQ(message.icon, Desktop::Icon::Error);
    EXPECT_EQ(message.buttons, Desktop::Ok);

    EXPECT_EQ(stream(), before);
    EXPECT_TRUE(captions.isEmpty());
}

TEST_F(RecordingFile, OversizedFileIsRefusedAndTheLimitItselfLoads) {
    TRecordingFile files(desktop, *trazor, window());
    const QByteArray before = stream();
    {
        QFile big(path("BIG.DIG"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(recording::MaxRecordingFileSize + 1));
    }
    desktop.fileAnswers = {path("BIG.DIG")};
    EXPECT_THROW(files.OpenRecordingFile("t"), EFileError);
    EXPECT_EQ(stream(), before);
    EXPECT_TRUE(captions.isEmpty());

    ASSERT_TRUE(QFile::resize(path("BIG.DIG"), recording::MaxRecordingFileSize));
    desktop.fileAnswers = {path("BIG.DIG")};
    EXPECT_EQ(files.OpenRecordingFile("t"), path("BIG.DIG"));
    EXPECT_EQ(qsizetype(trazor->Stream().size()), recording::MaxRecordingFileSize);
}

TEST_F(RecordingFile, FailingWriteKeepsTheOldFileAndTheBuffer) {
    const QByteArray old(100, 'o');
    write("OLD.DIG", old);
    const QByteArray before = stream();
    TRecordingFile files(desktop, *trazor, window());
    desktop.messageAnswers = {Desktop::Yes};
    try {
        const FileSizeLimit diskFull(200); // the buffer is 512 bytes
        files.SaveRecordingFile("Spurwerk - ", 2, path("OLD.DIG"));
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().contains("OLD.DIG kann nicht gespeichert werden")) << e.what();
    }
    EXPECT_EQ(read("OLD.DIG"), old);
    EXPECT_EQ(stream(), before);
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"OLD.DIG"});
}

TEST_F(RecordingFile, WordsAreWrittenPlaneByPlaneAndAFailedWriteKeepsTheOldFile) {
    // Counts around the writer's pieces of 2^20: none, one short, two.
    for (const std::size_t count : {std::size_t{0}, std::size_t{3}, (std::size_t{1} << 20) + 5}) {
        std::vector<std::uint16_t> words(count);
        QByteArray expected(qsizetype(2 * count), '\0');
        for (std::size_t i = 0; i < count; ++i) {
            words[i] = std::uint16_t(i * 40503u);
            expected[qsizetype(i)] = char(words[i] & 0xFF);
            expected[qsizetype(count + i)] = char(words[i] >> 8);
        }
        recording::WriteRecordingFileFromWords(path("WORDS.DIG"), words);
        EXPECT_EQ(read("WORDS.DIG"), expected) << count;
    }
    const QByteArray old = read("WORDS.DIG");
    const FileSizeLimit diskFull(1000);
    EXPECT_THROW(recording::WriteRecordingFileFromWords(path("WORDS.DIG"),
                                                        std::vector<std::uint16_t>(4000, 0x1234)),
                 EFileError);
    EXPECT_EQ(read("WORDS.DIG"), old);
}

TEST_F(RecordingFile, UnreadableChoiceIsAnErrorNotALoad) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("FOLDER.DIG"));
    TRecordingFile files(desktop, *trazor, window());
    const QByteArray before = stream();
    desktop.fileAnswers = {path("FOLDER.DIG")};
    EXPECT_THROW(files.OpenRecordingFile("t"), EFileError);
    EXPECT_EQ(stream(), before);
    EXPECT_TRUE(captions.isEmpty());
}
