#include "common/fehler.h"

#include <cerrno>

namespace bogenkette {

std::string systemfehlerText(int fehlernummer)
{
    switch (fehlernummer) {
    case ENOENT: return "Datei oder Ordner nicht gefunden";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EISDIR: return "das ist ein Ordner, keine Datei";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case ENOSPC: return "kein Platz mehr auf dem Datenträger";
    case EDQUOT: return "Speicherkontingent erschöpft";
    case EFBIG: return "die zulässige Dateigröße ist überschritten";
    case EROFS: return "der Datenträger ist schreibgeschützt";
    case ENAMETOOLONG: return "der Name ist zu lang";
    case EIO: return "Ein-/Ausgabefehler des Datenträgers";
    case EMFILE:
    case ENFILE: return "zu viele offene Dateien";
    case ENOMEM: return "nicht genug Arbeitsspeicher";
    case ELOOP: return "zu viele symbolische Verknüpfungen";
    default: return "Systemfehler " + std::to_string(fehlernummer);
    }
}

std::string dateiname(const std::string& pfad) { return "\"" + pfad + "\""; }

}  // namespace bogenkette
