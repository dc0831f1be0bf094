#pragma once

#include "sigrok/DeviceSpec.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class ProgramConfig;

// The sigrok device last chosen, as the program's configuration keeps it: the
// group "SigrokGeraet" with the values "Geraet" (the device's
// "DRIVER[:k=v...]" text), "Abtastrate" (hertz as decimal text: rates beyond
// 32 bits exist), "Bezeichnung" (the dialog's line for the device, shown in
// the status bar) and "Aktiv" ("0" once a port or board was chosen after it;
// missing counts as "1").
struct SigrokChoice {
    sigrok::DeviceSpec spec;
    std::uint64_t rateHz = 0;
    QString title;
    bool active = true; // the source in use when the program ended
};

// The remembered choice, or nullopt when there is none or it is not usable:
// missing or damaged values, a rate of zero or no number, a driver that
// `knownDriver` does not know, or the demo device without `withDemo` (it
// exists only in a simulated run). Never throws for what the file holds.
std::optional<SigrokChoice>
ReadSigrokChoice(const ProgramConfig& config,
                 const std::function<bool(const std::string&)>& knownDriver, bool withDemo);
// Writes the choice into the configuration (and so into its file).
void WriteSigrokChoice(ProgramConfig& config, const SigrokChoice& choice);
// The group name, for moving the key of earlier settings files over.
inline const QString SigrokChoiceGroup = QStringLiteral("SigrokGeraet");
