#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// What the decoder library says about one protocol decoder, copied into plain
// values so that dialogs and the command line never touch the library's types.
namespace sigrokdecode {

// An option value is one of the three kinds the decoders declare.
using OptionValue = std::variant<std::string, std::int64_t, double>;

std::string OptionValueText(const OptionValue& value);

struct ChannelInfo {
    std::string id;   // "rx", "scl"
    std::string name; // "RX", "SCL"
    std::string desc;
    bool required = false;
};

struct OptionInfo {
    std::string id; // "baudrate"
    std::string desc;
    OptionValue def;
    std::vector<OptionValue> values; // empty: any value of the default's kind
};

struct AnnotationClassInfo {
    std::string id;
    std::string desc;
};

struct AnnotationRowInfo {
    std::string id;
    std::string desc;
    std::vector<int> classes;
};

struct DecoderInfo {
    std::string id; // "uart"
    std::string name;
    std::string longname;
    std::string desc;
    std::vector<std::string> inputs;  // "logic" for decoders reading lines
    std::vector<std::string> outputs; // what decoders stacked on this one read
    std::vector<ChannelInfo> channels; // required first, then the optional ones
    std::vector<OptionInfo> options;
    std::vector<AnnotationClassInfo> annotations;
    // As the decoder declares them; a decoder without rows gets one row per class.
    std::vector<AnnotationRowInfo> rows;

    bool ReadsLines() const;
    // True when `upper` may be stacked on this decoder.
    bool Feeds(const DecoderInfo& upper) const;
    const OptionInfo* FindOption(const std::string& optionId) const;
    const ChannelInfo* FindChannel(const std::string& channelId) const;
};

// The decoders, sorted by id.
using Catalogue = std::vector<DecoderInfo>;
const DecoderInfo* FindDecoder(const Catalogue& catalogue, const std::string& id);

} // namespace sigrokdecode
