#include "sigrok/VcdReader.h"

#include "front/SystemError.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/RegularFile.h"
#include "sigrok/SigrokError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace sigrok {

namespace {

// A value of a few megabits or a name of a megabyte is no VCD any more.
constexpr std::size_t MaxTokenBytes = 1 << 20;
constexpr std::uint64_t MaxVarWidth = 1 << 16;
constexpr std::size_t MaxChannels = 1 << 20;
constexpr std::size_t StreamBlockSamples = 1 << 16;

// Words of the file separated by white space, read in blocks.
class Tokens {
  public:
    Tokens(int fd, const std::string& path) : fd_(fd), path_(path), buffer_(1 << 16) {}

    // The next word, or false at the end of the file.
    bool Next(std::string& token) {
        token.clear();
        for (;;) {
            if (pos_ == end_ && !Fill()) return !token.empty();
            const char c = buffer_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
                if (c == '\n') ++line_;
                if (!token.empty()) return true;
                continue;
            }
            if (token.empty()) tokenLine_ = line_;
            // Take the rest of the word that lies in the buffer at once.
            std::size_t stop = pos_;
            while (stop < end_ && !std::isspace(static_cast<unsigned char>(buffer_[stop])))
                ++stop;
            token.append(buffer_.data() + pos_, stop - pos_);
            pos_ = stop;
            if (token.size() > MaxTokenBytes) Fail("ein Wort ist länger als 1 MiB");
        }
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw Error("Die Datei " + path_ + " ist keine lesbare VCD-Datei (Zeile " +
                    std::to_string(tokenLine_) + ": " + what + ").");
    }

  private:
    bool Fill() {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0)
                throw Error("Die Datei " + path_ +
                            " kann nicht gelesen werden: " + SystemErrorText(errno));
            pos_ = 0;
            end_ = static_cast<std::size_t>(n);
            return n > 0;
        }
    }

    int fd_;
    const std::string& path_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t line_ = 1;
    std::size_t tokenLine_ = 1; // where the last word began
};

struct Var {
    std::string scope; // "top.dut"
    std::string reference;
    std::string code;
    std::uint64_t width = 1;
    // Bit numbers of the first and the last bit as declared ("[7:0]": 7, 0).
    long left = 0;
    long right = 0;
    bool ranged = false;
    std::size_t firstChannel = 0;
};

bool IsSkippedType(const std::string& type) {
    static constexpr std::array<const char*, 11> skipped{
        "integer",   "int",      "shortint", "longint", "byte",  "real",
        "shortreal", "realtime", "time",     "event",   "string"};
    return std::any_of(skipped.begin(), skipped.end(), [&](const char* s) { return type == s; });
}

std::optional<long> Number(std::string_view text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "[7:0]" or "[3]"; false when the text is no range.
bool ParseRange(std::string_view text, Var& var) {
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
    text = text.substr(1, text.size() - 2);
    const auto colon = text.find(':');
    const auto left = Number(text.substr(0, colon));
    const auto right = colon == std::string_view::npos ? left : Number(text.substr(colon + 1));
    if (!left || !right) return false;
    var.left = *left;
    var.right = *right;
    var.ranged = true;
    return true;
}

// Picoseconds of "1ps", "10 ns", "100us"...; 0 when the text is no time scale
// this program can hold.
std::int64_t TimescalePicoseconds(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    const auto factor = Number(std::string_view(text).substr(0, digits));
    if (!factor || (*factor != 1 && *factor != 10 && *factor != 100)) return 0;
    const std::string unit = text.substr(digits);
    static const std::map<std::string, std::int64_t> perUnit{{"s", 1'000'000'000'000},
                                                             {"ms", 1'000'000'000},
                                                             {"us", 1'000'000},
                                                             {"ns", 1'000},
                                                             {"ps", 1}};
    if (unit == "fs") return *factor == 1000 ? 1 : 0;
    const auto it = perUnit.find(unit);
    return it == perUnit.end() ? 0 : *factor * it->second;
}

class VcdFile {
    struct Target {
        bool logic = false; // false: a skipped variable
        std::uint64_t width = 0;
        std::vector<std::pair<std::uint64_t, int>> bits; // bit of the value, buffer line
    };

  public:
    VcdFile(Tokens& tokens, const ImportOptions& options, SampleReceiver* receiver)
        : in_(tokens), options_(options), receiver_(receiver) {}

    ImportResult Read() {
        ReadHeader();
        Choose();
        AddHeadNotes();
        if (receiver_) receiver_->Begin(result_);
        ReadValues();
        if (receiver_) Flush();
        if (undefinedSeen_)
            result_.notes.push_back("Unbestimmte Werte (x, z) stehen als 0 im Puffer.");
        return std::move(result_);
    }

  private:
    // Reads words up to "$end" and joins them with blanks.
    std::string UntilEnd(const char* what) {
        std::string text;
        std::string word;
        for (;;) {
            if (!in_.Next(word)) in_.Fail(std::string(what) + " ohne $end");
            if (word == "$end") return text;
            if (!text.empty()) text += ' ';
            if (text.size() < 4096) text += word;
        }
    }

    void ReadHeader() {
        std::string word;
        std::vector<std::string> scopes;
        for (;;) {
            if (!in_.Next(word)) in_.Fail("die Datei endet vor $enddefinitions");
            if (word == "$enddefinitions") {
                UntilEnd("$enddefinitions");
                break;
            }
            if (word == "$timescale") {
                std::string text = UntilEnd("$timescale");
                text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
                const std::int64_t ps = TimescalePicoseconds(text);
                if (ps == 0) in_.Fail("Zeitskala \"" + text + "\" unbekannt oder unter 1 ps");
                periodPs_ = ps;
            } else if (word == "$scope") {
                std::string text = UntilEnd("$scope");
                const auto blank = text.find(' ');
                scopes.push_back(blank == std::string::npos ? text : text.substr(blank + 1));
            } else if (word == "$upscope") {
                UntilEnd("$upscope");
                if (scopes.empty()) in_.Fail("$upscope ohne $scope");
                scopes.pop_back();
            } else if (word == "$var") {
                ReadVar(scopes);
            } else if (word.size() > 1 && word[0] == '$') {
                UntilEnd(word.c_str()); // $date, $version, $comment and their kin
            } else {
                in_.Fail("\"" + word.substr(0, 40) + "\" gehört nicht in den Kopf einer VCD-Datei");
            }
        }
        if (channelCount_ == 0) in_.Fail("keine Logiksignale");
    }

    void ReadVar(const std::vector<std::string>& scopes) {
        std::vector<std::string> parts;
        std::string word;
        for (;;) {
            if (!in_.Next(word)) in_.Fail("$var ohne $end");
            if (word == "$end") break;
            if (parts.size() < 8) parts.push_back(word);
        }
        if (parts.size() < 4 || parts.size() > 5)
            in_.Fail("$var braucht Typ, Breite, Kürzel und Namen");
        Var var;
        const auto width = Number(parts[1]);
        if (!width || *width < 1 || std::uint64_t(*width) > MaxVarWidth)
            in_.Fail("Breite \"" + parts[1] + "\" ungültig");
        var.width = std::uint64_t(*width);
        var.code = parts[2];
        var.reference = parts[3];
        for (const auto& scope : scopes)
            var.scope += (var.scope.empty() ? "" : ".") + scope;
        if (parts.size() == 5) {
            if (!ParseRange(parts[4], var)) in_.Fail("Bereich \"" + parts[4] + "\" ungültig");
        } else if (const auto open = var.reference.find('[');
                   open != std::string::npos && open > 0) {
            Var ranged = var;
            if (ParseRange(std::string_view(var.reference).substr(open), ranged)) {
                ranged.reference = var.reference.substr(0, open);
                var = ranged;
            }
        }
        if (IsSkippedType(parts[0])) {
            skipped_.push_back((var.scope.empty() ? "" : var.scope + ".") + var.reference + " (" +
                               parts[0] + ")");
            codes_.try_emplace(var.code); // values of it are read and dropped
            return;
        }
        if (var.ranged && std::uint64_t(std::labs(var.left - var.right)) + 1 != var.width)
            in_.Fail("Bereich und Breite von " + var.reference + " passen nicht zusammen");
        if (!var.ranged) {
            var.left = long(var.width) - 1;
            var.right = 0;
        }
        var.firstChannel = channelCount_;
        channelCount_ += var.width;
        if (channelCount_ > MaxChannels) in_.Fail("mehr als 1.048.576 Logiksignale");
        vars_.push_back(std::move(var));
    }

    // Names every channel, chooses the ones for the buffer and says for each
    // code which of its bits land on which line.
    void Choose() {
        std::vector<std::string> names;
        names.reserve(channelCount_);
        std::vector<std::size_t> varOfChannel;
        for (std::size_t v = 0; v < vars_.size(); ++v) {
            const Var& var = vars_[v];
            const long step = var.left >= var.right ? -1 : 1;
            for (std::uint64_t k = 0; k < var.width; ++k) {
                names.push_back(var.ranged || var.width > 1
                                    ? var.reference + "[" +
                                          std::to_string(var.left + step * long(k)) + "]"
                                    : var.reference);
                varOfChannel.push_back(v);
            }
        }
        // A name that occurs twice gets its scope path.
        std::unordered_map<std::string, int> seen;
        for (const auto& name : names)
            ++seen[name];
        for (std::size_t c = 0; c < names.size(); ++c) {
            const Var& var = vars_[varOfChannel[c]];
            if (seen[names[c]] > 1 && !var.scope.empty()) names[c] = var.scope + "." + names[c];
        }
        result_.taken = ChooseChannels(options_.channels, names);
        for (const int c : result_.taken)
            result_.frames.names.push_back(names[std::size_t(c)]);
        result_.fileChannels = std::move(names);

        std::vector<int> lineOfChannel(channelCount_, -1);
        for (std::size_t line = 0; line < result_.taken.size(); ++line)
            lineOfChannel[std::size_t(result_.taken[line])] = int(line);
        for (const Var& var : vars_) {
            Target& target = codes_[var.code];
            target.logic = true;
            target.width = std::max(target.width, var.width);
            LineGroup group;
            for (std::uint64_t k = 0; k < var.width; ++k) {
                const int line = lineOfChannel[var.firstChannel + k];
                if (line < 0) continue;
                // Channel k of a vector is its bit width-1-k.
                target.bits.push_back({var.width - 1 - k, line});
                group.lines.push_back(line);
            }
            if (var.width > 1 && !group.lines.empty()) {
                group.name = result_.fileChannels[var.firstChannel];
                group.name.erase(group.name.rfind('['));
                result_.buses.push_back(std::move(group));
            }
        }
    }

    // The level of one digit of a value.
    bool High(char value) {
        switch (value) {
        case '1':
        case 'h':
        case 'H':
            return true;
        case '0':
        case 'l':
        case 'L':
            return false;
        case 'x':
        case 'X':
        case 'z':
        case 'Z':
        case 'u':
        case 'U':
        case 'w':
        case 'W':
        case '-':
            undefinedSeen_ = true;
            return false;
        default:
            in_.Fail(std::string("Wert '") + value + "' unbekannt");
        }
    }

    void Apply(int line, bool high) {
        word_ = std::uint16_t(high ? word_ | (1u << line) : word_ & ~(1u << line));
    }

    const Target& Find(const std::string& code) {
        const auto it = codes_.find(code);
        if (it == codes_.end())
            in_.Fail("Kürzel \"" + code.substr(0, 40) + "\" ist nicht deklariert");
        return it->second;
    }

    void Vector(const std::string& value, const std::string& code) {
        const Target& target = Find(code);
        const std::size_t n = value.size();
        if (n == 0) in_.Fail("Vektorwert ohne Ziffern");
        for (const char c : value)
            High(c); // every digit must be one
        if (!target.logic) return;
        // Missing leading bits are 0 (x and z extend as x and z, which read as 0).
        for (const auto& [bit, line] : target.bits)
            Apply(line, bit < n && High(value[n - 1 - std::size_t(bit)]));
    }

    bool Emit(std::uint64_t count) {
        if (receiver_) {
            // A long pause of the dump is many samples: handed on block by block.
            while (count > 0) {
                const auto n =
                    std::size_t(std::min<std::uint64_t>(count, StreamBlockSamples - block_.size()));
                block_.insert(block_.end(), n, word_);
                count -= n;
                if (block_.size() == StreamBlockSamples) Flush();
            }
            return true;
        }
        auto& samples = result_.frames.samples;
        const std::size_t room = options_.maxSamples - samples.size();
        if (count > room) {
            result_.cut = true;
            count = room;
        }
        samples.insert(samples.end(), std::size_t(count), word_);
        return !result_.cut;
    }

    void Flush() {
        if (!block_.empty()) receiver_->Take(block_.data(), block_.size());
        block_.clear();
    }

    void ReadValues() {
        std::string word;
        std::string code;
        bool started = false;
        std::uint64_t now = 0;
        while (in_.Next(word)) {
            const char first = word[0];
            if (first == '#') {
                std::uint64_t time = 0;
                const auto [end, ec] =
                    std::from_chars(word.data() + 1, word.data() + word.size(), time);
                if (ec != std::errc() || end != word.data() + word.size() || word.size() == 1)
                    in_.Fail("Zeitmarke \"" + word.substr(0, 40) + "\" ungültig");
                if (started) {
                    if (time < now) in_.Fail("die Zeit läuft rückwärts");
                    if (!Emit(time - now)) return;
                }
                started = true;
                now = time;
            } else if (first == '$') {
                if (word == "$comment")
                    UntilEnd("$comment");
                else if (word != "$dumpvars" && word != "$dumpall" && word != "$dumpon" &&
                         word != "$dumpoff" && word != "$end")
                    in_.Fail("\"" + word.substr(0, 40) + "\" gehört nicht in die Werte");
            } else if (first == 'b' || first == 'B' || first == 'r' || first == 'R' ||
                       first == 's' || first == 'S') {
                if (!in_.Next(code)) in_.Fail("Wert ohne Kürzel");
                if (first == 'b' || first == 'B') {
                    Vector(word.substr(1), code);
                } else if (Find(code).logic) {
                    in_.Fail("Zahl oder Text für das Logiksignal \"" + code.substr(0, 40) + "\"");
                }
            } else {
                if (word.size() < 2) in_.Fail("Wert \"" + word + "\" ohne Kürzel");
                // A scalar change of a vector reads like a one-digit vector value.
                Vector(std::string(1, first), word.substr(1));
            }
        }
    }

    Tokens& in_;
    const ImportOptions& options_;
    SampleReceiver* receiver_;
    std::vector<std::uint16_t> block_; // samples not yet handed to receiver_
    ImportResult result_;
    std::vector<Var> vars_;
    std::unordered_map<std::string, Target> codes_;
    std::vector<std::string> skipped_;
    std::size_t channelCount_ = 0;
    std::int64_t periodPs_ = 0;
    std::uint16_t word_ = 0;
    bool undefinedSeen_ = false;

    void AddHeadNotes() {
        if (periodPs_ > 0)
            result_.frames.timeBase =
                sampling::TimeBase::Exact(sampling::SamplePeriod::FromPicoseconds(periodPs_));
        if (!skipped_.empty()) {
            std::string note = "Übersprungen, weil es keine Logiksignale sind: ";
            for (std::size_t i = 0; i < skipped_.size() && i < 10; ++i)
                note += (i ? ", " : "") + skipped_[i];
            if (skipped_.size() > 10)
                note += " und " + std::to_string(skipped_.size() - 10) + " weitere";
            result_.notes.push_back(note + ".");
        }
    }
};

} // namespace

ImportResult ReadVcd(const std::string& path, const ImportOptions& options) {
    const FileHandle file = OpenRegularFile(path, "Die Datei " + path);
    Tokens tokens(file.Get(), path);
    VcdFile vcd(tokens, options, nullptr);
    return vcd.Read();
}

ImportResult StreamVcd(const std::string& path, const ImportOptions& options,
                       SampleReceiver& receiver) {
    const FileHandle file = OpenRegularFile(path, "Die Datei " + path);
    Tokens tokens(file.Get(), path);
    VcdFile vcd(tokens, options, &receiver);
    return vcd.Read();
}

} // namespace sigrok
