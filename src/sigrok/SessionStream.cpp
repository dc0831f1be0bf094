#include "sigrok/SessionStream.h"

#include "sigrok/SigrokError.h"

#include <libsigrok/libsigrok.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace sigrok {

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEnd = 0x06054b50;
constexpr std::uint32_t kEnd64 = 0x06064b50;
constexpr std::uint32_t kEnd64Locator = 0x07064b50;
// Version 2.0 reads stored members; 4.5 is needed for the 64-bit records.
constexpr std::uint16_t kVersion20 = 20;
constexpr std::uint16_t kVersion45 = 45;
// Made on Unix, by a writer of version 4.5.
constexpr std::uint16_t kMadeBy = (3 << 8) | kVersion45;

// Little-endian fields, appended to a header under construction.
class Bytes {
  public:
    Bytes& u16(std::uint64_t v) { return put(v, 2); }
    Bytes& u32(std::uint64_t v) { return put(v, 4); }
    Bytes& u64(std::uint64_t v) { return put(v, 8); }
    Bytes& text(const std::string& s) {
        data_.append(s);
        return *this;
    }
    const std::string& Data() const { return data_; }

  private:
    Bytes& put(std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            data_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    std::string data_;
};

std::uint32_t Crc(const char* data, std::size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as unsigned int: large members go in pieces.
    while (size > 0) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), n);
        data += n;
        size -= n;
    }
    return static_cast<std::uint32_t>(crc);
}

// One line of the metadata. libsigrok's keys hold spaces ("total probes");
// they are spelt with '_' here, as they are no words for a reader.
std::string Entry(std::string key, const std::string& value) {
    std::replace(key.begin(), key.end(), '_', ' ');
    return key + "=" + value + "\n";
}

} // namespace

std::string SessionMetadata(const std::vector<std::string>& names, std::uint64_t rateHz,
                            int unitSize) {
    char* rate = sr_samplerate_string(rateHz);
    std::string text = "[global]\n" + Entry("sigrok_version", sr_package_version_string_get());
    text += "\n[device" + std::string(" 1]\n") + Entry("capturefile", "logic-1") +
            Entry("total_probes", std::to_string(names.size())) +
            Entry("samplerate", rate ? std::string(rate) : std::to_string(rateHz)) +
            Entry("total_analog", "0");
    g_free(rate);
    for (std::size_t i = 0; i < names.size(); ++i) {
        // A name ends at its line: the metadata is one key per line.
        std::string name = names[i];
        std::replace(name.begin(), name.end(), '\n', ' ');
        std::replace(name.begin(), name.end(), '\r', ' ');
        text += "probe" + std::to_string(i + 1) + "=" + name + "\n";
    }
    return text + Entry("unitsize", std::to_string(unitSize));
}

namespace {
// Chunks waiting for the disk at most; a caller that fills more waits for it.
constexpr std::size_t kQueuedChunks = 4;
// A local header before the member's name.
constexpr std::uint64_t kLocalHeaderSize = 30;
} // namespace

SessionStream::SessionStream(const std::string& path, Shape shape) : shape_(shape), file_(path) {
    if (shape_.unitSize != 1 && shape_.unitSize != 2) shape_.unitSize = 2;
    // Whole samples per chunk, so that no sample straddles two members.
    shape_.chunkBytes = std::max<std::size_t>(shape_.chunkBytes / std::size_t(shape_.unitSize), 1) *
                        std::size_t(shape_.unitSize);
    chunk_.reserve(shape_.chunkBytes);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    dosTime_ = std::uint16_t(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    dosDate_ = std::uint16_t(std::max(local.tm_year - 80, 0) << 9 | (local.tm_mon + 1) << 5 |
                             local.tm_mday);
    // Opened now, it keeps reading the same file after Commit renamed it.
    readFd_ = ::open(file_.TempPath().c_str(), O_RDONLY | O_CLOEXEC);
    queueMember({"version", {'2'}, 0, false});
    writer_ = std::thread([this] { writeLoop(); });
}

SessionStream::~SessionStream() {
    {
        const std::lock_guard lock(mutex_);
        abandon_ = true;
    }
    changed_.notify_all();
    writer_.join();
    if (readFd_ >= 0) ::close(readFd_);
}

void SessionStream::Read(std::uint64_t first, std::size_t count, std::uint16_t* out) const {
    const std::size_t unit = std::size_t(shape_.unitSize);
    const std::uint64_t flushed = Flushed();
    if (readFd_ < 0 || first > flushed || count > flushed - first)
        throw Error("Die Aufnahme hat keine Abtastwerte " + std::to_string(first) + " bis " +
                    std::to_string(first + count) + ".");
    std::vector<std::uint8_t> bytes;
    while (count > 0) {
        const std::uint64_t chunk = first / chunkSamples();
        const std::size_t at = std::size_t(first % chunkSamples());
        const std::size_t n = std::min(count, chunkSamples() - at);
        bytes.resize(n * unit);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::pread(readFd_, bytes.data() + done, bytes.size() - done,
                                        off_t(chunkData_[chunk] + at * unit + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0)
                throw Error("Die Aufnahme lässt sich nicht lesen: " +
                            SafeFile::Reason(got < 0 ? errno : EIO));
            done += std::size_t(got);
        }
        for (std::size_t i = 0; i < n; ++i)
            out[i] = unit == 2 ? std::uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8) : bytes[i];
        out += n;
        first += n;
        count -= n;
    }
}

void SessionStream::Append(const std::uint16_t* words, std::size_t count) {
    // Behind the directory the samples would belong to no member.
    if (closed_) throw Error("Die Aufnahme ist schon abgeschlossen.");
    raiseWriteError();
    const std::size_t unit = std::size_t(shape_.unitSize);
    while (count > 0) {
        const std::size_t room = (shape_.chunkBytes - chunk_.size()) / unit;
        const std::size_t n = std::min(room, count);
        const std::size_t at = chunk_.size();
        chunk_.resize(at + n * unit);
        char* out = chunk_.data() + at;
        if (unit == 2) {
            for (std::size_t i = 0; i < n; ++i) {
                out[2 * i] = static_cast<char>(words[i] & 0xFF);
                out[2 * i + 1] = static_cast<char>(words[i] >> 8);
            }
        } else {
            for (std::size_t i = 0; i < n; ++i)
                out[i] = static_cast<char>(words[i] & 0xFF);
        }
        words += n;
        count -= n;
        samples_ += n;
        if (chunk_.size() >= shape_.chunkBytes) flushChunk();
    }
}

void SessionStream::flushChunk() {
    if (chunk_.empty()) return;
    Job job;
    // libsigrok counts the chunks of a capture from 1.
    job.name = "logic-1-" + std::to_string(chunkData_.size() + 1);
    job.samples = chunk_.size() / std::size_t(shape_.unitSize);
    job.data = std::move(chunk_);
    {
        // The memory of a chunk written before, already faulted in.
        const std::lock_guard lock(mutex_);
        chunk_ = std::move(spare_);
        spare_ = {};
    }
    chunk_.clear();
    chunk_.reserve(shape_.chunkBytes);
    // Only the last chunk is short: a sample's chunk follows from its number.
    chunkData_.push_back(queueMember(std::move(job)));
}

std::uint64_t SessionStream::queueMember(Job job) {
    const std::uint64_t data = queued_ + kLocalHeaderSize + job.name.size();
    queued_ = data + job.data.size();
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return jobs_.size() < kQueuedChunks || writerDone_; });
        if (writeError_) std::rethrow_exception(writeError_);
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
    return data;
}

void SessionStream::raiseWriteError() {
    const std::lock_guard lock(mutex_);
    if (writeError_) std::rethrow_exception(writeError_);
}

void SessionStream::writeLoop() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !jobs_.empty() || abandon_; });
            if (abandon_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        changed_.notify_all(); // room in the queue
        try {
            writeMember(job.name, job.data);
            if (job.last) writeDirectory();
        } catch (...) {
            {
                const std::lock_guard lock(mutex_);
                writeError_ = std::current_exception();
                writerDone_ = true;
                jobs_.clear();
            }
            changed_.notify_all();
            return;
        }
        flushed_.fetch_add(job.samples, std::memory_order_release);
        {
            const std::lock_guard lock(mutex_);
            if (job.data.capacity() >= shape_.chunkBytes && spare_.capacity() == 0)
                spare_ = std::move(job.data);
            writerDone_ = job.last;
        }
        if (job.last) {
            changed_.notify_all();
            return;
        }
    }
}

void SessionStream::writeMember(const std::string& name, const std::vector<char>& data) {
    const Member member{name, written_, data.size(), Crc(data.data(), data.size())};
    // Members stay far below 4 GiB; only their offsets may need 64 bits,
    // which the directory holds.
    Bytes header;
    header.u32(kLocalHeader).u16(kVersion20).u16(0).u16(0).u16(dosTime_).u16(dosDate_);
    header.u32(member.crc).u32(data.size()).u32(data.size()).u16(name.size()).u16(0).text(name);
    file_.Write(header.Data().data(), header.Data().size());
    file_.Write(data.data(), data.size());
    written_ += header.Data().size() + data.size();
    members_.push_back(member);
}

void SessionStream::writeDirectory() {
    const std::uint64_t start = written_;
    const std::uint64_t limit = shape_.zip64Above;
    Bytes directory;
    for (const Member& m : members_) {
        const bool far = m.offset > limit;
        directory.u32(kCentralHeader).u16(kMadeBy).u16(far ? kVersion45 : kVersion20);
        directory.u16(0).u16(0).u16(dosTime_).u16(dosDate_).u32(m.crc).u32(m.size).u32(m.size);
        directory.u16(m.name.size()).u16(far ? 12 : 0).u16(0).u16(0).u16(0);
        // Regular file, rw-r--r--.
        directory.u32(std::uint32_t{0100644} << 16);
        directory.u32(far ? 0xFFFFFFFFu : m.offset).text(m.name);
        if (far) directory.u16(0x0001).u16(8).u64(m.offset);
    }
    const std::uint64_t size = directory.Data().size();
    const std::uint64_t count = members_.size();
    const bool wide =
        start > limit || size > limit || count > std::min<std::uint64_t>(limit, 0xFFFE);
    if (wide) {
        const std::uint64_t record = start + size;
        directory.u32(kEnd64).u64(44).u16(kMadeBy).u16(kVersion45).u32(0).u32(0);
        directory.u64(count).u64(count).u64(size).u64(start);
        directory.u32(kEnd64Locator).u32(0).u64(record).u32(1);
    }
    directory.u32(kEnd).u16(0).u16(0);
    directory.u16(wide ? 0xFFFF : count).u16(wide ? 0xFFFF : count);
    directory.u32(wide ? 0xFFFFFFFFu : size).u32(wide ? 0xFFFFFFFFu : start).u16(0);
    file_.Write(directory.Data().data(), directory.Data().size());
    written_ += directory.Data().size();
}

void SessionStream::Finish(const std::vector<std::string>& names, std::uint64_t rateHz) {
    Close(names, rateHz);
    Commit();
}

void SessionStream::Close(const std::vector<std::string>& names, std::uint64_t rateHz) {
    if (names.empty() || names.size() > 16)
        throw Error("Es lassen sich nur 1 bis 16 Leitungen speichern.");
    if (closed_) throw Error("Die Aufnahme ist schon abgeschlossen.");
    raiseWriteError();
    flushChunk();
    const std::string metadata = SessionMetadata(names, rateHz, shape_.unitSize);
    queueMember({"metadata", std::vector<char>(metadata.begin(), metadata.end()), 0, true});
    closed_ = true;
}

void SessionStream::Commit() {
    if (!closed_) throw Error("Die Aufnahme ist noch nicht abgeschlossen.");
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return writerDone_; });
        if (writeError_) std::rethrow_exception(writeError_);
    }
    file_.Commit();
}

} // namespace sigrok
