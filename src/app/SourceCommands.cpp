#include "SourceCommands.h"

#include "SigrokSource.h"
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
    auto on = [this](const char* name, std::function<void()> handler) {
        main_.OnAction(QString::fromLatin1(name), std::move(handler));
    };
    for (int i = 1; i <= 8; ++i)
        on(QByteArray("PortAuswahl" + QByteArray::number(i)).constData(),
           [this, i] { PortAuswahlClick(i); });
    on("ACKBSYPAPOFON1", [this] { ACKBSYPAPOFON1Click(); });
    on("ALFFEHINIDSL1", [this] { ALFFEHINIDSL1Click(); });
    on("Eingabeprogrammieren1", [this] { Eingabeprogrammieren1Click(); });
    on("Ausgabeprogrammieren1", [this] { Ausgabeprogrammieren1Click(); });
    on("Prfen1", [this] { Prfen1Click(); });
    on("STR2", [this] { PinClick(0x01); });
    on("ALF1", [this] { PinClick(0x02); });
    on("INI1", [this] { PinClick(0x04); });
    on("SteuerinBitszeigen1", [this] { ShowRegisterBits(2); });
    on("StatusinBitszeigen1", [this] { ShowRegisterBits(1); });
    on("DateninBitszeigen1", [this] { ShowRegisterBits(0); });
}

bool SourceCommands::checked(const char* name) const {
    const QAction* a = main_.Action(QString::fromLatin1(name));
    return a && a->isChecked();
}

void SourceCommands::setChecked(const char* name, bool on) {
    if (QAction* a = main_.Action(QString::fromLatin1(name))) a->setChecked(on);
}

void SourceCommands::setIcon(const char* name, int index) {
    if (QAction* a = main_.Action(QString::fromLatin1(name))) main_.SetImageIndex(a, index);
}

std::uint8_t SourceCommands::readRegister(int offset) {
    return main_.PortIO1().ReadPortByte(std::uint32_t(main_.State().PortBase + offset));
}

LptMode SourceCommands::CurrentLptMode() const {
    LptMode mode;
    mode.adapter = checked("PortAuswahl3") || checked("PortAuswahl4");
    mode.printerSignals = checked("ACKBSYPAPOFON1");
    return mode;
}

void SourceCommands::PortAuswahldisable() {
    for (int i = 1; i <= 8; ++i)
        setChecked(QByteArray("PortAuswahl" + QByteArray::number(i)).constData(), false);
    setIcon("PortAuswahl1", 51);
    setIcon("PortAuswahl2", 51);
    setIcon("PortAuswahl3", 51);
    // The adapter's entries keep no "chosen" image once another source is
    // chosen: only one source may look chosen.
    setIcon("PortAuswahl3x", 51);
    setIcon("PortAuswahl4", 51);
    setIcon("PortAuswahl5x", 55);
}

void SourceCommands::PortAuswahlClick(int item) {
    MainState& s = main_.State();
    QLabel* label = main_.Ui().Portzustand;
    if (item >= 1 && item <= 8 && checked("PortAuswahlSigrok")) main_.Sigrok().Leave();
    const auto groupTo = [this](const char* top) {
        // The four top-level source entries form one radio group.
        for (const char* name : {"PortAuswahl1", "PortAuswahl2", "PortAuswahl3x", "PortAuswahl5x"})
            setChecked(name, qstrcmp(name, top) == 0);
    };
    if (item == 1 || item == 2) {
        s.PortBase = item == 1 ? s.Lpt1Base : s.Lpt2Base;
        PortAuswahldisable();
        const char* name = item == 1 ? "PortAuswahl1" : "PortAuswahl2";
        groupTo(name);
        setIcon(name, 50);
        setChecked("ALFFEHINIDSL1", false);
        setChecked("ACKBSYPAPOFON1", false);
        label->setText(item == 1 ? QStringLiteral("LPT1") : QStringLiteral("LPT2"));
    } else if (item == 3 || item == 4) {
        s.PortBase = item == 3 ? s.Lpt1Base : s.Lpt2Base;
        PortAuswahldisable();
        const char* name = item == 3 ? "PortAuswahl3" : "PortAuswahl4";
        groupTo("PortAuswahl3x");
        setChecked(name, true);
        setIcon("PortAuswahl3x", 50);
        setIcon(name, 50);
        setChecked("ALFFEHINIDSL1", false);
        setChecked("ACKBSYPAPOFON1", false);
        main_.SetMultiBit(12);
        setChecked("ACKBSYPAPOFON1", true);
        setChecked("ALFFEHINIDSL1", false);
        label->setText(item == 3 ? QStringLiteral("LPT1") : QStringLiteral("LPT2"));
    } else if (item >= 5 && item <= 8) {
        PortAuswahldisable();
        setChecked("ALFFEHINIDSL1", false);
        setChecked("ACKBSYPAPOFON1", false);
        groupTo("PortAuswahl5x");
        setIcon("PortAuswahl5x", 54);
        setChecked(QByteArray("PortAuswahl" + QByteArray::number(item)).constData(), true);
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
    setChecked("ACKBSYPAPOFON1", true);
    setChecked("ALFFEHINIDSL1", false);
}

void SourceCommands::ALFFEHINIDSL1Click() {
    main_.SetMultiBit(12);
    setChecked("ALFFEHINIDSL1", true);
    setChecked("ACKBSYPAPOFON1", false);
}

void SourceCommands::ShowPortStatus(bool active) {
    const MainState& s = main_.State();
    QString port, control, status, data;
    if (s.InputSource == 0) {
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
    const bool plainPort = checked("PortAuswahl1") || checked("PortAuswahl2");
    const bool adapterSignals =
        (checked("PortAuswahl3") || checked("PortAuswahl4")) && checked("ACKBSYPAPOFON1");
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
    setChecked("STR2", (readRegister(2) & 0x01) != 0);
    setChecked("ALF1", (readRegister(2) & 0x02) != 0);
    setChecked("INI1", (readRegister(2) & 0x04) == 0);
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
    bool success = true;
    if (s.InputSource == 0 && !main_.PortIO1().IOactive()) {
        // Nothing could be read from it: recording would store zeros as data.
        success = false;
        main_.SetInfo(QStringLiteral("Der Druckerport %1 lässt sich nicht öffnen, er ist nicht auf "
                                     "Eingabe programmiert. Ohne Hardware ausprobieren: spurwerk "
                                     "--simulate")
                          .arg(portText(s.PortBase)));
    } else if (s.InputSource == 0) {
        main_.PortIO1().SetPortHeld(true);
        ProgramLptInput();
    } else if (s.InputSource == 1) {
        const QString digit = usbAt >= 0 ? label.mid(usbAt + 3, 1) : QString();
        bool ok = false;
        const int card = digit.toInt(&ok);
        success = ok && OpenUsbInput(card);
    } else if (s.InputSource == 2) {
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
        main_.Action(QStringLiteral("Auswhlen1"))->setEnabled(false);
        main_.SetDigiStatus(4, QStringLiteral("Port aktiviert"), true);
        s.SampleIndex = 0;
        s.InputProgrammed = 1;
        main_.Action(QStringLiteral("Eingabeprogrammieren1"))->setEnabled(false);
        main_.Action(QStringLiteral("Ausgabeprogrammieren1"))->setEnabled(true);
        main_.Action(QStringLiteral("MNMenuSynchronmodus"))->setEnabled(true);
        main_.Action(QStringLiteral("MNMenuAufzeichnen"))->setEnabled(true);
        ui.ButtonRecord_Signal->setEnabled(true);
        ui.ButtonStop_Scan->setEnabled(true);
        ui.ButtonPlay_Scan->setEnabled(true);
    }
    if (s.InputSource == 0) RefreshPinChecks();
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
    if (s.InputSource == 0) {
        ProgramPortOutput();
        text = QStringLiteral("LPT-Port als Ausgabe programmiert.");
    } else if (s.InputSource == 1) {
        main_.PortUSB1().SetUSBportactive(false);
        text = QStringLiteral("USB-Port dekativiert.");
    } else if (s.InputSource == 2) {
        text = QStringLiteral("sigrok-Gerät deaktiviert.");
    }
    ShowPortStatus(false);
    main_.SetDigiStatus(4, text, true);

    MainUi& ui = main_.Ui();
    s.InputProgrammed = 0;
    main_.Action(QStringLiteral("Ausgabeprogrammieren1"))->setEnabled(false);
    main_.Action(QStringLiteral("Eingabeprogrammieren1"))->setEnabled(true);
    main_.Action(QStringLiteral("MNMenuSynchronmodus"))->setEnabled(false);
    main_.Action(QStringLiteral("MNMenuAufzeichnen"))->setEnabled(false);
    main_.SetAllButtons(false);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.ButtonScaleTimeUp, ui.ButtonScaleTimeDown, ui.ButtonZeitachsenEinheit_1,
             ui.ButtonZeitachsenEinheit_200, ui.ScaleTimeComboBox1})
        w->setEnabled(true);
    main_.SetIndicatorColor(colors::Red);
    ui.Timer4->start();
    main_.Action(QStringLiteral("Auswhlen1"))->setEnabled(true);
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
    const char* name = bit == 0x01 ? "STR2" : bit == 0x02 ? "ALF1" : "INI1";
    if (main_.State().InputSource != 0) {
        // The menu has already flipped the mark; no pin moved, so it flips back.
        if (QAction* a = main_.Action(QString::fromLatin1(name))) a->setChecked(!a->isChecked());
        return;
    }
    portprep::ControlXor(main_.PortIO1(), main_.State().PortBase, bit);
    const std::uint8_t control = readRegister(2);
    setChecked(name, bit == 0x04 ? (control & bit) == 0 : (control & bit) != 0);
}

void SourceCommands::ShowRegisterBits(int offset) {
    if (main_.State().InputSource != 0) return;
    ShowPortBits(readRegister(offset));
}
