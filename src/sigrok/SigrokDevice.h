#pragma once

// An open libsigrok device. Private to src/sigrok/.

#include "sigrok/DeviceSpec.h"
#include "sigrok/SigrokHandles.h"

#include <string>
#include <vector>

namespace sigrok {

class Context;
struct DeviceInfo;

// The logic-analyzer drivers this libsigrok has, initialised for the context.
std::vector<sr_dev_driver*> LogicDrivers(Context& context);
sr_dev_driver* FindDriver(Context& context, const std::string& name);

// Scans the driver with those of the description's options that it takes as scan
// options. The instances stay owned by the driver.
std::vector<sr_dev_inst*> ScanInstances(sr_dev_driver* driver, const DeviceSpec& spec);
DeviceInfo DescribeInstance(const DeviceSpec& scanSpec, sr_dev_inst* device);

// Holds a device open and closes it on destruction.
class OpenDevice {
  public:
    // Scans and opens the first device the description finds; raises Error with a
    // German message when there is none or it cannot be opened or set up.
    OpenDevice(Context& context, const DeviceSpec& spec);
    ~OpenDevice();
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    // Sets the description's options that are no scan options on the device, or where
    // it refuses them on its channel groups (the demo's pattern is a setting of
    // its "Logic" group). Raises Error when neither takes one.
    void ApplySettings(const DeviceSpec& spec);

    sr_dev_inst* Raw() const { return device_; }
    sr_dev_driver* Driver() const { return driver_; }
    const std::string& Name() const { return name_; }
    SampleRates Rates() const;
    std::uint64_t CurrentRate() const;
    // Raises Error when the device refuses the rate.
    void SetRate(std::uint64_t hz);
    // Tells the device to stop after `samples`; false when it has no such limit.
    bool SetSampleLimit(std::uint64_t samples);
    int LogicChannels() const;
    // The names the device gives its logic channels, in its order ("D0", "D1", ...).
    std::vector<std::string> LogicChannelNames() const;
    // Its logic channels in its order; they stay the device's.
    std::vector<sr_channel*> LogicChannelList() const;
    // Switches logic channel n on where bit n of `lines` is set, the others
    // (and those beyond the first 16) off.
    void EnableLines(std::uint16_t lines);
    // The trigger matches the device offers itself (SR_TRIGGER_ZERO ...).
    std::vector<int> TriggerMatches() const;
    // The share of a triggered capture before the trigger; false when the
    // device has no such setting.
    bool SetCaptureRatio(int percent);

  private:
    void Open(const DeviceSpec& spec);

    Context& context_;
    sr_dev_driver* driver_ = nullptr;
    sr_dev_inst* device_ = nullptr;
    std::string name_;
};

} // namespace sigrok
