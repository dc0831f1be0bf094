#pragma once

#include "CaptureSetup.h"
#include "sigrok/DeviceSpec.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TMain1;

namespace acquire {
class SampleSource;
struct RunRequest;
}

namespace sigrok {
class Context;
}

// A libsigrok device as the window's third kind of source: chosen in the
// device dialog ("Port" > "Auswählen" > "sigrok-Gerät ..."), recorded from
// on the acquisition thread while the window stays live.
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
    // The chosen device as a source of samples; null before one is chosen.
    std::unique_ptr<acquire::SampleSource> MakeSource();

    // "Aufnahme einrichten ...": the length, rate, lines and trigger of the
    // device's recordings, kept in the program's configuration.
    void SetUpCapture();
    const CaptureSetup& Setup() const { return setup_; }
    // Takes a set-up (the dialog, tests) and remembers it.
    void TakeSetup(const CaptureSetup& setup);
    // " 5 Sek." or "10 Sek." was chosen: their lengths apply again.
    void UseMenuLength();
    // The lines, trigger and pre-trigger share a recording asks the device for.
    void Shape(acquire::RunRequest& request) const;

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
    CaptureSetup setup_;
};
