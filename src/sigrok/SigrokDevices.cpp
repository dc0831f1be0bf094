#include "sigrok/SigrokDevices.h"

#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevice.h"
#include "sigrok/SigrokError.h"

namespace sigrok {

std::string DeviceInfo::Title() const {
    std::string title = vendor;
    if (!model.empty()) title += (title.empty() ? "" : " ") + model;
    if (title.empty()) title = spec.driver;
    title += " [" + spec.driver + "]";
    if (!connection.empty()) title += " an " + connection;
    title += " (" + std::to_string(logicChannels) +
             (logicChannels == 1 ? " Logikkanal)" : " Logikkanäle)");
    return title;
}

DeviceSpec DemoDeviceSpec() {
    return {"demo", {{"logic_channels", "16"}, {"analog_channels", "0"}}};
}

std::vector<DeviceInfo> ScanDriver(Context& context, const DeviceSpec& spec) {
    sr_dev_driver* driver = FindDriver(context, spec.driver);
    std::vector<DeviceInfo> devices;
    for (sr_dev_inst* device : ScanInstances(driver, spec))
        devices.push_back(DescribeInstance(spec, device));
    sr_dev_clear(driver);
    return devices;
}

bool KnowsLogicDriver(Context& context, const std::string& name) {
    for (sr_dev_driver* driver : LogicDrivers(context))
        if (name == driver->name) return true;
    return false;
}

std::vector<DeviceInfo> ScanDevices(Context& context, bool withDemo) {
    std::vector<DeviceInfo> devices;
    for (sr_dev_driver* driver : LogicDrivers(context)) {
        const std::string name = driver->name;
        if (name == "demo" && !withDemo) continue;
        try {
            const DeviceSpec spec = name == "demo" ? DemoDeviceSpec() : DeviceSpec{name, {}};
            for (DeviceInfo& info : ScanDriver(context, spec)) devices.push_back(std::move(info));
        } catch (const Error&) {
            // A driver that cannot start (no USB access, say) has no devices to offer.
        }
    }
    return devices;
}

} // namespace sigrok
