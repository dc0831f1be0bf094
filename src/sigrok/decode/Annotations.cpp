#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/AnnotationStore.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace sigrokdecode {
namespace {

std::size_t Utf8Length(const std::string& s) {
    return std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

std::string SecondsText(const sampling::TimeBase& tb, std::uint64_t sample, char decimal) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9f", tb.SecondsAt(static_cast<std::int64_t>(sample)));
    std::string s = text;
    std::replace(s.begin(), s.end(), '.', decimal);
    return s;
}

std::string CsvField(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

} // namespace

const std::string& Annotation::Text() const {
    static const std::string empty;
    return texts.empty() ? empty : texts.front();
}

std::string Annotation::TextFitting(std::size_t maxChars) const {
    const std::string* best = nullptr;
    for (const auto& t : texts)
        if (Utf8Length(t) <= maxChars && (!best || Utf8Length(t) > Utf8Length(*best))) best = &t;
    return best ? *best : std::string();
}

void DecodeResult::SortByTime() {
    std::stable_sort(annotations.begin(), annotations.end(), [](const Annotation& a, const Annotation& b) {
        if (a.start != b.start) return a.start < b.start;
        return a.row < b.row;
    });
}

std::vector<int> DecodeResult::UsedRows() const {
    std::set<int> used;
    for (const auto& a : annotations) used.insert(a.row);
    return {used.begin(), used.end()};
}

bool RowMatches(const AnnotationRow& row, const Annotation& a, const std::string& decoder,
                const std::string& rowOrClass) {
    if (decoder != row.instance && decoder != row.decoderId) return false;
    return rowOrClass.empty() || rowOrClass == row.rowId || rowOrClass == a.classId;
}

std::string AnnotationLine(const DecodeResult& result, const Annotation& a) {
    return result.rows.at(a.row).instance + ": " + a.Text();
}

std::string ExportText(const AnnotationSource& annotations, const sampling::TimeBase& timeBase) {
    std::string out = "Start (s)\tEnde (s)\tDekodierer\tZeile\tText\n";
    for (std::size_t i = 0; i < annotations.Count(); ++i) {
        const AnnotationRef a = annotations.At(i);
        const auto& row = annotations.Rows().at(std::size_t(a.row));
        out += SecondsText(timeBase, a.start, ',') + '\t' + SecondsText(timeBase, a.end, ',') + '\t' +
               row.instance + '\t' + row.rowDesc + '\t';
        out += annotations.Text(a);
        out += '\n';
    }
    return out;
}

std::string ExportCsv(const AnnotationSource& annotations, const sampling::TimeBase& timeBase) {
    std::string out = "start_s,end_s,start_sample,end_sample,decoder,row,text\n";
    for (std::size_t i = 0; i < annotations.Count(); ++i) {
        const AnnotationRef a = annotations.At(i);
        const auto& row = annotations.Rows().at(std::size_t(a.row));
        out += SecondsText(timeBase, a.start, '.') + ',' + SecondsText(timeBase, a.end, '.') + ',' +
               std::to_string(a.start) + ',' + std::to_string(a.end) + ',' + CsvField(row.instance) + ',' +
               CsvField(row.rowId) + ',' + CsvField(std::string(annotations.Text(a))) + '\n';
    }
    return out;
}

} // namespace sigrokdecode
