#include "sampling/CaptureLength.h"

#include <algorithm>
#include <cctype>

namespace sampling {

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && std::isspace(static_cast<unsigned char>(text[from])))
        ++from;
    while (to > from && std::isspace(static_cast<unsigned char>(text[to - 1])))
        --to;
    return text.substr(from, to - from);
}

// "1,5" or "1.5" as thousandths; nullopt for anything but digits with one
// decimal sign and at most three places after it.
std::optional<std::uint64_t> Thousandths(const std::string& number) {
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    int places = -1; // none yet
    bool digits = false;
    for (const char c : number) {
        if (c == '.' || c == ',') {
            if (places >= 0) return std::nullopt;
            places = 0;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digits = true;
        if (places >= 0) {
            if (++places > 3) return std::nullopt;
            fraction = fraction * 10 + std::uint64_t(c - '0');
        } else {
            if (whole > 1'000'000'000'000) return std::nullopt;
            whole = whole * 10 + std::uint64_t(c - '0');
        }
    }
    if (!digits) return std::nullopt;
    for (int p = std::max(places, 0); p < 3; ++p)
        fraction *= 10;
    return whole * 1000 + fraction;
}

} // namespace

std::optional<std::uint64_t> ParseDuration(const std::string& text) {
    const std::string trimmed = Trimmed(text);
    struct Unit {
        const char* suffix;
        std::uint64_t microseconds; // per unit
    };
    // Longer suffixes first: "ms" before "s".
    static constexpr Unit units[] = {{"ms", 1000}, {"us", 1}, {"µs", 1}, {"s", 1'000'000}};
    std::string number = trimmed;
    std::uint64_t per = 1000; // a bare number counts milliseconds
    for (const Unit& unit : units) {
        const std::string suffix = unit.suffix;
        if (trimmed.size() > suffix.size() &&
            trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0) {
            number = Trimmed(trimmed.substr(0, trimmed.size() - suffix.size()));
            per = unit.microseconds;
            break;
        }
    }
    const std::optional<std::uint64_t> thousandths = Thousandths(number);
    if (!thousandths) return std::nullopt;
    const std::uint64_t microseconds = *thousandths * per / 1000;
    constexpr std::uint64_t kDay = 86'400ull * 1'000'000;
    if (microseconds == 0 || microseconds > kDay) return std::nullopt;
    return microseconds;
}

std::optional<int> ParsePercent(const std::string& text) {
    std::string number = Trimmed(text);
    if (!number.empty() && number.back() == '%')
        number = Trimmed(number.substr(0, number.size() - 1));
    if (number.empty() || number.size() > 2) return std::nullopt;
    int value = 0;
    for (const char c : number) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::uint64_t CellsForDuration(std::uint64_t rateHz, std::uint64_t microseconds) {
    // Split so that a day at 1 GHz does not overflow.
    const std::uint64_t seconds = microseconds / 1'000'000;
    const std::uint64_t rest = microseconds % 1'000'000;
    return rateHz * seconds + (rateHz * rest + 999'999) / 1'000'000;
}

} // namespace sampling
