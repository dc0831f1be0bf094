#pragma once

#include <QByteArray>
#include <cstdint>
#include <exception>
#include <string>

// Reading past the end of an image: the file is shorter than its contents
// announce, or announces more than it can hold.
class EStreamReadError : public std::exception {
  public:
    explicit EStreamReadError(std::string detail) : detail_(std::move(detail)) {}
    const char* what() const noexcept override { return detail_.c_str(); }

  private:
    std::string detail_;
};

// The whole image of a settings file while it is built or read. Every read is
// checked against the bytes really there, so a damaged file cannot make the
// reader run past its end.
class TIniMemoryStream {
  public:
    TIniMemoryStream() = default;
    explicit TIniMemoryStream(QByteArray bytes) : bytes_(std::move(bytes)) {}

    const QByteArray& Bytes() const { return bytes_; }
    QByteArray& Bytes() { return bytes_; }
    qsizetype Size() const { return bytes_.size(); }
    qsizetype Position() const { return position_; }
    void Seek(qsizetype position);

    // The byte at the current position, and how many bytes follow it.
    const char* Memory() const { return bytes_.constData() + position_; }
    qsizetype Remaining() const { return bytes_.size() - position_; }

    void Read(void* destination, qsizetype count);
    std::uint8_t ReadByte();

    // Writes at the position, overwriting and extending as needed.
    void Write(const void* source, qsizetype count);
    void WriteByte(std::uint8_t value) { Write(&value, 1); }

  private:
    QByteArray bytes_;
    qsizetype position_ = 0;
};

// The store's compact form of a signed 32-bit integer: a length byte and the
// significant low bytes, or, for large values whose low byte cannot be
// mistaken for a length, the four bytes alone.
void WriteCompactInt(TIniMemoryStream& stream, std::int32_t value);
std::int32_t ReadCompactInt(TIniMemoryStream& stream);
QByteArray EncodeCompactInt(std::int32_t value);
