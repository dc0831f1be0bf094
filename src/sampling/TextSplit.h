#pragma once

#include <string>
#include <vector>

namespace sampling {

// "a,b,,c" at ',' as "a", "b", "", "c": every separator makes a part, so an
// empty list item stays visible to the parser that must refuse it.
inline std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

} // namespace sampling
