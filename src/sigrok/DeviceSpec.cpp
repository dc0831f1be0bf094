#include "sigrok/DeviceSpec.h"

#include "sampling/TextSplit.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace sigrok {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<DeviceSpec> ParseDeviceSpec(const std::string& text) {
    const std::vector<std::string> parts = sampling::SplitAt(text, ':');
    DeviceSpec spec;
    spec.driver = Trimmed(parts[0]);
    if (spec.driver.empty()) return std::nullopt;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t eq = parts[i].find('=');
        if (eq == std::string::npos) return std::nullopt;
        std::string key = Trimmed(parts[i].substr(0, eq));
        if (key.empty()) return std::nullopt;
        spec.options.emplace_back(std::move(key), Trimmed(parts[i].substr(eq + 1)));
    }
    return spec;
}

std::string DeviceSpecText(const DeviceSpec& spec) {
    std::string text = spec.driver;
    for (const auto& [key, value] : spec.options) text += ":" + key + "=" + value;
    return text;
}

std::optional<std::uint64_t> ParseQuantity(const std::string& raw) {
    std::string text = Trimmed(raw);
    if (text.size() >= 2) {
        const std::string tail = text.substr(text.size() - 2);
        if (tail == "Hz" || tail == "hz" || tail == "HZ") text = Trimmed(text.substr(0, text.size() - 2));
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t scale = 1;
    switch (text.back()) {
    case 'k': case 'K': scale = 1'000; break;
    case 'M': scale = 1'000'000; break;
    case 'G': case 'g': scale = 1'000'000'000; break;
    default: break;
    }
    if (scale != 1) text = Trimmed(text.substr(0, text.size() - 1));
    if (text.empty()) return std::nullopt;

    // Whole and fractional digits as integers, so "1.5G" stays exact.
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    std::uint64_t fractionScale = 1;
    bool inFraction = false;
    bool anyDigit = false;
    constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    for (const char c : text) {
        if (c == '.' || c == ',') {
            if (inFraction) return std::nullopt;
            inFraction = true;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        anyDigit = true;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (inFraction) {
            if (fractionScale > max / 10) return std::nullopt;
            fraction = fraction * 10 + digit;
            fractionScale *= 10;
        } else {
            if (whole > (max - digit) / 10) return std::nullopt;
            whole = whole * 10 + digit;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (whole > max / scale) return std::nullopt;
    if (fraction != 0 && (fraction > max / scale || (fraction * scale) % fractionScale != 0))
        return std::nullopt;
    const std::uint64_t value = whole * scale + fraction * scale / fractionScale;
    if (value == 0) return std::nullopt;
    return value;
}

bool SampleRates::Accepts(std::uint64_t hz) const {
    if (std::find(listed.begin(), listed.end(), hz) != listed.end()) return true;
    return step != 0 && hz >= low && hz <= high && (hz - low) % step == 0;
}

std::vector<std::uint64_t> SampleRates::Choices() const {
    std::vector<std::uint64_t> choices = listed;
    if (step != 0) {
        choices.push_back(low);
        for (std::uint64_t decade = 1;; decade *= 10) {
            for (const std::uint64_t m : {1, 2, 5}) {
                const std::uint64_t hz = decade * m;
                if (hz > low && hz < high && Accepts(hz)) choices.push_back(hz);
            }
            if (decade > high / 10) break;
        }
        choices.push_back(high);
    }
    std::sort(choices.begin(), choices.end());
    choices.erase(std::unique(choices.begin(), choices.end()), choices.end());
    return choices;
}

std::string RateText(std::uint64_t hz) {
    static constexpr struct {
        std::uint64_t scale;
        const char* unit;
    } units[] = {{1'000'000'000, "GHz"}, {1'000'000, "MHz"}, {1'000, "kHz"}, {1, "Hz"}};
    for (const auto& u : units) {
        if (hz < u.scale && u.scale != 1) continue;
        std::string text = std::to_string(hz / u.scale);
        std::uint64_t rest = hz % u.scale;
        if (rest != 0) {
            std::string digits = std::to_string(rest);
            digits = std::string(std::to_string(u.scale).size() - 1 - digits.size(), '0') + digits;
            while (!digits.empty() && digits.back() == '0') digits.pop_back();
            text += "," + digits;
        }
        return text + " " + u.unit;
    }
    return "0 Hz";
}

} // namespace sigrok
