#include "sigrok/decode/DecoderInfo.h"

#include <algorithm>
#include <cstdio>

namespace sigrokdecode {

std::string OptionValueText(const OptionValue& value) {
    if (const auto* s = std::get_if<std::string>(&value)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::get<double>(value));
    return text;
}

bool DecoderInfo::ReadsLines() const {
    return std::find(inputs.begin(), inputs.end(), "logic") != inputs.end();
}

bool DecoderInfo::Feeds(const DecoderInfo& upper) const {
    for (const auto& out : outputs)
        if (std::find(upper.inputs.begin(), upper.inputs.end(), out) != upper.inputs.end()) return true;
    return false;
}

const OptionInfo* DecoderInfo::FindOption(const std::string& optionId) const {
    for (const auto& o : options)
        if (o.id == optionId) return &o;
    return nullptr;
}

const ChannelInfo* DecoderInfo::FindChannel(const std::string& channelId) const {
    for (const auto& c : channels)
        if (c.id == channelId) return &c;
    return nullptr;
}

const DecoderInfo* FindDecoder(const Catalogue& catalogue, const std::string& id) {
    for (const auto& d : catalogue)
        if (d.id == id) return &d;
    return nullptr;
}

} // namespace sigrokdecode
