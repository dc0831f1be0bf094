#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A trigger on the lines of a 16-bit sample word (line n in bit n), written the
// way sigrok-cli writes it: "D0=r,D2=1". Each letter after "=" is one stage,
// so "D0=r,D2=01" waits for D0 rising while D2 is low, and then for D2 high.
// Within a stage the conditions hold together (AND).
namespace sampling {

enum class TriggerMatch { Low, High, Rising, Falling, Edge };

struct TriggerCondition {
    int line = 0;
    TriggerMatch match = TriggerMatch::High;
    bool operator==(const TriggerCondition&) const = default;
};

using TriggerStage = std::vector<TriggerCondition>;

struct Trigger {
    std::vector<TriggerStage> stages;
    bool Empty() const { return stages.empty(); }
    // The lines any stage looks at, one bit each.
    std::uint16_t Lines() const;
    bool operator==(const Trigger&) const = default;
};

// The letter sigrok-cli uses for a match: '0', '1', 'r', 'f', 'e'.
char TriggerLetter(TriggerMatch match);

// Reads "NAME=MATCHES,..." with the line names `names` (names[n] is line n).
// On a fault answers nullopt and puts a German reason into `error`.
std::optional<Trigger> ParseTrigger(const std::string& text, const std::vector<std::string>& names,
                                    std::string& error);
// The text ParseTrigger reads back into the same trigger.
std::string TriggerText(const Trigger& trigger, const std::vector<std::string>& names);

// "D0,D2-D5": the shortest list of the lines as sigrok-cli's --channels takes
// it, ranges of one name with numbers included.
std::string LineListText(std::uint16_t lines, const std::vector<std::string>& names);

// "D0".."D15": how a device's lines are called when it does not say.
std::vector<std::string> UsualLineNames();

// The program's own trigger over a stream of words. It keeps the last
// `before` words while it waits; the trigger may fire only once that many
// have gone by, so a capture always holds its whole pre-trigger share. Once
// it fires, Feed hands out the kept words and then everything after them.
//
//   TriggerWatch watch(trigger, 1000);
//   for each block: watch.Feed(block, n, out); if (watch.Fired()) ...
class TriggerWatch {
  public:
    TriggerWatch(Trigger trigger, std::size_t before);

    // Looks at words[0..count); appends to `out` what belongs to the capture
    // (nothing until the trigger fires).
    void Feed(const std::uint16_t* words, std::size_t count, std::vector<std::uint16_t>& out);
    bool Fired() const { return fired_; }
    // Words seen before the trigger fired (those not kept are dropped).
    std::uint64_t Seen() const { return seen_; }

  private:
    bool Matches(const TriggerStage& stage, std::uint16_t word) const;
    void Keep(std::uint16_t word);

    Trigger trigger_;
    std::size_t stage_ = 0;
    std::size_t before_;
    std::vector<std::uint16_t> ring_; // the last words while waiting
    std::size_t ringStart_ = 0;
    std::optional<std::uint16_t> previous_;
    std::uint64_t seen_ = 0;
    bool fired_ = false;
};

} // namespace sampling
