// Session files written while a capture runs: read back whole through
// libsigrok, in every shape of chunk and archive, and never half-written.
#include "ExchangeFixture.h"
#include "SmallDisk.h"
#include "sigrok/SessionStream.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokImport.h"

#include <gtest/gtest.h>

namespace {

class SessionStreamTest : public ExchangeTest, public ::testing::Test {};

// Samples that differ from their neighbours on every line.
std::uint16_t Word(std::uint64_t i) {
    return std::uint16_t(i * 40503u + (i >> 7));
}

std::vector<std::string> Names(int lines) {
    std::vector<std::string> names;
    for (int line = 0; line < lines; ++line)
        names.push_back("D" + std::to_string(line));
    return names;
}

TEST_F(SessionStreamTest, ReadsBackWholeInEveryShape) {
    struct Case {
        const char* what;
        sigrok::SessionStream::Shape shape;
        int lines;
        std::size_t samples;
        std::size_t piece; // samples per Append
    } cases[] = {
        {"chunks of two bytes a sample, the last one short",
         {2, 4096, 0xFFFFFFFFu},
         16,
         10'000,
         777},
        {"one byte a sample, pieces larger than a chunk", {1, 1000, 0xFFFFFFFFu}, 8, 9'999, 4096},
        {"a chunk size that splits a sample is rounded down", {2, 3, 0xFFFFFFFFu}, 12, 50, 7},
        {"the 64-bit records of an archive beyond 4 GiB", {2, 4096, 0}, 16, 10'000, 1000},
        {"exactly whole chunks", {2, 4096, 0xFFFFFFFFu}, 16, 4096, 2048},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Path("s.sr");
        std::vector<std::uint16_t> words(c.samples);
        for (std::size_t i = 0; i < c.samples; ++i)
            words[i] =
                std::uint16_t(Word(i) & (c.lines <= 8 ? 0xFF : 0xFFFF) & ((1u << c.lines) - 1));
        {
            sigrok::SessionStream stream(path, c.shape);
            for (std::size_t at = 0; at < c.samples; at += c.piece) {
                stream.Append(words.data() + at, std::min(c.piece, c.samples - at));
                // While it runs, the chunks on the disk read back as they went in.
                std::vector<std::uint16_t> flushed(stream.Flushed());
                stream.Read(0, flushed.size(), flushed.data());
                ASSERT_TRUE(std::equal(flushed.begin(), flushed.end(), words.begin()));
            }
            EXPECT_EQ(stream.Samples(), c.samples);
            stream.Finish(Names(c.lines), 24'000'000);
            // And after it, the whole capture, from the file now in place.
            std::vector<std::uint16_t> all(stream.Flushed());
            stream.Read(0, all.size(), all.data());
            EXPECT_EQ(all, words);
            EXPECT_THROW(stream.Read(c.samples - 1, 2, all.data()), sigrok::Error);
        }
        const sigrok::ImportResult read =
            sigrok::ImportFile(context, sigrok::ExchangeFormat::Session, path, 1u << 20);
        EXPECT_EQ(read.frames.names, Names(c.lines));
        EXPECT_EQ(read.frames.timeBase.period.ExactRateHz(), 24'000'000u);
        ASSERT_EQ(read.frames.samples.size(), c.samples);
        EXPECT_EQ(read.frames.samples, words);
    }
}

// A capture that fails or is abandoned leaves the file it was to replace.
TEST_F(SessionStreamTest, UnfinishedStreamLeavesTheTarget) {
    const std::string path = Path("old.sr");
    WriteBytes(path, "previous");
    {
        sigrok::SessionStream stream(path);
        const std::vector<std::uint16_t> words(100'000, 0x5A5A);
        stream.Append(words.data(), words.size());
    }
    EXPECT_EQ(FileBytes(path), QByteArray("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.sr"});
}

// A window closes the file first and commits it later on another thread:
// closed, it reads what is written by now and replaces nothing yet; nothing
// is appended behind its directory, only a closed file is committed, and
// committed it reads whole.
TEST_F(SessionStreamTest, ClosedFileReadsWholeBeforeItIsCommitted) {
    const std::string path = Path("old.sr");
    WriteBytes(path, "previous");
    sigrok::SessionStream stream(path, {2, 4096, 0xFFFFFFFFu});
    std::vector<std::uint16_t> words(10'000);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = Word(i);
    stream.Append(words.data(), words.size());
    EXPECT_THROW(stream.Commit(), sigrok::Error);
    stream.Close(Names(16), 24'000'000);
    std::vector<std::uint16_t> some(stream.Flushed());
    stream.Read(0, some.size(), some.data());
    EXPECT_TRUE(std::equal(some.begin(), some.end(), words.begin()));
    EXPECT_EQ(FileBytes(path), QByteArray("previous"));
    EXPECT_THROW(stream.Append(words.data(), 1), sigrok::Error);
    EXPECT_THROW(stream.Close(Names(16), 24'000'000), sigrok::Error);

    stream.Commit();
    std::vector<std::uint16_t> all(stream.Flushed());
    stream.Read(0, all.size(), all.data());
    EXPECT_EQ(all, words);
    const sigrok::ImportResult read =
        sigrok::ImportFile(context, sigrok::ExchangeFormat::Session, path, 1u << 20);
    EXPECT_EQ(read.frames.samples, words);
}

TEST_F(SessionStreamTest, FullDiskSaysSoAndKeepsNothing) {
    SmallDisk disk(64);
    if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string path = disk.FilePath("full.sr").toStdString();
    try {
        sigrok::SessionStream stream(path, {2, 4096, 0xFFFFFFFFu});
        const std::vector<std::uint16_t> words(1 << 20, 0x1234);
        stream.Append(words.data(), words.size());
        stream.Finish(Names(16), 1'000'000);
        FAIL() << "a full disk went unnoticed";
    } catch (const sigrok::Error& error) {
        EXPECT_NE(std::string(error.what()).find("voll"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(disk.Entries().isEmpty()) << disk.Entries().join(' ').toStdString();
}

} // namespace
