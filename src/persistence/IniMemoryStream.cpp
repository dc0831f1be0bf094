#include "persistence/IniMemoryStream.h"

#include <cstring>

void TIniMemoryStream::Seek(qsizetype position) {
    if (position < 0 || position > bytes_.size())
        throw EStreamReadError("Position " + std::to_string(position) +
                               " liegt außerhalb der Daten");
    position_ = position;
}

void TIniMemoryStream::Read(void* destination, qsizetype count) {
    if (count < 0 || count > Remaining())
        throw EStreamReadError("Lesefehler: an Byte " + std::to_string(position_) + " fehlen " +
                               std::to_string(count - Remaining()) + " Bytes");
    if (count > 0) std::memcpy(destination, Memory(), static_cast<std::size_t>(count));
    position_ += count;
}

std::uint8_t TIniMemoryStream::ReadByte() {
    std::uint8_t value = 0;
    Read(&value, 1);
    return value;
}

void TIniMemoryStream::Write(const void* source, qsizetype count) {
    if (count <= 0) return;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, source, static_cast<std::size_t>(count));
    position_ += count;
}

void WriteCompactInt(TIniMemoryStream& stream, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint32_t magnitude = value < 0 ? ~bits : bits;
    int n = 0;
    while (n < 4 && (magnitude >> (8 * n)) != 0)
        ++n;
    if (value < 0) {
        if (n == 0) n = 1;
        if (n < 4) n = -n;
    }
    // A four-byte value needs no length byte when its first byte cannot be
    // read as one (00..04 and FD..FF are length bytes).
    const std::uint32_t low = bits & 0xFF;
    if (!(n == 4 && low >= 5 && low <= 252)) stream.WriteByte(static_cast<std::uint8_t>(n));
    const int count = n < 0 ? -n : n;
    for (int i = 0; i < count; ++i)
        stream.WriteByte(static_cast<std::uint8_t>(bits >> (8 * i)));
}

std::int32_t ReadCompactInt(TIniMemoryStream& stream) {
    const std::uint8_t first = stream.ReadByte();
    std::uint32_t bits = 0;
    int count = 0;
    if (first <= 4) {
        count = first;
    } else if (first >= 0xFD) {
        bits = 0xFFFFFFFFu;
        count = 0x100 - first;
    } else {
        // No length byte: this is the lowest of the value's four bytes.
        bits = first;
        for (int i = 1; i < 4; ++i)
            bits |= std::uint32_t{stream.ReadByte()} << (8 * i);
        return static_cast<std::int32_t>(bits);
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t shift = 8 * static_cast<std::uint32_t>(i);
        bits = (bits & ~(0xFFu << shift)) | (std::uint32_t{stream.ReadByte()} << shift);
    }
    return static_cast<std::int32_t>(bits);
}

QByteArray EncodeCompactInt(std::int32_t value) {
    TIniMemoryStream stream;
    WriteCompactInt(stream, value);
    return stream.Bytes();
}
