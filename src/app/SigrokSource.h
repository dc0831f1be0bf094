#pragma once

#include "sigrok/DeviceSpec.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QProgressBar;
class TMain1;

namespace sigrok {
class Context;
}

// A libsigrok device as the window's third kind of source: chosen in the
// device dialog ("Port" > "Auswählen" > "sigrok-Gerät ..."), recorded from
// on the acquisition thread while the window stays live.
//
// Record lengths of this source: " 5 Sek." and "10 Sek." are five and ten
// seconds at the chosen rate (rounded up to whole 256-cell blocks), at most the 524,288 and 1,048,576 cells the
// parallel port records (at 24 MHz that is 22 and 44 ms).
class SigrokSource : public QObject {
    Q_OBJECT
  public:
    explicit SigrokSource(TMain1& main);
    ~SigrokSource() override;
    void Connect();

    // Opens the device dialog; a choice makes the device the source.
    void ChooseDevice();
    // Start-up: takes the device the settings file remembers, without a scan
    // (the device may be unplugged now; a recording then says so). Anything
    // unusable in the file is passed over.
    void RestoreChoice();
    // Takes a device without the dialog (tests, the last choice).
    void UseDevice(const sigrok::DeviceSpec& spec, std::uint64_t rateHz, const QString& title);
    bool HasDevice() const { return spec_.has_value(); }
    std::uint64_t RateHz() const { return rateHz_; }
    int RecordLengthCells(bool fiveSeconds) const;

    struct Result {
        int cells = 0;
        bool stopped = false;
        std::string error; // German; empty when all arrived
    };
    // Records the buffer's length of samples into the display, handing the
    // blocks over as they come and pumping events meanwhile; `stop` is read
    // between blocks. Lines the device lacks stay low.
    Result Record(const bool& stop, QProgressBar* progress);

  private:
    sigrok::Context& context();

    TMain1& main_;
    std::unique_ptr<sigrok::Context> context_;
    std::optional<sigrok::DeviceSpec> spec_;
    std::uint64_t rateHz_ = 0;
};
