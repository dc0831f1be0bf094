#pragma once

#include "sampling/Trigger.h"

#include <cstdint>
#include <optional>
#include <string>

class ProgramConfig;

// How a sigrok device records: its length (the menu's " 5 Sek."/"10 Sek.", a
// sample count or a duration), the lines it takes and a trigger with its
// pre-trigger share. The program's configuration keeps it in the group
// "Aufnahme": "Laenge" ("Menue", "Werte" or "Dauer"), "Werte" (a count),
// "Dauer" (microseconds), "Kanaele" ("D0-D3,D8"), "Trigger" (sigrok-cli's
// syntax, empty for none) and "VorTrigger" (percent).
struct CaptureSetup {
    enum class Length { Menu, Samples, Duration };
    Length length = Length::Menu;
    std::uint64_t samples = 1'000'000;
    std::uint64_t durationUs = 1'000'000;
    std::uint16_t lines = 0xFFFF;
    sampling::Trigger trigger{};
    int preTriggerPercent = 10;

    // The cells one recording takes at the rate, within what a device may
    // record; 0 when the menu's lengths apply.
    std::uint64_t LengthCells(std::uint64_t rateHz) const;

    bool operator==(const CaptureSetup&) const = default;
};

// The kept set-up; values that are missing or damaged take their defaults.
// Never throws for what the file holds.
CaptureSetup ReadCaptureSetup(const ProgramConfig& config);
void WriteCaptureSetup(ProgramConfig& config, const CaptureSetup& setup);

// What the set-up dialog's fields hold, as text where the user types.
struct CaptureForm {
    CaptureSetup::Length length = CaptureSetup::Length::Menu;
    std::string samples;  // "2M", "100000"
    std::string duration; // "2s", "250ms", "500" (milliseconds)
    std::string rate;     // "24 MHz", "1M"
    std::uint16_t lines = 0xFFFF;
    std::string trigger; // sigrok-cli's syntax, empty for none
    int preTriggerPercent = 10;
};

struct CaptureChoice {
    CaptureSetup setup;
    std::uint64_t rateHz = 0; // 0: the form named none
};

// The set-up the form describes, or nullopt with a German reason in `error`.
// Only the length chosen is read; the other keeps what `previous` had.
std::optional<CaptureChoice> ReadCaptureForm(const CaptureForm& form, const CaptureSetup& previous,
                                             std::string& error);
// The form for a set-up at a rate.
CaptureForm FormFor(const CaptureSetup& setup, std::uint64_t rateHz);
