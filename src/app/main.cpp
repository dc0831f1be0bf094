#include "StartFolder.h"
#include "TMain1.h"
#include "cli/CommandLine.h"
#include "platform/GuardedApplication.h"
#include "platform/QtDesktop.h"
#include "support/InstallLayout.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <iostream>

int main(int argc, char** argv) {
    // Help, version and the commands run before any window exists, so they
    // work without a display.
    cli::Decision decision = cli::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                                  {std::cout, std::cerr});
    if (decision.exitCode) return *decision.exitCode;

    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Spurwerk"));
    app.setApplicationVersion(QString::fromStdString(cli::VersionText()));

    // The program speaks German whatever the desktop's language, so Qt's own
    // dialogs and buttons ("Ja", "Nein", "Abbrechen") do too where Qt has the texts.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    // The menu entry starts the program in the folder Spurwerk of the user's
    // documents, where settings and recordings then go. A recording named on
    // the command line still means the file beside the caller.
    if (decision.window.documentsFolder) {
        if (!decision.window.file.empty())
            decision.window.file = QFileInfo(QString::fromStdString(decision.window.file))
                                       .absoluteFilePath()
                                       .toStdString();
        if (EnterDocumentsFolder().isEmpty())
            std::cerr << "spurwerk: der Ordner Spurwerk in den Dokumenten lässt sich nicht "
                         "anlegen; es bleibt beim aktuellen Ordner\n";
    }

    StartOptions options;
    options.simulate = decision.window.simulate;
    options.directPort = decision.window.directPort;
    // Libraries and help are found from the folder of the program the user started.
    options.programDir = install::ProgramDirectoryOfWindow(QCoreApplication::applicationDirPath());
    options.boardLibrary = QString::fromStdString(decision.window.boardLibrary);
    if (!decision.window.file.empty())
        options.openFile =
            QFileInfo(QString::fromLocal8Bit(decision.window.file.c_str())).absoluteFilePath();

    QtDesktop desktop;
    app.SetErrorDesktop(&desktop);
    TMain1 window(desktop, options);
    window.show();
    const int result = app.exec();
    app.SetErrorDesktop(nullptr);
    return result;
}
