#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QPrinter;
class TMain1;
class TRecordingFile;

// The commands of the menu "&Datei": new, open, save, save as, close,
// printer set-up and print.
class FileCommands : public QObject {
    Q_OBJECT
  public:
    explicit FileCommands(TMain1& main);
    ~FileCommands() override;
    void Connect();

    void NeueAufzeichnung1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void Schliessen1Click();
    void Druckeneinrichten1Click();
    void Drucken1Click();
    // Opens a recording named on the command line, as "Öffnen" does after its dialog.
    void OpenFile(const QString& path);

    // Tests print to a PDF file instead of a printer.
    void SetPrinterFactory(std::function<std::unique_ptr<QPrinter>()> factory) {
        printerFactory_ = std::move(factory);
    }

  private:
    // Before "Speichern unter": true to write the .DIG file; false when the
    // user, told that it keeps no rate, exported a session or cancelled.
    bool KeepsItsTimeBase();

    void showOpened();
    void setFileCommands(bool save, bool saveAs, bool close, bool setup, bool print);

    TMain1& main_;
    std::unique_ptr<TRecordingFile> file_;
    std::unique_ptr<QPrinter> setupPrinter_; // keeps the printer set-up between prints
    std::function<std::unique_ptr<QPrinter>()> printerFactory_;
};
