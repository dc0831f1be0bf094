#pragma once

#include "sigrok/SafeFile.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sigrok {

// A session file (.sr) written while a capture runs, so that its length is
// bounded by the disk and not by memory. The archive holds its members
// uncompressed ("stored"): the samples go to the disk as they come, in chunks
// of logic-1-1, logic-1-2, ... and the file needs no rewriting at the end,
// while libsigrok's own writer rewrites its archive for every member it adds.
// The metadata (line names, rate) follows the samples, since a device names
// them only once its run has begun; readers find members by name.
//
// Like every save, the file appears complete or not at all: it grows beside
// the target and is renamed over it by Finish; an error (raised as Error) or
// destruction without Finish leaves an existing target as it was.
//
// The members go to the disk on a thread of their own (checksum and write),
// so that the caller, a window's thread taking a device's samples, never
// waits for the disk while a few chunks fit in the queue. A failed write is
// raised by the next Append, Close or Commit.
class SessionStream {
  public:
    struct Shape {
        // Bytes a sample takes in the file: 1 up to 8 lines, else 2.
        int unitSize = 2;
        // Sample bytes per chunk member.
        std::size_t chunkBytes = std::size_t{4} << 20;
        // Above this offset or member count the archive takes its 64-bit
        // records; a test lowers it to see them written and read.
        std::uint64_t zip64Above = 0xFFFFFFFFu;
    };

    explicit SessionStream(const std::string& path) : SessionStream(path, Shape{}) {}
    SessionStream(const std::string& path, Shape shape);
    ~SessionStream();
    SessionStream(const SessionStream&) = delete;
    SessionStream& operator=(const SessionStream&) = delete;

    // Appends samples (line n in bit n); with a unit of one byte the high
    // lines are dropped.
    void Append(const std::uint16_t* words, std::size_t count);
    std::uint64_t Samples() const { return samples_; }
    // The samples that are in the file by now (whole chunks, then all once the
    // closed file is written), which Read gives back while the capture runs
    // and after it.
    std::uint64_t Flushed() const { return flushed_.load(std::memory_order_acquire); }
    // Samples first .. first+count-1, all below Flushed(); raises Error when
    // the file cannot be read.
    void Read(std::uint64_t first, std::size_t count, std::uint16_t* out) const;

    // Writes the rest, the metadata and the directory, and puts the file in
    // place of the target: Close, then Commit.
    void Finish(const std::vector<std::string>& names, std::uint64_t rateHz);
    // Hands the rest, the metadata and the directory to the writing thread
    // without waiting for it; Read gives every sample once they are written.
    void Close(const std::vector<std::string>& names, std::uint64_t rateHz);
    // Waits until the closed file is written, makes it durable and puts it in
    // place of the target. It waits for the disk, so a window runs it on a
    // thread of its own; it touches nothing that Read uses.
    void Commit();

  private:
    struct Member {
        std::string name;
        std::uint64_t offset = 0; // of its local header
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
    };
    // A member for the writing thread.
    struct Job {
        std::string name;
        std::vector<char> data;
        std::uint64_t samples = 0; // in data, readable once it is written
        bool last = false;         // the directory follows
    };
    std::size_t chunkSamples() const { return shape_.chunkBytes / std::size_t(shape_.unitSize); }
    // Caller's side: queues a member and answers where its data will begin.
    std::uint64_t queueMember(Job job);
    void flushChunk();
    void raiseWriteError();
    // Writing thread's side.
    void writeLoop();
    void writeMember(const std::string& name, const std::vector<char>& data);
    void writeDirectory();

    Shape shape_;
    SafeFile file_;
    // Touched by the caller only.
    std::vector<char> chunk_;
    std::vector<std::uint64_t> chunkData_; // where each chunk's samples lie in the file
    std::uint64_t queued_ = 0;             // bytes in the file once the queue is written
    std::uint64_t samples_ = 0;
    bool closed_ = false;
    int readFd_ = -1; // the file being written, for Read
    // Touched by the writing thread only, until it is done.
    std::vector<Member> members_;
    std::uint64_t written_ = 0; // bytes in the file
    std::uint16_t dosTime_ = 0;
    std::uint16_t dosDate_ = 0;
    // Shared, under mutex_ unless atomic.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::vector<char> spare_; // a written chunk's memory, for the next one
    std::exception_ptr writeError_;
    bool writerDone_ = false; // the directory is written, or writing failed
    bool abandon_ = false;
    std::atomic<std::uint64_t> flushed_{0};
    std::thread writer_; // last: starts once everything above is there
};

// The text of a session file's "metadata" member for logic samples.
std::string SessionMetadata(const std::vector<std::string>& names, std::uint64_t rateHz,
                            int unitSize);

} // namespace sigrok
