#include "cli/AnnotationFilter.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace cli {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

bool NamesDecoder(const std::string& name, const sigrokdecode::DecoderInfo& info) {
    return name == info.id || name.rfind(info.id + "-", 0) == 0;
}

} // namespace

void AnnotationFilter::Add(const std::string& text) {
    for (const std::string& part : Split(text, ',')) {
        const auto eq = part.find('=');
        const std::string decoder = part.substr(0, eq);
        if (decoder.empty())
            throw std::invalid_argument("-A \"" + text + "\" nennt keinen Dekodierer.");
        if (eq == std::string::npos) {
            entries_.push_back({decoder, {}, false});
            continue;
        }
        for (const std::string& name : Split(part.substr(eq + 1), ':')) {
            if (name.empty())
                throw std::invalid_argument("-A \"" + text +
                                            "\" hat eine leere Annotationsklasse.");
            entries_.push_back({decoder, name, false});
        }
    }
}

std::string AnnotationFilter::Check(const std::vector<sigrokdecode::ResolvedStack>& stacks) {
    for (Entry& entry : entries_) {
        const sigrokdecode::DecoderInfo* info = nullptr;
        for (const auto& stack : stacks)
            for (const auto& decoder : stack)
                if (!info && NamesDecoder(entry.decoder, *decoder.info)) info = decoder.info;
        if (!info) return "Protokolldekodierer '" + entry.decoder + "' nicht gefunden.";
        if (entry.name.empty()) continue;
        entry.isClass = std::any_of(info->annotations.begin(), info->annotations.end(),
                                    [&](const auto& c) { return c.id == entry.name; });
        const bool isRow = std::any_of(info->rows.begin(), info->rows.end(),
                                       [&](const auto& r) { return r.id == entry.name; });
        if (!entry.isClass && !isRow)
            return "Annotation '" + entry.name + "' für Protokolldekodierer '" + entry.decoder +
                   "' nicht gefunden.";
    }
    return {};
}

bool AnnotationFilter::Shows(const sigrokdecode::AnnotationRow& row,
                             const sigrokdecode::Annotation& a) const {
    if (entries_.empty()) return row.topOfStack;
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
        if (e.isClass)
            return (e.decoder == row.instance || e.decoder == row.decoderId) && a.classId == e.name;
        return sigrokdecode::RowMatches(row, a, e.decoder, e.name);
    });
}

} // namespace cli
