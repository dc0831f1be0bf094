#include "persistence/EINIRegistryError.h"

EINIRegistryError::EINIRegistryError(int code, const QString& name)
    : code_(code), name_(name), message_(MessageFor(code, name).toStdString()) {}

QString EINIRegistryError::MessageFor(int code, const QString& name) {
    switch (code) {
    case WrongType:
        return QStringLiteral("Typ fehlerhaft");
    case WrongDataSize:
        return QStringLiteral("Falsche Datengröße für %1").arg(name);
    case NoCurrentKey:
        return QStringLiteral("Key existiert nicht");
    case UnknownDataType:
        return QStringLiteral("unbekannter Datentyp");
    case ListNotCreated:
        return QStringLiteral("List nicht erzeugt");
    case BufferTooSmall:
        return QStringLiteral("Puffer zu klein");
    case IndexOutOfRange:
        return QStringLiteral("Index außerhalb");
    case NotAKey:
        return QStringLiteral("Kein Key");
    case NotFound:
        return QStringLiteral("%1 nicht vorhanden").arg(name);
    case AlreadyExists:
        return QStringLiteral("%1 existiert bereits").arg(name);
    default:
        return QStringLiteral("unbekannter Fehler %1").arg(code);
    }
}
