#include "sampling/Trigger.h"

#include "sampling/TextSplit.h"

#include <algorithm>
#include <charconv>

namespace sampling {

namespace {

std::optional<TriggerMatch> MatchFor(char letter) {
    switch (letter) {
    case '0':
        return TriggerMatch::Low;
    case '1':
        return TriggerMatch::High;
    case 'r':
        return TriggerMatch::Rising;
    case 'f':
        return TriggerMatch::Falling;
    case 'e':
        return TriggerMatch::Edge;
    default:
        return std::nullopt;
    }
}

int LineNamed(const std::string& name, const std::vector<std::string>& names) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() || it - names.begin() >= 16 ? -1 : int(it - names.begin());
}

// "D12" as ("D", 12); nullopt without a number at the end.
std::optional<std::pair<std::string, int>> PrefixAndNumber(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    if (digits == name.size() || name.size() - digits > 4) return std::nullopt;
    int number = 0;
    std::from_chars(name.data() + digits, name.data() + name.size(), number);
    return std::pair{name.substr(0, digits), number};
}

} // namespace

std::uint16_t Trigger::Lines() const {
    std::uint16_t lines = 0;
    for (const TriggerStage& stage : stages)
        for (const TriggerCondition& c : stage)
            lines |= std::uint16_t(1u << c.line);
    return lines;
}

char TriggerLetter(TriggerMatch match) {
    switch (match) {
    case TriggerMatch::Low:
        return '0';
    case TriggerMatch::High:
        return '1';
    case TriggerMatch::Rising:
        return 'r';
    case TriggerMatch::Falling:
        return 'f';
    case TriggerMatch::Edge:
        return 'e';
    }
    return '?';
}

std::optional<Trigger> ParseTrigger(const std::string& text, const std::vector<std::string>& names,
                                    std::string& error) {
    Trigger trigger;
    if (text.empty()) {
        error = "Der Trigger ist leer.";
        return std::nullopt;
    }
    for (const std::string& part : SplitAt(text, ',')) {
        const std::size_t eq = part.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == part.size()) {
            error = "Die Triggerangabe \"" + part + "\" hat nicht die Form KANAL=BEDINGUNG.";
            return std::nullopt;
        }
        const std::string name = part.substr(0, eq);
        const int line = LineNamed(name, names);
        if (line < 0) {
            error = "Den Kanal \"" + name + "\" gibt es nicht.";
            return std::nullopt;
        }
        const std::string letters = part.substr(eq + 1);
        for (std::size_t stage = 0; stage < letters.size(); ++stage) {
            const std::optional<TriggerMatch> match = MatchFor(letters[stage]);
            if (!match) {
                error = std::string("Die Triggerbedingung \"") + letters[stage] +
                        "\" gibt es nicht (0, 1, r, f, e).";
                return std::nullopt;
            }
            if (trigger.stages.size() <= stage) trigger.stages.resize(stage + 1);
            TriggerStage& conditions = trigger.stages[stage];
            if (std::any_of(conditions.begin(), conditions.end(),
                            [&](const TriggerCondition& c) { return c.line == line; })) {
                error = "Der Kanal \"" + name + "\" steht zweimal im Trigger.";
                return std::nullopt;
            }
            conditions.push_back({line, *match});
        }
    }
    // In line order, so that equal triggers compare equal however written.
    for (TriggerStage& stage : trigger.stages)
        std::sort(
            stage.begin(), stage.end(),
            [](const TriggerCondition& a, const TriggerCondition& b) { return a.line < b.line; });
    return trigger;
}

std::string TriggerText(const Trigger& trigger, const std::vector<std::string>& names) {
    // Per line its letters stage by stage; a line without a condition in an
    // earlier stage cannot be written, which the parser never produces.
    std::string text;
    for (int line = 0; line < 16; ++line) {
        std::string letters;
        for (const TriggerStage& stage : trigger.stages)
            for (const TriggerCondition& c : stage)
                if (c.line == line) letters += TriggerLetter(c.match);
        if (letters.empty()) continue;
        if (!text.empty()) text += ',';
        text += (std::size_t(line) < names.size() ? names[std::size_t(line)]
                                                  : "D" + std::to_string(line)) +
                "=" + letters;
    }
    return text;
}

std::string LineListText(std::uint16_t lines, const std::vector<std::string>& names) {
    const auto name = [&](int line) {
        return std::size_t(line) < names.size() ? names[std::size_t(line)]
                                                : "D" + std::to_string(line);
    };
    std::string text;
    for (int line = 0; line < 16;) {
        if (!(lines & (1u << line))) {
            ++line;
            continue;
        }
        int end = line;
        // A run goes on while the next line is named as the next number.
        const auto start = PrefixAndNumber(name(line));
        while (start && end + 1 < 16 && (lines & (1u << (end + 1))) &&
               PrefixAndNumber(name(end + 1)) ==
                   std::pair{start->first, start->second + (end + 1 - line)})
            ++end;
        if (!text.empty()) text += ',';
        text += name(line);
        if (end > line + 1)
            text += "-" + name(end);
        else if (end == line + 1)
            text += "," + name(end);
        line = end + 1;
    }
    return text;
}

std::vector<std::string> UsualLineNames() {
    std::vector<std::string> names;
    for (int line = 0; line < 16; ++line)
        names.push_back("D" + std::to_string(line));
    return names;
}

TriggerWatch::TriggerWatch(Trigger trigger, std::size_t before)
    : trigger_(std::move(trigger)), before_(before) {
    ring_.reserve(std::min<std::size_t>(before_, std::size_t(1) << 20));
}

bool TriggerWatch::Matches(const TriggerStage& stage, std::uint16_t word) const {
    for (const TriggerCondition& c : stage) {
        const bool now = (word >> c.line) & 1u;
        const bool changed = previous_ && (((*previous_ ^ word) >> c.line) & 1u);
        switch (c.match) {
        case TriggerMatch::Low:
            if (now) return false;
            break;
        case TriggerMatch::High:
            if (!now) return false;
            break;
        case TriggerMatch::Rising:
            if (!now || !changed) return false;
            break;
        case TriggerMatch::Falling:
            if (now || !changed) return false;
            break;
        case TriggerMatch::Edge:
            if (!changed) return false;
            break;
        }
    }
    return true;
}

void TriggerWatch::Keep(std::uint16_t word) {
    if (before_ == 0) return;
    if (ring_.size() < before_) {
        ring_.push_back(word);
        return;
    }
    ring_[ringStart_] = word;
    ringStart_ = (ringStart_ + 1) % before_;
}

void TriggerWatch::Feed(const std::uint16_t* words, std::size_t count,
                        std::vector<std::uint16_t>& out) {
    std::size_t i = 0;
    for (; i < count && !fired_; ++i) {
        const std::uint16_t word = words[i];
        // The stages follow one another sample by sample; a broken sequence
        // starts again with the first stage, on this very sample.
        if (seen_ >= before_ && !trigger_.Empty()) {
            bool hit = Matches(trigger_.stages[stage_], word);
            if (!hit && stage_ > 0) {
                stage_ = 0;
                hit = Matches(trigger_.stages[0], word);
            }
            if (hit && stage_ + 1 == trigger_.stages.size())
                fired_ = true;
            else if (hit)
                ++stage_;
        }
        if (fired_) break;
        Keep(word);
        previous_ = word;
        ++seen_;
    }
    if (!fired_) return;
    if (i < count || !ring_.empty()) {
        out.insert(out.end(), ring_.begin() + std::ptrdiff_t(ringStart_), ring_.end());
        out.insert(out.end(), ring_.begin(), ring_.begin() + std::ptrdiff_t(ringStart_));
        ring_ = {};
        ringStart_ = 0;
    }
    out.insert(out.end(), words + i, words + count);
}

} // namespace sampling
