#include "front/UsageTexts.h"

#include <array>

#ifndef SPURWERK_VERSION
#error "the build names the version (SPURWERK_VERSION)"
#endif

namespace usage {

namespace {

// The input options convert and decode share.
#define SPURWERK_INPUT_OPTIONS                                                                     \
    "  --channels NAME,...  welche Kanäle der EINGABE die bis zu 16 Leitungen werden, in\n"       \
    "                       dieser Reihenfolge; Namen genau wie in der Datei, auch\n"              \
    "                       Bereiche wie D16-D31. Ohne: die ersten 16 (die übrigen\n"             \
    "                       nennt eine Warnung).\n"                                                \
    "  --samplerate RATE    Abtastrate einer EINGABE, die keine angibt (.DIG, CSV ohne\n"          \
    "                       Kommentar, VCD ohne $timescale), z. B. 1M, 24MHz, 200k.\n"             \
    "                       Ohne: 100 kHz, mit einer Warnung.\n"

constexpr std::array CommandTable{
    CommandUsage{
        "convert", "EINGABE AUSGABE",
        "wandelt eine Aufzeichnung um: .DIG, .sr, .vcd, .csv (nach den Dateiendungen)",
        "Aufruf: spurwerk convert [--channels NAME,...] [--samplerate RATE] EINGABE AUSGABE\n"
        "\n"
        "Wandelt eine Aufzeichnung um. Das Format folgt aus der Dateiendung\n"
        "(Groß- und Kleinschreibung egal):\n"
        "  .DIG  Spurwerks eigenes Format (16 Leitungen, 10 µs je Abtastwert)\n"
        "  .sr   sigrok-Sitzung\n"
        "  .vcd  Value Change Dump\n"
        "  .csv  durch Kommas getrennte Werte\n"
        "Geschrieben werden bis zu 16 Kanäle der Eingabe mit ihren Namen (sonst\n"
        "D00..D15).\n" SPURWERK_INPUT_OPTIONS "Bei einem Fehler wird nichts geschrieben.\n"
        "\n"
        "Beispiel: spurwerk convert messung.DIG messung.vcd\n"},
    CommandUsage{
        "decode", "EINGABE -P DEKODIERER[:name=wert...] [-A DEKODIERER=ZEILE]",
        "dekodiert ein Protokoll (UART, I2C, SPI, ...), eine Annotation je Zeile",
        "Aufruf: spurwerk decode EINGABE -P DEKODIERER[:name=wert...][,DEKODIERER...] [-P ...]\n"
        "                       [-A DEKODIERER[=KLASSE[:KLASSE...]][,DEKODIERER...]]\n"
        "\n"
        "Dekodiert ein Protokoll in einer Aufzeichnung (.DIG, .sr, .vcd, .csv) mit den\n"
        "Dekodierern von libsigrokdecode und schreibt jede Annotation als eine Zeile\n"
        "\"DEKODIERER-N: Text\", sobald sie feststeht, nach der Zeit geordnet.\n"
        "  -P  ein Dekodierer mit Kanälen und Optionen, z. B.\n"
        "        -P uart:rx=D0:baudrate=9600:format=ascii\n"
        "      Kanäle nennen Kanäle der Datei mit ihrem Namen (.DIG: D00..D15). Mit\n"
        "      Komma getrennt setzt jeder weitere Dekodierer auf den vorigen auf, z. B.\n"
        "        -P i2c:scl=D0:sda=D1,eeprom24xx\n"
        "      -P darf mehrfach stehen; die Dekodierer laufen nebeneinander.\n"
        "  -A  gibt nur diese Annotationszeilen oder -klassen aus, wie bei sigrok-cli\n"
        "      (z. B. uart=rx-data:tx-data,i2c); darf mehrfach stehen. Ohne -A: alle\n"
        "      Zeilen des obersten Dekodierers jedes Stapels.\n"
        "  --samplenum  stellt jeder Zeile \"START-ENDE \" voran (Nummern der Abtastwerte).\n"
        "" SPURWERK_INPUT_OPTIONS "\n"
        "Beispiel mit der Beispielaufzeichnung des Pakets:\n"
        "  spurwerk decode /usr/share/doc/spurwerk/examples/i2c-uart.sr \\\n"
        "    -P uart:rx=UART:baudrate=115200:format=ascii -A uart=rx-data\n"},
    CommandUsage{"record", "--source QUELLE (--samples N | --time T) [...] -o AUSGABE",
                 "nimmt von einem Gerät auf und schreibt eine Aufzeichnung",
                 "Aufruf: spurwerk record --source QUELLE (--samples N | --time T)\n"
                 "                       [--samplerate RATE] [--channels KANÄLE]\n"
                 "                       [--triggers TRIGGER [--pretrigger P% | -w]]\n"
                 "                       -o AUSGABE [--simulate]\n"
                 "\n"
                 "Nimmt N Abtastwerte (oder T lang) auf und schreibt sie in AUSGABE (.DIG,\n"
                 ".sr, .vcd oder .csv, nach der Dateiendung). Strg+C beendet die Aufnahme\n"
                 "vorzeitig; was bis dahin kam, wird geschrieben.\n"
                 "\n"
                 "Quellen:\n"
                 "  sigrok:TREIBER[:SCHLÜSSEL=WERT...]\n"
                 "        ein Gerät über libsigrok, z. B. sigrok:fx2lafw oder\n"
                 "        sigrok:demo:pattern=incremental (das Demo-Gerät nur mit --simulate)\n"
                 "  lpt1, lpt2\n"
                 "        der Druckerport, ein Abtastwert alle 10 µs (100 kHz)\n"
                 "  usb1..usb4\n"
                 "        die K8055-Karte mit dieser Adresse, ein Abtastwert alle 10 ms (100 Hz)\n"
                 "\n"
                 "--source QUELLE  woher die Werte kommen (siehe oben)\n"
                 "-o AUSGABE       die Datei, in die die Aufnahme geschrieben wird\n"
                 "--samples N      Anzahl der Abtastwerte, höchstens 67108864 (64 Mi), vom\n"
                 "                 Druckerport und den Karten höchstens 1048576 (1 Mi);\n"
                 "                 auch mit k, M, G (1M = 1000000). Eine .sr-Datei wird\n"
                 "                 während der Aufnahme geschrieben: ihre Länge begrenzt\n"
                 "                 nur der freie Platz auf der Platte\n"
                 "--time T         Dauer der Aufnahme: Millisekunden wie bei sigrok-cli\n"
                 "                 (500) oder mit Einheit (250ms, 2s, 1,5s); mit --samples\n"
                 "                 gilt das Kürzere\n"
                 "--samplerate R   Abtastrate, z. B. 1M, 24MHz, 200k (sonst die des Geräts);\n"
                 "                 Druckerport und Karten haben nur ihre eigene\n"
                 "--channels KANÄLE\n"
                 "                 nur diese Kanäle aufnehmen, z. B. D0,D2-D3 (-C); die\n"
                 "                 anderen bleiben in der Datei auf 0\n"
                 "--triggers TRIGGER\n"
                 "                 die Aufnahme beginnt am Trigger, wie bei sigrok-cli (-t):\n"
                 "                 KANAL=BEDINGUNG mit Komma, alle zugleich erfüllt;\n"
                 "                 0 tief, 1 hoch, r steigende, f fallende, e jede Flanke;\n"
                 "                 mehrere Zeichen sind Stufen nacheinander (D0=r,D2=01).\n"
                 "                 Nur für sigrok-Geräte\n"
                 "--pretrigger P%  dieser Anteil der Aufnahme liegt vor dem Trigger (0..99 %)\n"
                 "-w, --wait-trigger\n"
                 "                 die Aufnahme beginnt genau am Trigger (wie --pretrigger 0%)\n"
                 "--simulate       das Demo-Gerät von libsigrok zulassen; Druckerport und\n"
                 "                 K8055-Karte 1 simuliert, wie im Programmfenster\n"
                 "--k8055-library NAME\n"
                 "                 für usb1..usb4 diese Bibliothek statt der eigenen laden\n"
                 "                 (gesucht wie im Programmfenster)\n"
                 "\n"
                 "Ein Fortschritt erscheint auf der Standardfehlerausgabe, wenn sie ein\n"
                 "Terminal ist. Löst der Trigger nicht aus, beendet Strg+C das Warten; dann\n"
                 "wird nichts geschrieben.\n"
                 "\n"
                 "Beispiel: spurwerk record --simulate --source sigrok:demo --samples 1M\n"
                 "                          --samplerate 1M -o demo.sr\n"
                 "          spurwerk record --source sigrok:fx2lafw --samplerate 24M --time 2s\n"
                 "                          --channels D0-D3 --triggers D2=r --pretrigger 10%\n"
                 "                          -o start.sr\n"},
};

#undef SPURWERK_INPUT_OPTIONS

constexpr std::array OptionTable{
    Option{"-h, --help", "diese Hilfe zeigen"},
    Option{"-v, --version", "die Versionsnummer zeigen"},
    Option{"--simulate", "simulierte Druckerport- und USB-Hardware verwenden"},
    Option{"--port ppdev|direct", "Zugriff auf den Druckerport (Standard: ppdev)"},
    Option{"--k8055-library BIBLIOTHEK", "diese Bibliothek für die K8055-Karten laden statt der\n"
                                         "eigenen, z. B. libk8055.so.0"},
    Option{"--documents-folder", "im Ordner Spurwerk der Dokumente arbeiten: Einstellungen\n"
                                 "und Aufzeichnungen liegen dort (so startet das Menü)"},
};

constexpr std::array FileTable{
    FileNote{"*.DIG", "Aufzeichnungen: 16 Leitungen, der Puffer Byte für Byte ohne Kopf, "
                      "höchstens 128 MiB"},
    FileNote{"Spurwerk.ini", "die Anzeigeeinstellungen, im Ordner, in dem Spurwerk arbeitet "
                             "(\"Optionen\" > \"Einstellung speichern\")"},
    FileNote{"~/.config/Spurwerk/spurwerk.conf",
             "das sigrok-Gerät und die Einstellungen der Dekodierer"},
    FileNote{"/usr/share/spurwerk/spurwerk.html", "die Hilfe (Menü \"Hilfe\")"},
};

constexpr std::array ExitTable{
    FileNote{"0", "alles gelungen"},
    FileNote{"1", "die Arbeit ist misslungen (eine Datei fehlt oder ist beschädigt, ein "
                  "Gerät antwortet nicht)"},
    FileNote{"2", "der Aufruf ist falsch (unbekannter Befehl, unbekannte Option, fehlender "
                  "Wert)"},
};

// The lines of a description after the first, indented under it.
void AppendIndented(std::string& to, std::string_view text, std::size_t indent) {
    for (char c : text) {
        to += c;
        if (c == '\n') to.append(indent, ' ');
    }
}

} // namespace

std::string_view Version() {
    return SPURWERK_VERSION;
}

std::string VersionLine() {
    return "Spurwerk " + std::string(Version()) + "\n";
}

std::span<const Option> ProgramOptions() {
    return OptionTable;
}

std::span<const CommandUsage> Commands() {
    return CommandTable;
}

const CommandUsage* FindCommand(std::string_view name) {
    for (const CommandUsage& command : CommandTable)
        if (command.name == name) return &command;
    return nullptr;
}

std::string_view Description() {
    return "Spurwerk zeichnet bis zu 16 digitale Leitungen auf und zeigt sie als Zeitdiagramm: "
           "vom Druckerport (LPT1, LPT2), von bis zu vier K8055-USB-Karten oder von einem "
           "USB-Logikanalysator über libsigrok. Das Diagramm lässt sich zoomen und verschieben; "
           "Marker messen Zeiten und Frequenzen, die Suche findet Flanken und Nibbles, der "
           "Live-Modus zeichnet mit Trigger auf, Protokolle (UART, I2C, SPI, ...) werden mit "
           "libsigrokdecode dekodiert. Aufzeichnungen werden als .DIG gespeichert und mit "
           "sigrok-cli, PulseView und GTKWave als .sr, .vcd und .csv ausgetauscht.";
}

std::span<const FileNote> Files() {
    return FileTable;
}

std::span<const FileNote> ExitStatuses() {
    return ExitTable;
}

std::string ProgramHelp() {
    std::string text = "Spurwerk " + std::string(Version()) +
                       ", ein Logikanalysator\n"
                       "\n"
                       "Aufruf: spurwerk [OPTIONEN] [DATEI.DIG]\n"
                       "        spurwerk BEFEHL [ARGUMENTE]\n"
                       "\n"
                       "Ohne Befehl startet das Programmfenster; eine angegebene Aufzeichnung\n"
                       "wird nach dem Start geöffnet.\n"
                       "\n"
                       "Optionen:\n";
    constexpr std::size_t Column = 23;
    for (const Option& option : OptionTable) {
        text += "  ";
        text += option.names;
        if (option.names.size() + 3 > Column) {
            text += "\n";
            text.append(Column, ' ');
        } else {
            text.append(Column - 2 - option.names.size(), ' ');
        }
        AppendIndented(text, option.description, Column);
        text += "\n";
    }
    text += "\nBefehle (laufen ohne Fenster und ohne Bildschirm):\n";
    // The synopses are long: each summary gets a line of its own below.
    for (const CommandUsage& command : CommandTable) {
        text += "  spurwerk " + std::string(command.name) + " " + std::string(command.synopsis);
        text += "\n      ";
        text += command.summary;
        text += "\n";
    }
    text += "\n\"spurwerk BEFEHL --help\" beschreibt einen Befehl genauer.\n";
    return text;
}

} // namespace usage
