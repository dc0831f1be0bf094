#pragma once

#include "sigrok/decode/AnnotationStore.h"
#include "sigrok/decode/Decode.h"
#include "sigrok/decode/Library.h"

#include <memory>
#include <string>
#include <vector>

// The decoder library starts once per test program (it embeds an interpreter
// that is meant to live as long as the process).
inline sigrokdecode::Library& TheLibrary() {
    static sigrokdecode::Library library;
    return library;
}

inline std::vector<std::string> NoLineNames() { return std::vector<std::string>(16); }

// Decodes planes with the stacks given in command-line form.
inline sigrokdecode::DecodeResult DecodeText(const std::vector<std::string>& stacks,
                                             const std::vector<std::uint8_t>& planes, std::uint64_t rateHz,
                                             const std::vector<std::string>& lineNames = NoLineNames()) {
    std::vector<sigrokdecode::ResolvedStack> resolved;
    for (const auto& s : stacks)
        resolved.push_back(sigrokdecode::Resolve(sigrokdecode::ParseStack(s), TheLibrary().Decoders(), lineNames));
    const std::size_t cells = planes.size() / 2;
    return sigrokdecode::RunDecoders(TheLibrary(), resolved, {planes.data(), planes.data() + cells, cells}, rateHz);
}

// The texts of one row or annotation class ("i2c", "addr-data"), in time order.
inline std::vector<std::string> RowTexts(const sigrokdecode::DecodeResult& r, const std::string& decoder,
                                         const std::string& rowOrClass) {
    std::vector<std::string> out;
    for (const auto& a : r.annotations)
        if (sigrokdecode::RowMatches(r.rows.at(a.row), a, decoder, rowOrClass)) out.push_back(a.Text());
    return out;
}

// The texts of one annotation class only.
inline std::vector<std::string> ClassTexts(const sigrokdecode::DecodeResult& r, const std::string& decoder,
                                           const std::string& classId) {
    std::vector<std::string> out;
    for (const auto& a : r.annotations)
        if (a.classId == classId && sigrokdecode::RowMatches(r.rows.at(a.row), a, decoder, ""))
            out.push_back(a.Text());
    return out;
}

// The same from the window's compact store.
inline std::vector<std::string> ClassTexts(const sigrokdecode::AnnotationSource& s, const std::string& decoder,
                                           const std::string& classId) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.Count(); ++i) {
        const auto a = s.At(i);
        const auto& row = s.Rows().at(std::size_t(a.row));
        if (s.ClassId(a) == classId && (row.instance == decoder || row.decoderId == decoder))
            out.emplace_back(s.Text(a));
    }
    return out;
}
