#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QMenuBar;

// The menu items the commands work with, one typed member per item, named as
// the item's object name. Texts, shortcuts, help numbers and the object names
// (which the tests and the help use) stay with the menu builder.
// clang-format off
#define SPURWERK_MENU_ITEMS(X) \
    X(Datei1) X(NeueAufzeichnung1) X(ffnen1) X(Speichern1) X(Speichernunter1) X(Schliessen1) \
    X(Importieren1) X(Exportieren1) X(Druckeneinrichten1) X(Drucken1) X(E1) X(MNMenuBearbeiten) \
    X(Widerrufen1) X(Ausschneiden1) X(Einfgen1) X(Auswhlen2) X(MNMenuSuchen) X(Suchen3) \
    X(Weitersuchen1) X(GehezurZeitposition1) X(MNMenuAnsicht) X(Bildschirm1) \
    X(DatenneuAnzeigen1) X(Anzeigelschen1) X(Alleszeigen1) X(Uebersicht1) X(CursorSetzen1) \
    X(CursorEntfernen1) X(Busse1) X(MNMenuOptionen) X(Fraben1) X(Hintergrundfarbe1) \
    X(Zeitachsenfarbe1) X(Textfarbe1) X(EinzelneLinienfarbe1) X(AlleLinienmiteinerFarbe1) \
    X(Gitterfarbe1) X(Textaenderung1) X(AnzahlBits1) X(Aufloesung1) X(Aufoesungp1) \
    X(Aufloesungn1) X(Aufoesungp10) X(Aufloesungn10) X(Skalierung1) X(x11) X(x101) X(x1001) \
    X(x10001) X(Variabel1) X(Einheit1) X(EinheitMikroSek1) X(EinheitMilliSek1) X(EinheitSek1) \
    X(Variabel2) X(Einstellungspeichern1) X(MNMenuPort) X(Auswhlen1) X(PortAuswahl3x) \
    X(ACKBSYPAPOFON1) X(ALFFEHINIDSL1) X(PortAuswahl5x) X(PortAuswahlSigrok) X(AufnahmeEinrichten) X(ndern1) X(Prfen1) \
    X(Eingabeprogrammieren1) X(Ausgabeprogrammieren1) X(MNMenuSynchronmodus) X(Synchronisieren1) \
    X(bits1) X(Nibbel1) X(Byte1) X(Word1) X(MNMenuAufzeichnen) X(MenuPlay_Scan) X(MenuStop_Scan) \
    X(Abtastrate1) X(CPU769s1) X(N1ms1) X(N10ms1) X(N20ms1) X(N100ms1) X(N05s1) X(N10sek1) \
    X(N50sek1) X(N10sek2) X(MenuRecord_5_Sek) X(MenuRecord_10_Sek) X(MenuRecord_Signal) \
    X(MenuRecord_SignalClear) X(MenuRecord_ToFile) X(MNMenuExtras) X(STR2) X(ALF1) X(INI1) X(SteuerinBitszeigen1) \
    X(StatusinBitszeigen1) X(DateninBitszeigen1) X(ProtokollDekodieren1) \
    X(AnnotationenExportieren1) X(DekodierungAbbrechen1) X(MNMenuHilfe) X(KeineHilfevorhanden1) \
    X(Info1)
// clang-format on

// The window owns the items through Qt parenthood; this struct only points at
// them, as MainUi does for the widgets. Menus appear through their menu's
// action ("MNMenuPort" opens "&Port").
struct MainActions {
#define SPURWERK_MENU_MEMBER(name) QAction* name = nullptr;
    SPURWERK_MENU_ITEMS(SPURWERK_MENU_MEMBER)
#undef SPURWERK_MENU_MEMBER
    // "Bit1" .. "Bit32" under "Anzahl Bit´s": Bit[n - 1] shows n lines.
    std::array<QAction*, 32> Bit{};
    // "BitText1" .. "BitText32" under "Textänderung".
    std::array<QAction*, 32> BitText{};
    // The colour of line n: "Bitfarbe01", "Bitfarbe21" .. "Bitfarbe161".
    std::array<QAction*, 16> Bitfarbe{};
    // "PortAuswahl1" .. "PortAuswahl8": LPT 1, LPT 2, the adapter's two
    // ports, the four boards.
    std::array<QAction*, 8> PortAuswahl{};

    // Calls f(objectName, member) for every item above.
    void ForEach(const std::function<void(const QString&, QAction*&)>& f);
};

// The object name of the colour item of line n (0..15): "Bitfarbe01",
// "Bitfarbe21" .. "Bitfarbe161".
QString BitColourItemName(int n);

// Finds every item of MainActions in the built menu bar. A name the bar lacks
// throws std::logic_error naming it: a command must never be connected to
// nothing.
MainActions FindMainActions(QMenuBar* bar);
