#pragma once

#include "sigrok/DeviceSpec.h"

#include <string>
#include <vector>

namespace sigrok {

class Context;

// A device a scan found, as plain values: enough to show it in a list and to
// find it again for a recording.
struct DeviceInfo {
    DeviceSpec spec; // the driver with the options that find this device
    std::string vendor;
    std::string model;
    std::string connection; // libsigrok's connection id, empty when it has none
    int logicChannels = 0;
    SampleRates rates;
    std::uint64_t currentRateHz = 0; // 0 when the device does not say

    // "Demo - Demo device (16 Logikkanäle)": the line a device list shows.
    std::string Title() const;
};

// The scan options the demo device is found with: 16 logic lines, no analog ones.
DeviceSpec DemoDeviceSpec();

// Asks every logic-analyzer driver libsigrok has for its devices (which can
// take seconds: USB and network probes). The demo driver is asked only when
// withDemo is set, with DemoDeviceSpec's options. Drivers that fail to start
// are skipped. Run it off the GUI thread.
std::vector<DeviceInfo> ScanDevices(Context& context, bool withDemo);

// Scans one driver with the description's options: what `sigrok:DRIVER[:options]`
// finds. Raises Error when the driver is unknown.
std::vector<DeviceInfo> ScanDriver(Context& context, const DeviceSpec& spec);

// True when libsigrok has a logic-analyzer driver of this name; asks no device.
bool KnowsLogicDriver(Context& context, const std::string& name);

} // namespace sigrok
