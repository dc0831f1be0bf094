#include "StartFolder.h"
#include "TMain1.h"
#include "platform/GuardedApplication.h"
#include "platform/QtDesktop.h"

#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Spurwerk"));
    app.setApplicationVersion(QStringLiteral("1.0.40.36"));

    // The program speaks German whatever the desktop's language, so Qt's own
    // dialogs and buttons ("Ja", "Nein", "Abbrechen") do too where Qt has the texts.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Spurwerk, ein Logikanalysator"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Simulierte Druckerport- und USB-Hardware verwenden"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Zugriff auf den Druckerport: ppdev (Standard) oder direct"),
        QStringLiteral("art"), QStringLiteral("ppdev"));
    const QCommandLineOption boardLibrary(
        QStringLiteral("k8055-library"),
        QStringLiteral("Diese Bibliothek für die K8055-Karten laden statt der eigenen "
                       "(z. B. libk8055.so.0)"),
        QStringLiteral("bibliothek"));
    const QCommandLineOption documentsFolder(
        QStringLiteral("documents-folder"),
        QStringLiteral("Im Ordner Spurwerk der Dokumente arbeiten: Einstellungen und "
                       "Aufzeichnungen liegen dort (so startet der Menüeintrag)"));
    parser.addOption(simulate);
    parser.addOption(port);
    parser.addOption(boardLibrary);
    parser.addOption(documentsFolder);
    parser.process(app);

    if (parser.isSet(documentsFolder) && EnterDocumentsFolder().isEmpty())
        std::fprintf(stderr, "spurwerk: der Ordner Spurwerk in den Dokumenten fehlt, "
                             "es bleibt beim aktuellen Ordner\n");

    const QString portKind = parser.value(port);
    if (portKind != QStringLiteral("ppdev") && portKind != QStringLiteral("direct")) {
        std::fprintf(stderr, "spurwerk: --port kennt nur ppdev oder direct, nicht '%s'\n",
                     portKind.toLocal8Bit().constData());
        return 2;
    }

    StartOptions options;
    options.simulate = parser.isSet(simulate);
    options.directPort = portKind == QStringLiteral("direct");
    options.programDir = QCoreApplication::applicationDirPath();
    options.boardLibrary = parser.value(boardLibrary);

    QtDesktop desktop;
    app.SetErrorDesktop(&desktop);
    TMain1 window(desktop, options);
    window.show();
    const int result = app.exec();
    app.SetErrorDesktop(nullptr);
    return result;
}
