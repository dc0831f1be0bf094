#include "MainMenuBuilder.h"

#include "support/HelpContext.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <initializer_list>

namespace {

struct Opt {
    int help = 0;
    bool off = false;
    bool checkable = false;
    bool checked = false;
    QKeySequence shortcut{};
};

void apply(QAction* a, const char* name, const Opt& o) {
    a->setObjectName(QString::fromLatin1(name));
    if (o.help) help::SetHelpContext(*a, o.help);
    a->setEnabled(!o.off);
    a->setCheckable(o.checkable || o.checked);
    a->setChecked(o.checked);
    if (!o.shortcut.isEmpty()) a->setShortcut(o.shortcut);
}

QAction* item(QMenu* m, const char* name, const QString& caption, const Opt& o = {}) {
    QAction* a = m->addAction(caption);
    apply(a, name, o);
    return a;
}

QMenu* sub(QMenu* parent, const char* name, const QString& caption, const Opt& o = {}) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    apply(m->menuAction(), name, o);
    return m;
}

QMenu* top(QMenuBar* bar, const char* name, const QString& caption, const Opt& o = {}) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    apply(m->menuAction(), name, o);
    return m;
}

// "Linie Bit   0" .. "Linie Bit 15": the number is right-aligned in three places.
QString numbered(const char* prefix, int n) {
    return QString::fromUtf8(prefix) + QStringLiteral("%1").arg(n, n < 10 ? 3 : 2);
}

void buildDatei(QMenuBar* bar) {
    QMenu* m = top(bar, "Datei1", QStringLiteral("&Datei"), {.help = 41});
    item(m, "NeueAufzeichnung1", QStringLiteral("Neue Aufzeichnung"), {.help = 42});
    item(m, "ffnen1", QStringLiteral("Öffnen"), {.help = 43});
    item(m, "Speichern1", QStringLiteral("Speichern"), {.help = 44, .off = true});
    item(m, "Speichernunter1", QStringLiteral("Speichern unter"), {.help = 45, .off = true});
    item(m, "Schliessen1", QStringLiteral("Schließen"), {.help = 46, .off = true});
    m->addSeparator();
    item(m, "Importieren1", QStringLiteral("Importieren ..."), {.help = 402});
    item(m, "Exportieren1", QStringLiteral("Exportieren ..."), {.help = 401, .off = true});
    m->addSeparator();
    item(m, "Druckeneinrichten1", QStringLiteral("Drucker einrichten"), {.help = 47});
    item(m, "Drucken1", QStringLiteral("Drucken"), {.help = 48, .off = true});
    m->addSeparator();
    item(m, "E1", QStringLiteral("&Beenden"), {.help = 49});
}

void buildBearbeiten(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuBearbeiten", QStringLiteral("&Bearbeiten"), {.help = 51});
    item(m, "Widerrufen1", QStringLiteral("Widerrufen"),
         {.help = 52, .off = true, .shortcut = QKeySequence(QStringLiteral("Shift+Ctrl+Z"))});
    m->addSeparator();
    item(m, "Ausschneiden1", QStringLiteral("Ausschneiden"),
         {.help = 53, .off = true, .shortcut = QKeySequence(QStringLiteral("Ctrl+X"))});
    item(m, "Einfgen1", QStringLiteral("Einfügen"),
         {.help = 54, .off = true, .shortcut = QKeySequence(QStringLiteral("Ctrl+V"))});
    item(m, "Auswhlen2", QStringLiteral("Auswählen"), {.help = 55, .off = true});
}

void buildSuchen(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuSuchen", QStringLiteral("&Suchen"), {.help = 61});
    item(m, "Suchen3", QStringLiteral("Suchen"),
         {.help = 62, .shortcut = QKeySequence(QStringLiteral("Ctrl+F"))});
    item(m, "Weitersuchen1", QStringLiteral("Weiter suchen"),
         {.help = 62, .shortcut = QKeySequence(Qt::Key_F3)});
    item(m, "GehezurZeitposition1", QStringLiteral("Gehe zur Zeitposition"),
         {.help = 63, .off = true});
}

void buildAnsicht(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuAnsicht", QStringLiteral("&Ansicht"), {.help = 71});
    item(m, "Bildschirm1", QStringLiteral("Bildschirm"), {.off = true});
    m->addSeparator();
    item(m, "DatenneuAnzeigen1", QStringLiteral("Daten neu Anzeigen"), {.help = 72});
    item(m, "Anzeigelschen1", QStringLiteral("Anzeige löschen"), {.help = 73});
    m->addSeparator();
    item(m, "Alleszeigen1", QStringLiteral("Alles zeigen"),
         {.help = 74, .shortcut = QKeySequence(QStringLiteral("Ctrl+0"))});
    item(m, "Uebersicht1", QStringLiteral("Übersicht"), {.help = 75, .checked = true});
    m->addSeparator();
    item(m, "CursorSetzen1", QStringLiteral("Cursor setzen"), {.help = 76});
    item(m, "CursorEntfernen1", QStringLiteral("Cursor entfernen"), {.help = 76});
    item(m, "Busse1", QStringLiteral("Busse ..."), {.help = 77});
}

void buildOptionen(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuOptionen", QStringLiteral("&Optionen"), {.help = 81});

    QMenu* farben = sub(m, "Fraben1", QStringLiteral("Farben"), {.help = 91});
    item(farben, "Hintergrundfarbe1", QStringLiteral("Hintergrundfarbe"), {.help = 92});
    item(farben, "Zeitachsenfarbe1", QStringLiteral("Zeitachsenfarbe"), {.help = 93});
    item(farben, "Textfarbe1", QStringLiteral("Textfarbe"), {.help = 94});
    QMenu* einzeln =
        sub(farben, "EinzelneLinienfarbe1", QStringLiteral("Einzelne Linienfarbe"), {.help = 95});
    for (int n = 0; n < 16; ++n) {
        item(einzeln, BitColourItemName(n).toLatin1().constData(), numbered("Linie Bit ", n));
    }
    item(farben, "AlleLinienmiteinerFarbe1", QStringLiteral("Alle Linien mit einer Farbe"),
         {.help = 96});
    item(farben, "Gitterfarbe1", QStringLiteral("Markerfarbe"), {.help = 97});

    QMenu* text = sub(m, "Textaenderung1", QStringLiteral("Textänderung"), {.help = 100});
    for (int n = 0; n < 32; ++n) {
        const QByteArray name = "BitText" + QByteArray::number(n + 1);
        item(text, name.constData(), numbered("Text Bit ", n), {.off = n >= 16});
    }

    QMenu* anzahl = sub(m, "AnzahlBits1", QStringLiteral("Anzahl Bit´s"), {.help = 110});
    for (int n = 1; n <= 32; ++n) {
        const QByteArray name = "Bit" + QByteArray::number(n);
        item(anzahl, name.constData(), numbered("", n),
             {.off = n > 16, .checkable = true, .checked = n == 8});
    }

    QMenu* aufl = sub(m, "Aufloesung1", QStringLiteral("Auflösung"), {.help = 121});
    item(aufl, "Aufoesungp1", QStringLiteral("+1"), {.help = 122});
    item(aufl, "Aufloesungn1", QStringLiteral(" -1"), {.help = 124});
    item(aufl, "Aufoesungp10", QStringLiteral("+10"), {.help = 123});
    item(aufl, "Aufloesungn10", QStringLiteral(" -10"), {.help = 125});

    QMenu* skal = sub(m, "Skalierung1", QStringLiteral("Skalierung"), {.help = 131});
    item(skal, "x11", QStringLiteral("x 1"), {.help = 132});
    item(skal, "x101", QStringLiteral("x 10"), {.help = 133});
    item(skal, "x1001", QStringLiteral("x 100"), {.help = 134});
    item(skal, "x10001", QStringLiteral("x 1000"), {.help = 135});
    skal->addSeparator();
    item(skal, "Variabel1", QStringLiteral("Variabel"), {.off = true});

    QMenu* einheit = sub(m, "Einheit1", QStringLiteral("Einheit"), {.help = 141});
    item(einheit, "EinheitMikroSek1", QStringLiteral("Mikrosek.   [µs]"), {.help = 142});
    item(einheit, "EinheitMilliSek1", QStringLiteral("Millisek.     [ms]"), {.help = 143});
    item(einheit, "EinheitSek1", QStringLiteral("Sekunden  [s]"), {.help = 144});
    einheit->addSeparator();
    item(einheit, "Variabel2", QStringLiteral("Variabel"), {.off = true});

    m->addSeparator();
    item(m, "Einstellungspeichern1", QStringLiteral("Einstellung speichern"), {.help = 150});
}

void buildPort(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuPort", QStringLiteral("&Port"), {.help = 161});
    QMenu* auswahl = sub(m, "Auswhlen1", QStringLiteral("Auswählen"), {.help = 162});
    item(auswahl, "PortAuswahl1", QStringLiteral("LPT 1"), {.checkable = true, .checked = true});
    item(auswahl, "PortAuswahl2", QStringLiteral("LPT 2"), {.checkable = true});

    QMenu* adapter = sub(auswahl, "PortAuswahl3x", QStringLiteral("Spurwerk LPT V1.0"),
                         {.help = 163, .checkable = true});
    item(adapter, "PortAuswahl3", QStringLiteral("LPT 1 Input 8 Bit"), {.checkable = true});
    item(adapter, "PortAuswahl4", QStringLiteral("LPT 2 Input 8 Bit"), {.checkable = true});
    item(adapter, "N13", QStringLiteral("- Auswahl Druckersignale -"), {.off = true});
    item(adapter, "ACKBSYPAPOFON1", QStringLiteral("ACK,BSY,PAP,OFON + 4 Bit"),
         {.checkable = true});
    item(adapter, "ALFFEHINIDSL1", QStringLiteral("ALF,FEH,INI,DSL      + 4 Bit"),
         {.checkable = true});

    QMenu* usb = sub(auswahl, "PortAuswahl5x", QStringLiteral("USB P8055 Velleman"),
                     {.help = 164, .checkable = true});
    for (int n = 1; n <= 4; ++n) {
        const QByteArray name = "PortAuswahl" + QByteArray::number(n + 4);
        item(usb, name.constData(), QStringLiteral("USB-%1 Input 5 Bit").arg(n),
             {.checkable = true});
    }
    item(usb, "USB12Synchron2", QStringLiteral("USB-1..2 10 Bit Synchron"), {.off = true});
    item(usb, "USB34Synchron1", QStringLiteral("USB-3..4 10 Bit Synchron"), {.off = true});
    item(usb, "USB1420BitSynchron1", QStringLiteral("USB-1..4 20 Bit Synchron"), {.off = true});

    QMenu* brain = sub(auswahl, "USBBraintechnology1", QStringLiteral("USB I8 Braintechnology"),
                       {.off = true});
    for (int n = 1; n <= 4; ++n) {
        const QByteArray name = "USBI8Input" + QByteArray::number(n);
        item(brain, name.constData(), QStringLiteral("USB-%1 Input 8 Bit").arg(n), {.off = true});
    }
    item(brain, "USBI8Synchron1", QStringLiteral("USB-1..2 16 Bit Synchron"), {.off = true});
    item(brain, "USBI8Synchron2", QStringLiteral("USB-3..4 16 Bit Synchron"), {.off = true});
    item(brain, "USBI8Synchron3", QStringLiteral("USB-1..4 32 Bit Synchron"), {.off = true});
    item(auswahl, "PortAuswahlSigrok", QStringLiteral("sigrok-Gerät ..."),
         {.help = 165, .checkable = true});
    item(auswahl, "AufnahmeEinrichten", QStringLiteral("Aufnahme einrichten ..."), {.help = 166});
    item(auswahl, "ElektroKolterPCIAdapter1", QStringLiteral("Elektor Kolter-PCI Adapter"),
         {.off = true});

    item(m, "ndern1", QStringLiteral("Ändern"), {.off = true});
    m->addSeparator();
    item(m, "Prfen1", QStringLiteral("Prüfen"));
    m->addSeparator();
    item(m, "Eingabeprogrammieren1", QStringLiteral("Eingabe progr."));
    item(m, "Ausgabeprogrammieren1", QStringLiteral("Ausgabe progr."), {.off = true});
}

void buildSynchronmodus(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuSynchronmodus", QStringLiteral("&Synchronmodus"), {.off = true});
    item(m, "Synchronisieren1", QStringLiteral("Synchronisieren"), {.checkable = true});
    m->addSeparator();
    item(m, "Auswahl1", QStringLiteral("Auswahl:"), {.off = true});
    item(m, "bits1", QStringLiteral("Bit´s"), {.checkable = true});
    item(m, "Nibbel1", QStringLiteral("Nibbel"), {.off = true, .checkable = true});
    item(m, "Byte1", QStringLiteral("Byte"), {.off = true, .checkable = true});
    item(m, "Word1", QStringLiteral("Word"), {.off = true, .checkable = true});
}

void buildAufzeichnen(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuAufzeichnen", QStringLiteral("&Aufzeichnen"), {.off = true});
    item(m, "MenuPlay_Scan", QStringLiteral("Simultanplay"), {.checkable = true});
    item(m, "MenuStop_Scan", QStringLiteral("Simultanstop"));
    QMenu* rate = sub(m, "Abtastrate1", QStringLiteral("Abtastrate "));
    item(rate, "CPU769s1", QStringLiteral("CPU 7.69 µs"), {.checkable = true});
    item(rate, "Millisekunden1", QStringLiteral("Millisekunden"), {.off = true});
    item(rate, "N1ms1", QStringLiteral("1"), {.checkable = true});
    item(rate, "N10ms1", QStringLiteral("10"), {.checkable = true});
    item(rate, "N20ms1", QStringLiteral("20"), {.checkable = true});
    item(rate, "N100ms1", QStringLiteral("100"), {.checkable = true});
    item(rate, "Sekunden1", QStringLiteral("Sekunden"), {.off = true});
    item(rate, "N05s1", QStringLiteral("0.5"), {.checkable = true});
    item(rate, "N10sek1", QStringLiteral("1"), {.checkable = true});
    item(rate, "N50sek1", QStringLiteral("5"), {.checkable = true});
    item(rate, "N10sek2", QStringLiteral("10"), {.checkable = true});
    m->addSeparator();
    item(m, "MenuRecord_5_Sek", QStringLiteral(" 5 Sek."), {.checkable = true});
    item(m, "MenuRecord_10_Sek", QStringLiteral("10 Sek."), {.checkable = true, .checked = true});
    item(m, "Variabel3", QStringLiteral("Variabel"), {.off = true});
    m->addSeparator();
    item(m, "MenuRecord_Signal", QStringLiteral("Aufzeichung"));
    item(m, "MenuRecord_SignalClear", QStringLiteral("Aufzeichnung löschen"),
         {.shortcut = QKeySequence(QStringLiteral("Ctrl+Del"))});
    m->addSeparator();
    item(m, "MenuRecord_ToFile", QStringLiteral("Lange Aufnahme in Datei ..."));
}

void buildExtras(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuExtras", QStringLiteral("&Extras"));
    item(m, "STR1", QStringLiteral("Druckerport"), {.off = true});
    m->addSeparator();
    item(m, "STR2", QStringLiteral("Pin 01 /STR (Strobe)"), {.checkable = true});
    item(m, "ALF1", QStringLiteral("Pin 14 /ALF (Zeilenvorschub)"), {.checkable = true});
    item(m, "INI1", QStringLiteral("Pin 16 /INI (Druckerinit)"), {.checkable = true});
    item(m, "SteuerinBitszeigen1", QStringLiteral("Steuer in Bit´s zeigen"));
    item(m, "StatusinBitszeigen1", QStringLiteral("Status in Bit´s zeigen"));
    item(m, "DateninBitszeigen1", QStringLiteral("Daten in Bit´s zeigen"));
    m->addSeparator();
    item(m, "ProtokollDekodieren1", QStringLiteral("Protokoll dekodieren ..."),
         {.help = 370, .shortcut = QKeySequence(QStringLiteral("Ctrl+D"))});
    item(m, "AnnotationenExportieren1", QStringLiteral("Annotationen exportieren ..."), {.help = 370});
    item(m, "DekodierungAbbrechen1", QStringLiteral("Dekodierung abbrechen"), {.help = 370});
}

void buildHilfe(QMenuBar* bar) {
    QMenu* m = top(bar, "MNMenuHilfe", QStringLiteral("&Hilfe"), {.help = 361});
    item(m, "KeineHilfevorhanden1", QStringLiteral("Hilfe"), {.help = 362});
    item(m, "Info1", QStringLiteral("Info"), {.help = 363});
}

// Items of which exactly one is chosen: drawn as radio items, and a click
// on the chosen one leaves it chosen.
void radioGroup(QMenuBar* bar, std::initializer_list<const char*> names) {
    auto* group = new QActionGroup(bar);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const char* name : names)
        if (QAction* a = bar->findChild<QAction*>(QString::fromLatin1(name))) group->addAction(a);
}

} // namespace

MainActions BuildMainMenu(QMenuBar* bar) {
    buildDatei(bar);
    buildBearbeiten(bar);
    buildSuchen(bar);
    buildAnsicht(bar);
    buildOptionen(bar);
    buildPort(bar);
    buildSynchronmodus(bar);
    buildAufzeichnen(bar);
    buildExtras(bar);
    buildHilfe(bar);

    radioGroup(bar, {"PortAuswahl1", "PortAuswahl2", "PortAuswahl3x", "PortAuswahl5x"});
    // "20" under "Millisekunden" is no radio item: it only clears the others.
    radioGroup(bar, {"CPU769s1", "N1ms1", "N10ms1", "N100ms1", "N05s1", "N10sek1", "N50sek1",
                     "N10sek2"});
    radioGroup(bar, {"Bit1", "Bit2", "Bit3", "Bit4", "Bit5", "Bit6", "Bit7", "Bit8", "Bit9",
                     "Bit10", "Bit11", "Bit12", "Bit13", "Bit14", "Bit15", "Bit16"});
    return FindMainActions(bar);
}
