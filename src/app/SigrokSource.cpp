#include "SigrokSource.h"

#include "CaptureSetupDialog.h"
#include "MainUi.h"
#include "SigrokChoice.h"
#include "SigrokDeviceDialog.h"
#include "TMain1.h"
#include "acquire/SampleSource.h"
#include "acquire/SigrokDeviceSource.h"
#include "display/CellUnit.h"
#include "display/TTrazor.h"
#include "persistence/ProgramConfig.h"
#include "platform/Desktop.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"

#include <QAction>
#include <QLabel>

SigrokSource::SigrokSource(TMain1& main) : QObject(&main), main_(main) {}

SigrokSource::~SigrokSource() = default;

void SigrokSource::Connect() {
    main_.OnAction(main_.Actions().PortAuswahlSigrok, [this] { ChooseDevice(); });
    main_.OnAction(main_.Actions().AufnahmeEinrichten, [this] { SetUpCapture(); });
}

sigrok::Context& SigrokSource::context() {
    if (!context_) context_ = std::make_unique<sigrok::Context>();
    return *context_;
}

void SigrokSource::ChooseDevice() {
    QAction* item = main_.Actions().PortAuswahlSigrok;
    item->setChecked(HasDevice());
    sigrok::Context& ctx = context();
    const bool withDemo = main_.Options().simulate;
    SigrokDeviceDialog dialog(
        &main_, [&ctx, withDemo] { return sigrok::ScanDevices(ctx, withDemo); },
        [this](const std::function<void()>& f) { main_.RunGuarded(f); });
    if (spec_) dialog.Prefer(*spec_, rateHz_);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::optional<sigrok::DeviceInfo> device = dialog.ChosenDevice();
    if (!device) return;
    const SigrokChoice choice{device->spec, dialog.ChosenRate(),
                              QString::fromStdString(device->Title())};
    UseDevice(choice.spec, choice.rateHz, choice.title);
    main_.SetDigiStatus(4, DeviceText(), true);
    // Remembered at once, as the decoder set-up is: the next start takes it up.
    WriteSigrokChoice(main_.Config(), choice);
}

void SigrokSource::RestoreChoice() {
    setup_ = ReadCaptureSetup(main_.Config());
    try {
        const std::optional<SigrokChoice> choice = ReadSigrokChoice(
            main_.Config(),
            [this](const std::string& driver) {
                return sigrok::KnowsLogicDriver(context(), driver);
            },
            main_.Options().simulate);
        if (choice && choice->active) {
            // The display keeps the options the settings file gave it; the
            // device's own period applies once its input is programmed.
            takeDevice(choice->spec, choice->rateHz, choice->title);
            return;
        }
    } catch (const std::exception&) {
        // libsigrok failing to start costs the remembered device, not the start.
    }
    // Settings saved while a device was in use hold its unit; only a device
    // counts in ns or ps, the port starts in its usual 10 µs.
    const QString unit = main_.Trazor1().Option().TimeUnit();
    if (unit == QLatin1String("ns") || unit == QLatin1String("ps")) countInUsualUnit();
}

void SigrokSource::UseDevice(const sigrok::DeviceSpec& spec, std::uint64_t rateHz,
                             const QString& title) {
    takeDevice(spec, rateHz, title);
    ApplyCellUnit();
}

void SigrokSource::takeDevice(const sigrok::DeviceSpec& spec, std::uint64_t rateHz,
                              const QString& title) {
    spec_ = spec;
    rateHz_ = rateHz;
    title_ = title;
    // The other sources' items lose their marks; "Eingabe programmieren"
    // then reads the label to know the source, as for the ports.
    const MainActions& a = main_.Actions();
    a.PortAuswahl3x->setChecked(false);
    a.PortAuswahl5x->setChecked(false);
    for (QAction* port : a.PortAuswahl)
        port->setChecked(false);
    main_.Actions().PortAuswahlSigrok->setChecked(true);
    main_.Ui().Portzustand->setText(QStringLiteral("sigrok"));
    main_.Ui().Portzustand->setToolTip(title);
    main_.SetInfo(QStringLiteral("sigrok-Gerät: ") + DeviceText());
}

QString SigrokSource::DeviceText() const {
    return title_ + QStringLiteral(", ") + QString::fromStdString(sigrok::RateText(rateHz_));
}

void SigrokSource::ApplyCellUnit() {
    if (!spec_) return;
    // The display counts in the device's own period, as choosing the board sets ms.
    const trazor::CellUnit cell = trazor::CellUnitForRate(rateHz_);
    TTrazorproperty& option = main_.Trazor1().Option();
    if (option.Timefactor() == cell.factor && option.TimeScale() == cell.factor &&
        option.TimeUnit() == cell.unit)
        return;
    option.SetTimefactor(cell.factor);
    option.SetTimeScale(cell.factor);
    option.SetTimeUnit(cell.unit);
    main_.Trazor1().DrawSignals();
}

void SigrokSource::countInUsualUnit() {
    TTrazorproperty& option = main_.Trazor1().Option();
    option.SetTimefactor(10);
    option.SetTimeScale(10);
    option.SetTimeUnit(QStringLiteral("µs"));
    main_.Trazor1().DrawSignals();
}

void SigrokSource::Leave() {
    main_.Actions().PortAuswahlSigrok->setChecked(false);
    // The device had the display count in its own period; the ports and the
    // boards count in the usual 10 µs again (the board then sets ms).
    countInUsualUnit();
    if (!spec_) return;
    WriteSigrokChoice(main_.Config(), {*spec_, rateHz_, title_, false});
}

std::unique_ptr<acquire::SampleSource> SigrokSource::MakeSource() {
    if (!spec_) return nullptr;
    return std::make_unique<acquire::SigrokDeviceSource>(
        context(), *spec_, rateHz_, title_.toStdString(), setup_.LengthCells(rateHz_));
}

void SigrokSource::SetUpCapture() {
    Desktop& desktop = main_.desktop();
    CaptureSetupDialog dialog(
        &main_, setup_, spec_ ? rateHz_ : 0,
        [&desktop](const QString& why) {
            desktop.MessageBox(
                {QStringLiteral("Aufnahme einrichten"), why, Desktop::Icon::Warning, Desktop::Ok});
        },
        [this](const std::function<void()>& f) { main_.RunGuarded(f); });
    if (dialog.exec() != QDialog::Accepted) return;
    const CaptureChoice& choice = dialog.Choice();
    if (spec_ && choice.rateHz && choice.rateHz != rateHz_) {
        UseDevice(*spec_, choice.rateHz, title_);
        main_.SetDigiStatus(4, DeviceText(), true);
        WriteSigrokChoice(main_.Config(), {*spec_, rateHz_, title_});
    }
    TakeSetup(choice.setup);
}

void SigrokSource::TakeSetup(const CaptureSetup& setup) {
    // The buffer takes a new length when the next recording starts, as after
    // a change of rate: until then it keeps what it holds.
    setup_ = setup;
    WriteCaptureSetup(main_.Config(), setup_);
}

void SigrokSource::UseMenuLength() {
    if (setup_.length == CaptureSetup::Length::Menu) return;
    setup_.length = CaptureSetup::Length::Menu;
    WriteCaptureSetup(main_.Config(), setup_);
}

void SigrokSource::Shape(acquire::RunRequest& request) const {
    request.lines = setup_.lines;
    request.trigger = setup_.trigger;
    request.preTriggerPercent = setup_.preTriggerPercent;
}
