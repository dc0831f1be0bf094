#include "sigrok/SigrokError.h"

#include <libsigrok/libsigrok.h>

namespace sigrok {

std::string ErrorCodeText(int rc) {
    switch (rc) {
    case SR_OK:
        return "kein Fehler";
    case SR_ERR:
        return "allgemeiner Fehler";
    case SR_ERR_MALLOC:
        return "nicht genügend Hauptspeicher";
    case SR_ERR_ARG:
        return "ungültiges Argument";
    case SR_ERR_BUG:
        return "interner Fehler der Bibliothek";
    case SR_ERR_SAMPLERATE:
        return "ungültige Abtastrate";
    case SR_ERR_NA:
        return "nicht verfügbar";
    case SR_ERR_DEV_CLOSED:
        return "das Gerät ist geschlossen";
    case SR_ERR_TIMEOUT:
        return "Zeitüberschreitung";
    case SR_ERR_CHANNEL_GROUP:
        return "keine Kanalgruppe angegeben";
    case SR_ERR_DATA:
        return "die Daten sind fehlerhaft";
    case SR_ERR_IO:
        return "Ein-/Ausgabefehler";
    default:
        return "Fehler " + std::to_string(rc) + " (" + sr_strerror(rc) + ")";
    }
}

} // namespace sigrok
