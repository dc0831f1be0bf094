#pragma once

#include "search/TriggerSettings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The live mode's trigger applied to samples that come in blocks (a sigrok
// device): each word holds the low cell in its low byte and the high cell in
// its high byte, as the buffer stores them. The conditions are those the
// live mode checks on a single sample of the port or the board: the bit
// trigger (kind 0, only while armed) fires when a masked line is set in
// either byte, the byte trigger (kind 3) when the low byte equals the value.
// Other kinds never fire.
//
// Returns the index of the first of the first `searchable` words that meets
// the condition, or nullopt.
std::optional<std::size_t> FindLiveTrigger(std::span<const std::uint16_t> words,
                                           std::size_t searchable, const TriggerSettings& trigger,
                                           bool bitTriggerArmed);
