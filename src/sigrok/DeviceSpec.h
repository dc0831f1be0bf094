#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sigrok {

// A libsigrok device named the way the command line and the settings file
// name it: "DRIVER[:key=value...]", for example
// "demo:logic_channels=16:analog_channels=0" or "fx2lafw:conn=1.5".
// Options that the driver takes for its scan pick the device; the others
// (such as the demo's "pattern") are set on the device once it is open.
struct DeviceSpec {
    std::string driver;
    std::vector<std::pair<std::string, std::string>> options;

    bool operator==(const DeviceSpec&) const = default;
};

// nullopt when the text names no driver or an option lacks "=" or a name.
std::optional<DeviceSpec> ParseDeviceSpec(const std::string& text);
std::string DeviceSpecText(const DeviceSpec& spec);

// A rate or count as people write it: "1000000", "1M", "24 MHz", "200k",
// "1.5G" (a decimal point or comma; k, M, G multiply by powers of 1000; a
// trailing "Hz" is allowed). nullopt for anything else, zero, or a value
// beyond 64 bits or with a fraction left over.
std::optional<std::uint64_t> ParseQuantity(const std::string& text);

// The rates a device offers: a list, or a range with a step.
struct SampleRates {
    std::vector<std::uint64_t> listed;
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::uint64_t step = 0; // 0: no range, only the list

    bool Accepts(std::uint64_t hz) const;
    // What a choice box offers: the list, or for a range the 1-2-5 series
    // within it (with its ends).
    std::vector<std::uint64_t> Choices() const;
    bool Empty() const { return listed.empty() && step == 0; }
};

// "24 MHz", "200 kHz", "1 GHz", "12,5 kHz": a rate for a list or a message.
std::string RateText(std::uint64_t hz);

} // namespace sigrok
