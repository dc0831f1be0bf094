#include "persistence/FileAccess.h"

#include "front/SystemError.h"
#include "persistence/EINIRegistryError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <type_traits>
#include <unistd.h>

namespace fileaccess {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString systemReason(int error) {
    return QString::fromStdString(SystemErrorText(error));
}

EFileError notRegular(const QString& subject, const QString& path) {
    return EFileError(QStringLiteral("%1 %2 ist keine gewöhnliche Datei (etwa eine Pipe oder ein "
                                     "Gerät) und wird nicht verwendet.")
                          .arg(subject, shown(path)));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// True when the folder a file is written to has (next to) no room left.
bool noSpaceLeft(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo written(file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath());
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(written.absolutePath()).constData(), &disk) != 0) return false;
    return disk.f_bavail < 16 || disk.f_favail == 0;
}

} // namespace

namespace {

// Reads into any contiguous byte container. The container gets the size the
// file claims at once, so a recording is read straight into the memory that
// keeps it, without growing (and copying) on the way; a file that grew since
// is read on in chunks, with the cap still holding.
template <class Bytes>
Bytes readRegular(const QString& path, const QString& subject, qint64 maxBytes,
                  const QString& tooLarge) {
    const auto cannotRead = [&](int error) {
        return EFileError(QStringLiteral("%1 %2 kann nicht gelesen werden: %3")
                              .arg(subject, shown(path), systemReason(error)));
    };
    // Non-blocking, so that opening a FIFO without a writer returns at once;
    // the type check below then refuses it.
    const QByteArray native = QFile::encodeName(path);
    const FileDescriptor fd(
        ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) throw cannotRead(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw cannotRead(errno);
    if (!S_ISREG(info.st_mode)) throw notRegular(subject, path);
    if (info.st_size > maxBytes) throw EFileError(tooLarge);

    const auto readSome = [&](char* into, qint64 want) -> qint64 {
        for (;;) {
            const ssize_t got = ::read(fd.get(), into, std::size_t(want));
            if (got >= 0) return got;
            if (errno != EINTR) throw cannotRead(errno);
        }
    };
    constexpr qint64 chunk = 1024 * 1024;
    Bytes bytes;
    bytes.resize(static_cast<decltype(bytes.size())>(info.st_size));
    qint64 at = 0;
    while (at < info.st_size) {
        const qint64 got = readSome(reinterpret_cast<char*>(bytes.data()) + at,
                                    std::min(chunk, qint64(info.st_size) - at));
        if (got == 0) break; // the file shrank meanwhile: keep what it held
        at += got;
    }
    if (at < info.st_size) {
        bytes.resize(static_cast<decltype(bytes.size())>(at));
        return bytes;
    }
    // The file may have grown meanwhile. One byte read past the end tells:
    // almost always there is none, and nothing more is allocated.
    char probe = 0;
    if (readSome(&probe, 1) == 0) return bytes;
    // It grew: read on in chunks; one byte beyond the cap is enough to know
    // it grew past it.
    const auto append = [&bytes](const char* from, qint64 count) {
        if constexpr (std::is_same_v<Bytes, QByteArray>)
            bytes.append(from, qsizetype(count));
        else
            bytes.insert(bytes.end(), from, from + count);
    };
    append(&probe, 1);
    if (++at > maxBytes) throw EFileError(tooLarge);
    std::vector<char> more(static_cast<std::size_t>(chunk));
    for (;;) {
        const qint64 got = readSome(more.data(), std::min(chunk, maxBytes + 1 - at));
        if (got == 0) break;
        append(more.data(), got);
        at += got;
        if (at > maxBytes) throw EFileError(tooLarge);
    }
    return bytes;
}

} // namespace

QByteArray ReadRegularFile(const QString& path, const QString& subject, qint64 maxBytes,
                           const QString& tooLarge) {
    return readRegular<QByteArray>(path, subject, maxBytes, tooLarge);
}

std::vector<std::uint8_t> ReadRegularFileBytes(const QString& path, const QString& subject,
                                               qint64 maxBytes, const QString& tooLarge) {
    return readRegular<std::vector<std::uint8_t>>(path, subject, maxBytes, tooLarge);
}

PendingFile::PendingFile(const QString& path, const QString& subject, const QByteArray& bytes)
    : PendingFile(path, subject, [&bytes, done = false](QByteArray& piece) mutable {
          if (done) return false;
          piece = QByteArray::fromRawData(bytes.constData(), bytes.size());
          return done = true;
      }) {}

PendingFile::PendingFile(const QString& path, const QString& subject, const Pieces& next)
    : path_(path), subject_(subject), file_(std::make_unique<QSaveFile>(path)) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        throw notRegular(subject, path);
    // A folder the user may not write can still hold a file the user may:
    // then the file is written in place, as a plain write would.
    file_->setDirectWriteFallback(true);
    // The explicit flush matters: commit() alone does not notice a write that
    // fails while the last buffered bytes go out (a full disk), and would put
    // the cut file in place of the old one.
    if (!file_->open(QIODevice::WriteOnly)) Fail();
    QByteArray piece;
    while (next(piece))
        if (file_->write(piece) != piece.size()) Fail();
    if (!file_->flush()) Fail();
}

PendingFile::~PendingFile() {
    if (file_->isOpen()) file_->cancelWriting();
}

void PendingFile::Commit() {
    if (!file_->commit()) Fail();
}

void PendingFile::Fail() {
    // QSaveFile keeps no system reason for a write that failed for want of
    // room ("Unknown error"): the folder tells, while the cut temporary file
    // still fills it.
    const QString reason =
        noSpaceLeft(path_) ? QStringLiteral("der Datenträger ist voll") : file_->errorString();
    if (file_->isOpen()) file_->cancelWriting();
    throw EFileError(QStringLiteral("%1 %2 kann nicht gespeichert werden: %3")
                         .arg(subject_, shown(path_), reason));
}

void WriteRegularFile(const QString& path, const QString& subject, const QByteArray& bytes) {
    PendingFile(path, subject, bytes).Commit();
}

} // namespace fileaccess
