#include "CaptureSetup.h"

#include "acquire/SourceFacts.h"
#include "persistence/ProgramConfig.h"
#include "sampling/CaptureLength.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/DeviceSpec.h"
#include "sigrok/SigrokError.h"

#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("Aufnahme");

std::optional<std::uint64_t> Count(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    bool ok = false;
    const qulonglong value = text->trimmed().toULongLong(&ok);
    if (!ok || value == 0) return std::nullopt;
    return std::uint64_t(value);
}

} // namespace

std::uint64_t CaptureSetup::LengthCells(std::uint64_t rateHz) const {
    std::uint64_t cells = 0;
    if (length == Length::Samples) cells = samples;
    if (length == Length::Duration) cells = sampling::CellsForDuration(rateHz, durationUs);
    if (length == Length::Menu) return 0;
    return std::clamp<std::uint64_t>(cells, 1, acquire::kMaxDeviceCells);
}

CaptureSetup ReadCaptureSetup(const ProgramConfig& config) {
    CaptureSetup setup;
    const auto value = [&](const char* key) { return config.Value(kGroup, QLatin1String(key)); };
    const QString length = value("Laenge").value_or(QString()).trimmed();
    if (length == QLatin1String("Werte")) setup.length = CaptureSetup::Length::Samples;
    if (length == QLatin1String("Dauer")) setup.length = CaptureSetup::Length::Duration;
    setup.samples =
        std::min(Count(value("Werte")).value_or(setup.samples), acquire::kMaxDeviceCells);
    setup.durationUs = Count(value("Dauer")).value_or(setup.durationUs);
    const std::vector<std::string> names = sampling::UsualLineNames();
    std::string ignored;
    if (const auto text = value("Kanaele")) {
        try {
            setup.lines = sigrok::ChooseLines(text->trimmed().toStdString(), names);
        } catch (const sigrok::Error&) {
            // A list edited by hand that names no line keeps the usual ones.
        }
    }
    if (const auto text = value("Trigger"); text && !text->trimmed().isEmpty())
        setup.trigger = sampling::ParseTrigger(text->trimmed().toStdString(), names, ignored)
                            .value_or(sampling::Trigger{});
    if (const auto text = value("VorTrigger"))
        setup.preTriggerPercent =
            sampling::ParsePercent(text->toStdString()).value_or(setup.preTriggerPercent);
    return setup;
}

void WriteCaptureSetup(ProgramConfig& config, const CaptureSetup& setup) {
    const std::vector<std::string> names = sampling::UsualLineNames();
    const char* length = setup.length == CaptureSetup::Length::Samples    ? "Werte"
                         : setup.length == CaptureSetup::Length::Duration ? "Dauer"
                                                                          : "Menue";
    config.SetGroup(kGroup,
                    {{QStringLiteral("Laenge"), QLatin1String(length)},
                     {QStringLiteral("Werte"), QString::number(qulonglong(setup.samples))},
                     {QStringLiteral("Dauer"), QString::number(qulonglong(setup.durationUs))},
                     {QStringLiteral("Kanaele"),
                      QString::fromStdString(sampling::LineListText(setup.lines, names))},
                     {QStringLiteral("Trigger"),
                      QString::fromStdString(sampling::TriggerText(setup.trigger, names))},
                     {QStringLiteral("VorTrigger"), QString::number(setup.preTriggerPercent)}});
}

std::optional<CaptureChoice> ReadCaptureForm(const CaptureForm& form, const CaptureSetup& previous,
                                             std::string& error) {
    const std::vector<std::string> names = sampling::UsualLineNames();
    CaptureChoice choice{previous, 0};
    CaptureSetup& setup = choice.setup;
    setup.length = form.length;
    if (form.length == CaptureSetup::Length::Samples) {
        const std::optional<std::uint64_t> samples = sigrok::ParseQuantity(form.samples);
        if (!samples || *samples > acquire::kMaxDeviceCells) {
            error = "Die Anzahl der Abtastwerte \"" + form.samples + "\" passt nicht (1 bis " +
                    std::to_string(acquire::kMaxDeviceCells) + ", auch mit k oder M).";
            return std::nullopt;
        }
        setup.samples = *samples;
    }
    if (form.length == CaptureSetup::Length::Duration) {
        const std::optional<std::uint64_t> duration = sampling::ParseDuration(form.duration);
        if (!duration) {
            error = "Die Dauer \"" + form.duration +
                    "\" passt nicht (Beispiele: 2s, 250ms, 1,5s; eine Zahl allein sind ms).";
            return std::nullopt;
        }
        setup.durationUs = *duration;
    }
    // No rate yet (no device chosen): the device's own applies later.
    const std::optional<std::uint64_t> rate =
        form.rate.empty() ? std::optional<std::uint64_t>(0) : sigrok::ParseQuantity(form.rate);
    if (!rate) {
        error = "Die Abtastrate \"" + form.rate + "\" passt nicht (Beispiele: 1 MHz, 24M, 200k).";
        return std::nullopt;
    }
    choice.rateHz = *rate;
    if (!form.lines) {
        error = "Wählen Sie mindestens einen Kanal.";
        return std::nullopt;
    }
    setup.lines = form.lines;
    setup.trigger = {};
    if (form.trigger.find_first_not_of(' ') != std::string::npos) {
        std::string why;
        const std::optional<sampling::Trigger> trigger =
            sampling::ParseTrigger(form.trigger, names, why);
        if (!trigger) {
            error = "Trigger: " + why;
            return std::nullopt;
        }
        if (trigger->Lines() & ~form.lines) {
            error = "Der Trigger nutzt einen Kanal, der nicht aufgenommen wird (" +
                    sampling::LineListText(trigger->Lines() & ~form.lines, names) + ").";
            return std::nullopt;
        }
        setup.trigger = *trigger;
    }
    setup.preTriggerPercent = std::clamp(form.preTriggerPercent, 0, 99);
    if (setup.length == CaptureSetup::Length::Duration && choice.rateHz &&
        sampling::CellsForDuration(choice.rateHz, setup.durationUs) > acquire::kMaxDeviceCells) {
        error = "Bei " + sigrok::RateText(choice.rateHz) + " passen höchstens " +
                std::to_string(acquire::kMaxDeviceCells) +
                " Abtastwerte in den Speicher; die Dauer ist zu lang.";
        return std::nullopt;
    }
    return choice;
}

CaptureForm FormFor(const CaptureSetup& setup, std::uint64_t rateHz) {
    const std::vector<std::string> names = sampling::UsualLineNames();
    CaptureForm form;
    form.length = setup.length;
    form.samples = std::to_string(setup.samples);
    form.duration = setup.durationUs % 1000 ? std::to_string(setup.durationUs) + "us"
                                            : std::to_string(setup.durationUs / 1000) + "ms";
    form.rate = rateHz ? sigrok::RateText(rateHz) : std::string();
    form.lines = setup.lines;
    form.trigger = sampling::TriggerText(setup.trigger, names);
    form.preTriggerPercent = setup.preTriggerPercent;
    return form;
}
