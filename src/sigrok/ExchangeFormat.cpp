#include "sigrok/ExchangeFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace sigrok {

std::optional<ExchangeFormat> FormatFromPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".sr") return ExchangeFormat::Session;
    if (ext == ".vcd") return ExchangeFormat::Vcd;
    if (ext == ".csv") return ExchangeFormat::Csv;
    return std::nullopt;
}

const char* FormatExtension(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::Session:
        return "sr";
    case ExchangeFormat::Vcd:
        return "vcd";
    case ExchangeFormat::Csv:
        return "csv";
    }
    return "";
}

} // namespace sigrok
