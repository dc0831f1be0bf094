#pragma once

#include "sampling/TimeBase.h"
#include "sigrok/DeviceSpec.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
// seconds at the chosen rate, rounded up to whole 256-cell blocks, at most
// 32 Mi and 64 Mi cells (64 and 128 MiB of buffer). At 1 MHz that is the full
// 5 and 10 s; at 24 MHz 1.4 and 2.8 s.
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
    // A port or board was chosen instead: the display counts in the usual
    // 10 µs again, and the next start begins with the port as before.
    void Leave();
    // Takes a device without the dialog (tests) and has the display count in
    // its period.
    void UseDevice(const sigrok::DeviceSpec& spec, std::uint64_t rateHz, const QString& title);
    // The display counts in the device's own period: when the device is
    // chosen and when its input is programmed.
    void ApplyCellUnit();
    bool HasDevice() const { return spec_.has_value(); }
    // The device's line from the dialog and its rate, for the status fields.
    QString DeviceText() const;
    std::uint64_t RateHz() const { return rateHz_; }
    int RecordLengthCells(bool fiveSeconds) const;
    // The longest buffer this source records: as long as a recording file may be.
    static constexpr std::uint64_t kMaxCells = 64u * 1024 * 1024;
    // Samples one round of a recording writes before the window answers again.
    static constexpr std::size_t kRoundSamples = 1u << 20;

    struct Result {
        int cells = 0;
        bool stopped = false;
        std::string error; // German; empty when all arrived
    };
    // Records the buffer's length of samples into the display, handing the
    // blocks over as they come and pumping events meanwhile; `stop` is read
    // between blocks. Lines the device lacks stay low.
    Result Record(const bool& stop, QProgressBar* progress);

    // The live mode's burst: one short acquisition of `samples` from the
    // chosen device, waited for with events pumped (so the stop button
    // answers); `stop` is asked between blocks and ends it early.
    struct Burst {
        std::vector<std::uint16_t> words; // low cell in the low byte, high cell in the high byte
        sampling::TimeBase timeBase;
        bool stopped = false;
        std::string error; // German; empty when all arrived
    };
    Burst TakeBurst(std::uint64_t samples, const std::function<bool()>& stop);

  private:
    sigrok::Context& context();
    // Makes the device the source, leaving the display's options alone.
    void takeDevice(const sigrok::DeviceSpec& spec, std::uint64_t rateHz, const QString& title);
    // The ports' and boards' 10 µs per cell.
    void countInUsualUnit();

    TMain1& main_;
    std::unique_ptr<sigrok::Context> context_;
    std::optional<sigrok::DeviceSpec> spec_;
    std::uint64_t rateHz_ = 0;
    QString title_;
};
