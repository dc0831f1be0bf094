#include "K8055Exports.h"

#include "BoardSession.h"
#include "usb/UsbConnector.h"

#include <cstdio>
#include <mutex>

#define K8055_EXPORT __attribute__((visibility("default")))

namespace {

// The C interface passes no handle: which boards are open and which one is
// current belongs to the process. This is the one place that state lives; it
// is built when the library is loaded (without touching USB) and its
// destruction at unload closes every board still open.
struct Library {
    std::mutex mutex;
    k8055::BoardSession session{k8055::MakeUsbConnector()};
};
Library library;

// Every entry point runs under the lock, and nothing thrown inside (an
// allocation failure) may cross into a C caller.
template <class Call> long Run(Call call) noexcept {
    try {
        const std::lock_guard lock(library.mutex);
        return call(library.session);
    } catch (...) {
        return -1;
    }
}

} // namespace

extern "C" {

K8055_EXPORT long OpenDevice(long CardAddress) {
    return Run([=](k8055::BoardSession& s) {
        const long result = s.OpenDevice(CardAddress);
        // A board that is plugged in but cannot be opened (permissions, another
        // program) deserves a reason; the program itself only learns "-1".
        if (result < 0 && !s.OpenProblem().empty())
            std::fprintf(stderr, "K8055-Karte %ld: %s\n", CardAddress, s.OpenProblem().c_str());
        return result;
    });
}
K8055_EXPORT long CloseDevice(void) {
    return Run([](auto& s) { return s.CloseDevice(); });
}
K8055_EXPORT long ReadAnalogChannel(long Channel) {
    return Run([=](auto& s) { return s.ReadAnalogChannel(Channel); });
}
K8055_EXPORT long ReadAllAnalog(long* Data1, long* Data2) {
    return Run([=](auto& s) { return s.ReadAllAnalog(Data1, Data2); });
}
K8055_EXPORT long OutputAnalogChannel(long Channel, long Data) {
    return Run([=](auto& s) { return s.OutputAnalogChannel(Channel, Data); });
}
K8055_EXPORT long OutputAllAnalog(long Data1, long Data2) {
    return Run([=](auto& s) { return s.OutputAllAnalog(Data1, Data2); });
}
K8055_EXPORT long ClearAnalogChannel(long Channel) {
    return Run([=](auto& s) { return s.ClearAnalogChannel(Channel); });
}
K8055_EXPORT long ClearAllAnalog(void) {
    return Run([](auto& s) { return s.ClearAllAnalog(); });
}
K8055_EXPORT long SetAnalogChannel(long Channel) {
    return Run([=](auto& s) { return s.SetAnalogChannel(Channel); });
}
K8055_EXPORT long SetAllAnalog(void) {
    return Run([](auto& s) { return s.SetAllAnalog(); });
}
K8055_EXPORT long WriteAllDigital(long Data) {
    return Run([=](auto& s) { return s.WriteAllDigital(Data); });
}
K8055_EXPORT long ClearDigitalChannel(long Channel) {
    return Run([=](auto& s) { return s.ClearDigitalChannel(Channel); });
}
K8055_EXPORT long ClearAllDigital(void) {
    return Run([](auto& s) { return s.ClearAllDigital(); });
}
K8055_EXPORT long SetDigitalChannel(long Channel) {
    return Run([=](auto& s) { return s.SetDigitalChannel(Channel); });
}
K8055_EXPORT long SetAllDigital(void) {
    return Run([](auto& s) { return s.SetAllDigital(); });
}
K8055_EXPORT long ReadDigitalChannel(long Channel) {
    return Run([=](auto& s) { return s.ReadDigitalChannel(Channel); });
}
K8055_EXPORT long ReadAllDigital(void) {
    return Run([](auto& s) { return s.ReadAllDigital(); });
}
K8055_EXPORT long ReadCounter(long CounterNr) {
    return Run([=](auto& s) { return s.ReadCounter(CounterNr); });
}
K8055_EXPORT long ResetCounter(long CounterNr) {
    return Run([=](auto& s) { return s.ResetCounter(CounterNr); });
}
K8055_EXPORT long SetCounterDebounceTime(long CounterNr, long DebounceTime) {
    return Run([=](auto& s) { return s.SetCounterDebounceTime(CounterNr, DebounceTime); });
}

} // extern "C"
