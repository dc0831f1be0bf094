#pragma once

#include <cstdint>
#include <cstring>

// The request protocol between TPortIO and the port driver: four control codes
// and a 12-byte little-endian request buffer. Every port system that plays the
// driver decodes exactly these bytes, so the component above never knows which
// one it talks to.

// Access width; the ordinal travels in the request buffer.
enum class TZLIOCode : std::uint32_t { ZLIO_BYTE = 0, ZLIO_WORD = 1, ZLIO_DWORD = 2 };

// Text command of the component; writing one executes it.
enum class TZLIOCMD { ZLIO_NONE = 0, ZLIO_READ = 1, ZLIO_WRITE = 2 };

namespace portio {

// The Windows CTL_CODE rule, kept so that codes stay those the driver expects.
constexpr std::uint32_t CtlCode(std::uint32_t deviceType, std::uint32_t function,
                                std::uint32_t method, std::uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

constexpr std::uint32_t DeviceType = 0x80FF;
constexpr std::uint32_t ReadCode = CtlCode(DeviceType, 1, 0, 0);
constexpr std::uint32_t WriteCode = CtlCode(DeviceType, 2, 0, 0);
constexpr std::uint32_t GrantCode = CtlCode(DeviceType, 3, 0, 0);
constexpr std::uint32_t RevokeCode = CtlCode(DeviceType, 4, 0, 0);

constexpr std::uint32_t RequestSize = 12;
constexpr std::uint32_t ReplySize = 4;

struct Request {
    std::uint32_t address = 0;
    std::uint32_t width = 0;
    std::uint32_t value = 0;
};

inline void PutLe32(std::uint8_t* at, std::uint32_t v) {
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
    at[2] = std::uint8_t(v >> 16);
    at[3] = std::uint8_t(v >> 24);
}

inline std::uint32_t GetLe32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

inline void EncodeRequest(const Request& r, std::uint8_t (&buffer)[RequestSize]) {
    PutLe32(buffer, r.address);
    PutLe32(buffer + 4, r.width);
    PutLe32(buffer + 8, r.value);
}

inline Request DecodeRequest(const std::uint8_t* buffer) {
    return {GetLe32(buffer), GetLe32(buffer + 4), GetLe32(buffer + 8)};
}

// Number of bytes an access of this width covers; unknown widths count as one
// byte, so a driver never reads or writes beyond what was asked.
constexpr int WidthBytes(std::uint32_t width) {
    return width == std::uint32_t(TZLIOCode::ZLIO_DWORD)  ? 4
           : width == std::uint32_t(TZLIOCode::ZLIO_WORD) ? 2
                                                          : 1;
}

constexpr std::uint32_t WidthMask(std::uint32_t width) {
    return width == std::uint32_t(TZLIOCode::ZLIO_DWORD)  ? 0xFFFFFFFFu
           : width == std::uint32_t(TZLIOCode::ZLIO_WORD) ? 0xFFFFu
                                                          : 0xFFu;
}

// Parallel-port registers, relative to the port's base address.
constexpr std::uint32_t DataOffset = 0;
constexpr std::uint32_t StatusOffset = 1;
constexpr std::uint32_t ControlOffset = 2;
constexpr std::uint32_t RegisterCount = 3;
// Control bit 5 turns the data lines into inputs on a bidirectional port.
constexpr std::uint8_t DirectionBit = 0x20;

} // namespace portio
