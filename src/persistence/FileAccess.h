#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QSaveFile;

// Whole-file reads and writes for the program's own files. Both raise
// EFileError with a German message that begins with `subject` ("Die Datei",
// "Die Einstellungsdatei") and names the path.
namespace fileaccess {

// Reads a regular file of at most maxBytes. Anything else (a FIFO, a device,
// a directory) is refused before a byte is read, so a read can neither block
// nor run without end; the cap holds while reading, whatever size the file
// claimed. tooLarge is the message for a file above the cap.
QByteArray ReadRegularFile(const QString& path, const QString& subject, qint64 maxBytes,
                           const QString& tooLarge);
// The same into a plain byte vector: the bytes land where the caller keeps
// them, read once, never copied.
std::vector<std::uint8_t> ReadRegularFileBytes(const QString& path, const QString& subject,
                                               qint64 maxBytes, const QString& tooLarge);

// A file written but not yet in place: the constructor writes the bytes to a
// temporary file beside path (or, where none can be made there, into the file
// itself); Commit puts it in place. Dropped without Commit, the old file stays.
class PendingFile {
  public:
    PendingFile(const QString& path, const QString& subject, const QByteArray& bytes);
    // The same for content made piece by piece: next fills the piece and
    // answers false once there is none left. A long file so never exists in
    // memory whole.
    using Pieces = std::function<bool(QByteArray& piece)>;
    PendingFile(const QString& path, const QString& subject, const Pieces& next);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    void Commit();

  private:
    [[noreturn]] void Fail();

    QString path_;
    QString subject_;
    std::unique_ptr<QSaveFile> file_;
};

// Writes bytes to path. A temporary file beside it replaces the old file only
// once it is complete; where no file can be made in that folder but the file
// itself may be written, it is written in place. An existing path that is not
// a regular file is refused.
void WriteRegularFile(const QString& path, const QString& subject, const QByteArray& bytes);

} // namespace fileaccess
