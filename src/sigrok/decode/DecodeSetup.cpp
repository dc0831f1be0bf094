#include "sigrok/decode/DecodeSetup.h"

#include "sigrok/decode/DecodeError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace sigrokdecode {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string KindText(const OptionValue& v) {
    if (std::holds_alternative<std::int64_t>(v)) return "eine ganze Zahl";
    if (std::holds_alternative<double>(v)) return "eine Zahl";
    return "ein Text";
}

// A value text in the kind of the option's default, or nullopt when it is not one.
std::optional<OptionValue> ParseValue(const std::string& text, const OptionValue& like) {
    if (std::holds_alternative<std::string>(like)) return OptionValue(text);
    if (std::holds_alternative<std::int64_t>(like)) {
        std::int64_t v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return OptionValue(v);
    }
    // Accept the German decimal comma as well as the point.
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size()) return std::nullopt;
    return OptionValue(v);
}

std::string AllowedText(const std::vector<OptionValue>& values) {
    std::string s;
    for (const auto& v : values) s += (s.empty() ? "" : ", ") + OptionValueText(v);
    return s;
}

std::string NamesText(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

ResolvedDecoder ResolveOne(const DecoderSetup& setup, const DecoderInfo& info,
                           const std::vector<std::string>& lineNames, LineNaming naming) {
    ResolvedDecoder out;
    out.info = &info;
    const std::string who = "Dekodierer " + info.id + ": ";
    for (const auto& [name, value] : setup.settings) {
        if (const ChannelInfo* ch = info.FindChannel(name)) {
            const int line = FindLine(value, lineNames, naming);
            if (line < 0 && naming == LineNaming::ExactNames)
                throw DecodeError(who + "Kanal " + ch->name +
                                  " - die Aufzeichnung hat keinen Kanal " + Quoted(value) +
                                  " (ihre Kanäle: " + NamesText(lineNames) + ").");
            if (line < 0)
                throw DecodeError(who + "Kanal " + ch->name + " - die Leitung " + Quoted(value) +
                                  " gibt es nicht (D00 bis D15 oder ein Leitungsname).");
            out.channels.emplace_back(name, line);
        } else if (const OptionInfo* opt = info.FindOption(name)) {
            const auto parsed = ParseValue(value, opt->def);
            if (!parsed)
                throw DecodeError(who + "ungültiger Wert " + Quoted(value) + " für Option " + name +
                                  " (erwartet wird " + KindText(opt->def) + ").");
            if (!opt->values.empty() &&
                std::find(opt->values.begin(), opt->values.end(), *parsed) == opt->values.end())
                throw DecodeError(who + "ungültiger Wert " + Quoted(value) + " für Option " + name +
                                  " (erlaubt: " + AllowedText(opt->values) + ").");
            out.options.emplace_back(name, *parsed);
        } else {
            throw DecodeError(who + "kennt weder einen Kanal noch eine Option " + Quoted(name) + ".");
        }
    }
    for (const auto& ch : info.channels) {
        if (!ch.required) continue;
        const bool set = std::any_of(out.channels.begin(), out.channels.end(),
                                     [&](const auto& c) { return c.first == ch.id; });
        if (!set)
            throw DecodeError(who + "Kanal " + ch.name + " (" + ch.id +
                              ") ist keiner Leitung zugeordnet.");
    }
    return out;
}

} // namespace

DecoderStack ParseStack(const std::string& text) {
    DecoderStack stack;
    for (const auto& decoderText : Split(text, ',')) {
        const auto parts = Split(decoderText, ':');
        DecoderSetup setup;
        setup.id = parts.empty() ? std::string() : Trim(parts.front());
        if (setup.id.empty())
            throw DecodeError("Dekodierer ohne Namen in " + Quoted(text) + ".");
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const auto eq = parts[i].find('=');
            if (eq == std::string::npos || Trim(parts[i].substr(0, eq)).empty())
                throw DecodeError("Dekodierer " + setup.id + ": " + Quoted(parts[i]) +
                                  " hat nicht die Form name=wert.");
            setup.settings.emplace_back(Trim(parts[i].substr(0, eq)), Trim(parts[i].substr(eq + 1)));
        }
        stack.push_back(std::move(setup));
    }
    if (stack.empty()) throw DecodeError("Kein Dekodierer angegeben.");
    return stack;
}

std::string StackText(const DecoderStack& stack) {
    std::string text;
    for (const auto& d : stack) {
        if (!text.empty()) text += ',';
        text += d.id;
        for (const auto& [name, value] : d.settings) text += ':' + name + '=' + value;
    }
    return text;
}

int FindLine(const std::string& text, const std::vector<std::string>& lineNames,
             LineNaming naming) {
    const std::string t = Trim(text);
    if (t.empty()) return -1;
    const int lines = int(std::min<std::size_t>(lineNames.size(), 16));
    for (int i = 0; i < lines; ++i)
        if (!lineNames[std::size_t(i)].empty() && lineNames[std::size_t(i)] == t) return i;
    if (naming == LineNaming::ExactNames) return -1;
    if ((t[0] == 'D' || t[0] == 'd') && t.size() >= 2 && t.size() <= 3 &&
        std::all_of(t.begin() + 1, t.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const int line = std::stoi(t.substr(1));
        if (line < lines) return line;
    }
    return -1;
}

ResolvedStack Resolve(const DecoderStack& stack, const Catalogue& catalogue,
                      const std::vector<std::string>& lineNames, LineNaming naming) {
    ResolvedStack out;
    for (const auto& setup : stack) {
        const DecoderInfo* info = FindDecoder(catalogue, setup.id);
        if (!info) throw DecodeError("Unbekannter Dekodierer " + Quoted(setup.id) + ".");
        if (out.empty() && !info->ReadsLines())
            throw DecodeError("Dekodierer " + info->id +
                              " liest keine Leitungen; er braucht einen Dekodierer darunter.");
        if (!out.empty() && !out.back().info->Feeds(*info))
            throw DecodeError("Dekodierer " + info->id + " kann nicht auf " + out.back().info->id +
                              " aufsetzen.");
        out.push_back(ResolveOne(setup, *info, lineNames, naming));
    }
    return out;
}

} // namespace sigrokdecode
