#include "SourceCommands.h"

#include "SigrokSource.h"
#include "SourceChoice.h"
#include "TMain1.h"
#include "UpDownPair.h"
#include "display/TTrazor.h"
#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"
#include "platform/Color.h"
#include "platform/Desktop.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

SourceCommands::SourceCommands(TMain1& main) : QObject(&main), main_(main) {}

void SourceCommands::Connect() {
    const MainActions& a = items();
    auto on = [this](QAction* item, std::function<void()> handler) {
        main_.OnAction(item, std::move(handler));
    };
    for (int i = 1; i <= 8; ++i)
        on(a.PortAuswahl[std::size_t(i - 1)], [this, i] { PortAuswahlClick(i); });
    on(a.ACKBSYPAPOFON1, [this] { ACKBSYPAPOFON1Click(); });
    on(a.ALFFEHINIDSL1, [this] { ALFFEHINIDSL1Click(); });
    on(a.Eingabeprogrammieren1, [this] { Eingabeprogrammieren1Click(); });
    on(a.Ausgabeprogrammieren1, [this] { Ausgabeprogrammieren1Click(); });
    on(a.Prfen1, [this] { Prfen1Click(); });
    on(a.STR2, [this] { PinClick(0x01); });
    on(a.ALF1, [this] { PinClick(0x02); });
    on(a.INI1, [this] { PinClick(0x04); });
    on(a.SteuerinBitszeigen1, [this] { ShowRegisterBits(2); });
    on(a.StatusinBitszeigen1, [this] { ShowRegisterBits(1); });
    on(a.DateninBitszeigen1, [this] { ShowRegisterBits(0); });
}

const MainActions& SourceCommands::items() const {
    return main_.Actions();
}

std::uint8_t SourceCommands::readRegister(int offset) {
    return main_.PortIO1().ReadPortByte(std::uint32_t(main_.State().PortBase + offset));
}

LptMode SourceCommands::CurrentLptMode() const {
    LptMode mode;
    mode.adapter = items().PortAuswahl[2]->isChecked() || items().PortAuswahl[3]->isChecked();
    mode.printerSignals = items().ACKBSYPAPOFON1->isChecked();
    return mode;
}

void SourceCommands::PortAuswahldisable() {
    for (QAction* port : items().PortAuswahl)
        port->setChecked(false);
    main_.SetImageIndex(items().PortAuswahl[0], 51);
    main_.SetImageIndex(items().PortAuswahl[1], 51);
    main_.SetImageIndex(items().PortAuswahl[2], 51);
    // The adapter's entries keep no "chosen" image once another source is
    // chosen: only one source may look chosen.
    main_.SetImageIndex(items().PortAuswahl3x, 51);
    main_.SetImageIndex(items().PortAuswahl[3], 51);
    main_.SetImageIndex(items().PortAuswahl5x, 55);
}

void SourceCommands::PortAuswahlClick(int item) {
    MainState& s = main_.State();
    QLabel* label = main_.Ui().Portzustand;
    if (item >= 1 && item <= 8 && items().PortAuswahlSigrok->isChecked()) main_.Sigrok().Leave();
    const auto groupTo = [this](QAction* top) {
        // The four top-level source entries form one radio group.
        const MainActions& a = items();
        for (QAction* entry :
             {a.PortAuswahl[0], a.PortAuswahl[1], a.PortAuswahl3x, a.PortAuswahl5x})
            entry->setChecked(entry == top);
    };
    if (item == 1 || item == 2) {
        s.PortBase = item == 1 ? s.Lpt1Base : s.Lpt2Base;
        PortAuswahldisable();
        QAction* port = items().PortAuswahl[item == 1 ? 0 : 1];
        groupTo(port);
        main_.SetImageIndex(port, 50);
        items().ALFFEHINIDSL1->setChecked(false);
        items().ACKBSYPAPOFON1->setChecked(false);
        label->setText(item == 1 ? QStringLiteral("LPT1") : QStringLiteral("LPT2"));
    } else if (item == 3 || item == 4) {
        s.PortBase = item == 3 ? s.Lpt1Base : s.Lpt2Base;
        PortAuswahldisable();
        QAction* port = items().PortAuswahl[item == 3 ? 2 : 3];
        groupTo(items().PortAuswahl3x);
        port->setChecked(true);
        main_.SetImageIndex(items().PortAuswahl3x, 50);
        main_.SetImageIndex(port, 50);
        items().ALFFEHINIDSL1->setChecked(false);
        items().ACKBSYPAPOFON1->setChecked(false);
        main_.SetMultiBit(12);
        items().ACKBSYPAPOFON1->setChecked(true);
        items().ALFFEHINIDSL1->setChecked(false);
        label->setText(item == 3 ? QStringLiteral("LPT1") : QStringLiteral("LPT2"));
    } else if (item >= 5 && item <= 8) {
        PortAuswahldisable();
        items().ALFFEHINIDSL1->setChecked(false);
        items().ACKBSYPAPOFON1->setChecked(false);
        groupTo(items().PortAuswahl5x);
        main_.SetImageIndex(items().PortAuswahl5x, 54);
        items().PortAuswahl[std::size_t(item - 1)]->setChecked(true);
        label->setText(QStringLiteral("USB%1").arg(item - 4));
        main_.SetMultiBit(5);
        if (item == 5) {
            main_.Trazor1().Option().SetTimeUnit(QStringLiteral("ms"));
            main_.Trazor1().Option().SetTimeScale(1);
            main_.Trazor1().DrawSignals();
            main_.Ui().SimultanTimer1->setInterval(10);
        }
    }
}

void SourceCommands::ACKBSYPAPOFON1Click() {
    main_.SetMultiBit(12);
    items().ACKBSYPAPOFON1->setChecked(true);
    items().ALFFEHINIDSL1->setChecked(false);
}

void SourceCommands::ALFFEHINIDSL1Click() {
    main_.SetMultiBit(12);
    items().ALFFEHINIDSL1->setChecked(true);
    items().ACKBSYPAPOFON1->setChecked(false);
}

void SourceCommands::ShowPortStatus(bool active) {
    const MainState& s = main_.State();
    QString port, control, status, data;
    if (ChosenSourceKind(s) == SourceKind::ParallelPort) {
        const auto hex2 = [](std::uint8_t v) {
            return QStringLiteral("$%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
        };
        port = portText(s.PortBase);
        control = hex2(readRegister(2));
        status = hex2(readRegister(1));
        data = hex2(readRegister(0));
    } else {
        // A board or a sigrok device: no registers to show.
        port = main_.Ui().Portzustand->text();
        control = QStringLiteral("$xx");
        data = QStringLiteral("$xx");
        status = active ? QStringLiteral("ON") : QStringLiteral("OFF");
    }
    auto& panels = main_.Ui().Panels;
    panels[0]->setText(QStringLiteral(" Port ") + port);
    panels[1]->setText(QStringLiteral(" Steuer ") + control);
    panels[2]->setText(QStringLiteral(" Status ") + status);
    panels[3]->setText(QStringLiteral(" Daten ") + data);
    panels[4]->setText(QStringLiteral(" Digi-Status: Port geprüft"));
}

void SourceCommands::ShowPortBits(std::uint8_t value) {
    // The indicators start hidden; a bit display the user asked for must be seen.
    for (int i = 0; i < 8; ++i) {
        QCheckBox* box = main_.Ui().Bits[size_t(i)];
        box->setChecked((value >> i) & 1);
        box->setVisible(true);
    }
}

void SourceCommands::ProgramLptInput() {
    TPortIO& io = main_.PortIO1();
    const std::int32_t base = main_.State().PortBase;
    const bool plainPort =
        items().PortAuswahl[0]->isChecked() || items().PortAuswahl[1]->isChecked();
    const bool adapterSignals =
        (items().PortAuswahl[2]->isChecked() || items().PortAuswahl[3]->isChecked()) &&
        items().ACKBSYPAPOFON1->isChecked();
    if (plainPort) portprep::InputStart(io, base);
    if (adapterSignals) {
        portprep::ControlOr(io, base, 0x04);
        portprep::ControlAnd(io, base, 0xFC);
        portprep::ControlOr(io, base, 0x20);
    }
    // Both switch the data lines to input; a port that cannot tri-state them
    // would record its own latch.
    if (plainPort || adapterSignals) warnIfDataLinesNotReadable();
    ShowPortStatus(true);
}

void SourceCommands::warnIfDataLinesNotReadable() {
    const std::int32_t base = main_.State().PortBase;
    if (main_.PortIO1().CanReadDataLines(std::uint32_t(base))) return;
    // Once per port and run: the port does not change while the program runs.
    if (std::find(warnedPorts_.begin(), warnedPorts_.end(), base) != warnedPorts_.end()) return;
    warnedPorts_.push_back(base);
    main_.SetInfo(QStringLiteral("Achtung: Der Druckerport %1 kann seine Datenleitungen nicht auf "
                                 "Eingabe schalten; D00–D07 zeigen seine eigene Ausgabe. Bitte im "
                                 "BIOS den bidirektionalen Modus (PS/2, EPP oder ECP) wählen.")
                      .arg(portText(base)));
}

QString SourceCommands::portText(std::int32_t base) {
    return QStringLiteral("$%1").arg(base, 4, 16, QLatin1Char('0')).toUpper();
}

bool SourceCommands::OpenUsbInput(int card) {
    TPortUSB& usb = main_.PortUSB1();
    usb.SetUSBportconnect(TUSBConnect::User);
    usb.SetUSBportAddr(card);
    usb.SetUSBportactive(true);
    const bool active = usb.USBportactive();
    if (active) ShowPortStatus(true);
    return active;
}

void SourceCommands::RefreshPinChecks() {
    // The adapter's input programming moves /INI too: its mark follows.
    ReadPinChecks();
}

void SourceCommands::ReadPinChecks() {
    items().STR2->setChecked((readRegister(2) & 0x01) != 0);
    items().ALF1->setChecked((readRegister(2) & 0x02) != 0);
    items().INI1->setChecked((readRegister(2) & 0x04) == 0);
}

void SourceCommands::Eingabeprogrammieren1Click() {
    MainState& s = main_.State();
    const QString label = main_.Ui().Portzustand->text();
    int usbAt = -1;
    if (label.contains(QStringLiteral("LPT"))) {
        s.InputSource = 0;
    } else if (label.contains(QStringLiteral("USB"))) {
        s.InputSource = 1;
        usbAt = int(label.indexOf(QStringLiteral("USB")));
    } else if (label == QLatin1String("sigrok")) {
        s.InputSource = 2;
    }
    const SourceKind kind = ChosenSourceKind(s);
    bool success = true;
    if (kind == SourceKind::ParallelPort && !main_.PortIO1().IOactive()) {
        // Nothing could be read from it: recording would store zeros as data.
        success = false;
        main_.SetInfo(QStringLiteral("Der Druckerport %1 lässt sich nicht öffnen, er ist nicht auf "
                                     "Eingabe programmiert. Ohne Hardware ausprobieren: spurwerk "
                                     "--simulate")
                          .arg(portText(s.PortBase)));
    } else if (kind == SourceKind::ParallelPort) {
        main_.PortIO1().SetPortHeld(true);
        ProgramLptInput();
    } else if (kind == SourceKind::Board) {
        const QString digit = usbAt >= 0 ? label.mid(usbAt + 3, 1) : QString();
        bool ok = false;
        const int card = digit.toInt(&ok);
        success = ok && OpenUsbInput(card);
    } else if (kind == SourceKind::SigrokDevice) {
        // The device is opened for each recording, on the acquisition thread.
        success = main_.Sigrok().HasDevice();
        if (success) {
            main_.Sigrok().ApplyCellUnit();
            ShowPortStatus(true);
        }
    }
    if (success) {
        MainUi& ui = main_.Ui();
        ui.Timer4->stop();
        main_.SetIndicatorColor(colors::Green);
        main_.Actions().Auswhlen1->setEnabled(false);
        main_.SetDigiStatus(4, QStringLiteral("Port aktiviert"), true);
        s.SampleIndex = 0;
        s.InputProgrammed = 1;
        main_.Actions().Eingabeprogrammieren1->setEnabled(false);
        main_.Actions().Ausgabeprogrammieren1->setEnabled(true);
        main_.Actions().MNMenuSynchronmodus->setEnabled(true);
        main_.Actions().MNMenuAufzeichnen->setEnabled(true);
        ui.ButtonRecord_Signal->setEnabled(true);
        ui.ButtonStop_Scan->setEnabled(true);
        ui.ButtonPlay_Scan->setEnabled(true);
    }
    if (kind == SourceKind::ParallelPort) RefreshPinChecks();
}

void SourceCommands::ProgramPortOutput() {
    Desktop& d = main_.desktop();
    d.Beep();
    d.MessageBox(
        {QStringLiteral("Information"),
         QStringLiteral("ACHTUNG !!\rDer Druckerport wird wieder als Ausgabeeinheit programmiert.\r"
                        "Bitte die Eingabegeräte vom Druckerport trennen, da "
                        "sonst\rKurzschlußgefahr besteht."),
         Desktop::Icon::Information, Desktop::Ok});
    TPortIO& io = main_.PortIO1();
    portprep::OutputRestore(io, main_.State().PortBase);
    // No input any more: a printer may use the port again.
    io.SetPortHeld(false);
    ReadPinChecks();
}

void SourceCommands::Ausgabeprogrammieren1Click() {
    MainState& s = main_.State();
    QString text;
    const SourceKind kind = ChosenSourceKind(s);
    if (kind == SourceKind::ParallelPort) {
        ProgramPortOutput();
        text = QStringLiteral("LPT-Port als Ausgabe programmiert.");
    } else if (kind == SourceKind::Board) {
        main_.PortUSB1().SetUSBportactive(false);
        text = QStringLiteral("USB-Port dekativiert.");
    } else if (kind == SourceKind::SigrokDevice) {
        text = QStringLiteral("sigrok-Gerät deaktiviert.");
    }
    ShowPortStatus(false);
    main_.SetDigiStatus(4, text, true);

    MainUi& ui = main_.Ui();
    s.InputProgrammed = 0;
    main_.Actions().Ausgabeprogrammieren1->setEnabled(false);
    main_.Actions().Eingabeprogrammieren1->setEnabled(true);
    main_.Actions().MNMenuSynchronmodus->setEnabled(false);
    main_.Actions().MNMenuAufzeichnen->setEnabled(false);
    main_.SetAllButtons(false);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.ButtonScaleTimeUp, ui.ButtonScaleTimeDown, ui.ButtonZeitachsenEinheit_1,
             ui.ButtonZeitachsenEinheit_200, ui.ScaleTimeComboBox1})
        w->setEnabled(true);
    main_.SetIndicatorColor(colors::Red);
    ui.Timer4->start();
    main_.Actions().Auswhlen1->setEnabled(true);
}

void SourceCommands::Prfen1Click() {
    const QString label = main_.Ui().Portzustand->text();
    if (label.contains(QStringLiteral("LPT"))) ShowPortStatus(true);
    if (label.contains(QStringLiteral("USB")) && main_.IndicatorColor() == colors::Green) {
        main_.SetDigiStatus(4, QStringLiteral("Test der USB - Karte wurde aktiviert."), false);
        main_.PortUSB1().SetUSBportTest(true);
        main_.SetDigiStatus(4, QStringLiteral("Test der USB - Karte wurde abgeschlossen."), false);
    }
}

void SourceCommands::PinClick(std::uint8_t bit) {
    QAction* pin = bit == 0x01 ? items().STR2 : bit == 0x02 ? items().ALF1 : items().INI1;
    if (ChosenSourceKind(main_.State()) != SourceKind::ParallelPort) {
        // The menu has already flipped the mark; no pin moved, so it flips back.
        pin->setChecked(!pin->isChecked());
        return;
    }
    portprep::ControlXor(main_.PortIO1(), main_.State().PortBase, bit);
    const std::uint8_t control = readRegister(2);
    pin->setChecked(bit == 0x04 ? (control & bit) == 0 : (control & bit) != 0);
}

void SourceCommands::ShowRegisterBits(int offset) {
    if (ChosenSourceKind(main_.State()) != SourceKind::ParallelPort) return;
    ShowPortBits(readRegister(offset));
}
