#pragma once

#include <optional>
#include <string>

namespace sigrok {

// The file formats Spurwerk exchanges with other tools through libsigrok.
enum class ExchangeFormat { Session, Vcd, Csv };

// The format a file name's extension names (".sr", ".vcd", ".csv", any case).
std::optional<ExchangeFormat> FormatFromPath(const std::string& path);
// The extension without the dot, lower case: "sr", "vcd", "csv".
const char* FormatExtension(ExchangeFormat format);

} // namespace sigrok
