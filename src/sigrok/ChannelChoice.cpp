#include "sigrok/ChannelChoice.h"

#include "sigrok/SigrokError.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>

namespace sigrok {

namespace {

// "D16" -> {"D", "16", ""}, "bus[3]" -> {"bus[", "3", "]"}: the last run of digits.
struct Numbered {
    std::string stem;
    std::string digits;
    std::string tail;
};

std::optional<Numbered> SplitNumber(const std::string& name) {
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    const auto last = std::find_if(name.rbegin(), name.rend(), isDigit);
    if (last == name.rend()) return std::nullopt;
    const auto end = last.base();
    auto begin = end;
    while (begin != name.begin() && isDigit(*(begin - 1)))
        --begin;
    if (end - begin > 9) return std::nullopt;
    return Numbered{std::string(name.begin(), begin), std::string(begin, end),
                    std::string(end, name.end())};
}

std::string WithNumber(const Numbered& form, long number, std::size_t width) {
    std::string digits = std::to_string(number);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return form.stem + digits + form.tail;
}

// The names a range "A-B" stands for, or nothing when the text is no range.
std::optional<std::vector<std::string>> ExpandRange(const std::string& text) {
    const auto dash = text.find('-');
    if (dash == std::string::npos || text.find('-', dash + 1) != std::string::npos)
        return std::nullopt;
    const auto from = SplitNumber(text.substr(0, dash));
    const auto to = SplitNumber(text.substr(dash + 1));
    if (!from || !to || from->stem != to->stem || from->tail != to->tail) return std::nullopt;
    const long a = std::stol(from->digits);
    const long b = std::stol(to->digits);
    // "D00-D15" keeps its zeros; "D8-D15" has none to keep.
    const std::size_t width =
        from->digits.size() > 1 && from->digits[0] == '0' ? from->digits.size() : 0;
    std::vector<std::string> names;
    const long step = a <= b ? 1 : -1;
    for (long n = a;; n += step) {
        names.push_back(WithNumber(*from, n, width));
        if (n == b || names.size() > 256) break;
    }
    return names;
}

std::string Listed(const std::vector<std::string>& names) {
    std::ostringstream out;
    for (std::size_t i = 0; i < names.size() && i < 40; ++i)
        out << (i ? ", " : "") << names[i];
    if (names.size() > 40) out << ", ...";
    return out.str();
}

// `missing` words the fault of a name that is not there: a file's channels
// differ from a device's lines.
std::vector<int> Choose(const std::vector<std::string>& wanted,
                        const std::vector<std::string>& fileChannels,
                        std::string (*missing)(const std::string& name)) {
    std::vector<int> chosen;
    if (wanted.empty()) {
        const int count = std::min<int>(MaxImportLines, static_cast<int>(fileChannels.size()));
        for (int i = 0; i < count; ++i)
            chosen.push_back(i);
        return chosen;
    }
    const auto indexOf = [&](const std::string& name) {
        const auto it = std::find(fileChannels.begin(), fileChannels.end(), name);
        return it == fileChannels.end() ? -1 : static_cast<int>(it - fileChannels.begin());
    };
    for (const std::string& part : wanted) {
        std::vector<std::string> names{part};
        if (indexOf(part) < 0)
            if (auto range = ExpandRange(part)) names = std::move(*range);
        for (const std::string& name : names) {
            const int index = indexOf(name);
            if (index < 0) throw Error(missing(name) + Listed(fileChannels) + ".");
            if (std::find(chosen.begin(), chosen.end(), index) != chosen.end())
                throw Error("Der Kanal \"" + name + "\" ist doppelt gewählt.");
            chosen.push_back(index);
        }
    }
    if (chosen.size() > static_cast<std::size_t>(MaxImportLines))
        throw Error("Gewählt sind " + std::to_string(chosen.size()) +
                    " Kanäle; der Puffer hat nur 16 Leitungen.");
    return chosen;
}

} // namespace

std::vector<std::string> SplitChannelList(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ','))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::vector<int> ChooseChannels(const std::vector<std::string>& wanted,
                                const std::vector<std::string>& fileChannels) {
    return Choose(wanted, fileChannels, [](const std::string& name) {
        return "Die Datei hat keinen Kanal \"" + name + "\". Ihre Kanäle: ";
    });
}

std::uint16_t ChooseLines(const std::string& text, const std::vector<std::string>& names) {
    const std::vector<std::string> wanted = SplitChannelList(text);
    if (wanted.empty()) throw Error("Es ist kein Kanal angegeben.");
    std::uint16_t lines = 0;
    for (const int line : Choose(wanted, names, [](const std::string& name) {
             return "Den Kanal \"" + name + "\" gibt es nicht. Die Kanäle: ";
         }))
        lines |= std::uint16_t(1u << line);
    return lines;
}

} // namespace sigrok
