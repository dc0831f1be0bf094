#include "front/SystemError.h"

#include <cerrno>
#include <cstring>

std::string SystemErrorText(int error) {
    switch (error) {
    case EPERM:
        return "Vorgang nicht erlaubt";
    case ENOENT:
        return "Datei oder Verzeichnis nicht gefunden";
    case EIO:
        return "Ein-/Ausgabefehler";
    case ENXIO:
        return "Gerät oder Adresse nicht vorhanden";
    case E2BIG:
        return "Argumentliste zu lang";
    case ENOEXEC:
        return "kein ausführbares Programm";
    case EBADF:
        return "ungültiger Dateideskriptor";
    case EAGAIN:
        return "Ressource vorübergehend nicht verfügbar";
    case ENOMEM:
        return "nicht genügend Hauptspeicher";
    case EACCES:
        return "keine Berechtigung";
    case EBUSY:
        return "Gerät oder Ressource belegt";
    case EEXIST:
        return "Datei existiert bereits";
    case ENODEV:
        return "kein passendes Gerät";
    case ENOTDIR:
        return "ist kein Verzeichnis";
    case EISDIR:
        return "ist ein Verzeichnis";
    case EINVAL:
        return "ungültiges Argument";
    case ENFILE:
    case EMFILE:
        return "zu viele offene Dateien";
    case ETXTBSY:
        return "Programmdatei wird gerade benutzt";
    case EFBIG:
        return "Datei zu groß";
    case ENOSPC:
        return "kein Platz mehr auf dem Datenträger";
    case ESPIPE:
        return "unzulässiges Positionieren";
    case EROFS:
        return "Dateisystem ist nur lesbar";
    case EPIPE:
        return "Verbindung zum Leser abgebrochen";
    case ENAMETOOLONG:
        return "Dateiname zu lang";
    case ELOOP:
        return "zu viele symbolische Verknüpfungen";
    case EOVERFLOW:
        return "Wert zu groß für den Datentyp";
    case EDQUOT:
        return "Speicherkontingent überschritten";
    case ETIMEDOUT:
        return "Zeitüberschreitung";
    case ENOTSUP:
        return "wird nicht unterstützt";
    default:
        return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}
