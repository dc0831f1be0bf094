#pragma once

#include <QObject>
#include <QString>

class TMain1;

// "Exportieren ..." and "Importieren ..." of the menu "&Datei": the sample
// buffer to and from the formats of other tools (VCD, CSV, sigrok session),
// through libsigrok.
class ExchangeCommands : public QObject {
    Q_OBJECT
  public:
    explicit ExchangeCommands(TMain1& main);
    void Connect();

    void Exportieren1Click();
    void Importieren1Click();

    // Exports the lines in use to `path`, the format chosen by its extension.
    // False after an error, which has been shown.
    bool ExportTo(const QString& path);
    // Imports `path` into the buffer. False after an error, which has been
    // shown; the buffer is then as it was.
    bool ImportFrom(const QString& path);

    static const QString ExportFilter;
    static const QString ImportFilter;

  private:
    void showError(const QString& text);

    TMain1& main_;
};
