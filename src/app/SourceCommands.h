#pragma once

#include "hardware/PortPreparation.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

class TMain1;
struct MainActions;

// The main window's side of the hardware: choosing the source, programming
// it for input and output, testing it, the three control pins, the bit
// displays and the port panels of the status bar.
class SourceCommands : public QObject {
    Q_OBJECT
  public:
    explicit SourceCommands(TMain1& main);
    void Connect();

    void PortAuswahldisable();
    void PortAuswahlClick(int item); // 1 .. 8
    void ACKBSYPAPOFON1Click();
    void ALFFEHINIDSL1Click();
    void Eingabeprogrammieren1Click();
    void Ausgabeprogrammieren1Click();
    void Prfen1Click();
    void PinClick(std::uint8_t bit);   // 0x01 /STR, 0x02 /ALF, 0x04 /INI
    void ShowRegisterBits(int offset); // 2 control, 1 status, 0 data

    void ShowPortStatus(bool active);
    void ShowPortBits(std::uint8_t value);
    void ProgramLptInput();
    bool OpenUsbInput(int card);
    void RefreshPinChecks();
    // Sets the three pin check marks from the control register (start-up).
    void ReadPinChecks();
    void ProgramPortOutput();

    // The chosen parallel-port mode, as the recording and live sequences need it.
    LptMode CurrentLptMode() const;

  private:
    const MainActions& items() const;
    std::uint8_t readRegister(int offset);
    // Tells once per port, in the information field, when the port cannot
    // switch its data lines to input.
    void warnIfDataLinesNotReadable();
    static QString portText(std::int32_t base);

    TMain1& main_;
    std::vector<std::int32_t> warnedPorts_;
};
