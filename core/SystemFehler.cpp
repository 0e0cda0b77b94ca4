// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SystemFehler.hpp"

#include <cerrno>

#include "core/EACode.hpp"
#include "core/Plattform.hpp"

namespace zentrix {

int IOCodeFromErrno(int err) {
    switch (err) {
        case 0: return ea::Ok;
        case ENOENT: return ea::NichtGefunden;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL: return ea::UngueltigerName;
        case EMFILE:
        case ENFILE: return ea::ZuVieleDateien;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY: return ea::ZugriffVerweigert;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return ea::ZuWenigPlatz;
        // Every other error keeps its own German reason (IOErrorText of the code).
        default: return SystemFehlerBasis + err;
    }
}

std::string SystemReasonText(int err) {
    switch (err) {
        case ENOENT: return "Die Datei oder der Ordner existiert nicht";
        case EACCES:
        case EPERM: return "Zugriff verweigert";
        case EISDIR: return "Der Pfad bezeichnet einen Ordner";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
        case ELOOP: return "Zu viele symbolische Verknüpfungen im Pfad (eine Schleife)";
        case ENAMETOOLONG: return "Der Dateiname ist zu lang";
        case EINVAL: return "Ungültiger Dateiname";
        case EROFS: return "Das Dateisystem ist schreibgeschützt";
        // A full disk or an exhausted quota reads as ea::ZuWenigPlatz does.
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "Zu wenig Speicherplatz";
        case EFBIG:
        case EOVERFLOW: return "Die Datei ist zu groß";
        case EMFILE:
        case ENFILE: return "Zu viele geöffnete Dateien";
        case EIO: return "Ein- und Ausgabefehler des Datenträgers";
        case EBUSY: return "Die Datei oder das Gerät ist belegt";
        case ETXTBSY: return "Die Datei wird gerade als Programm ausgeführt";
        case EEXIST: return "Die Datei existiert bereits";
        case EXDEV: return "Die Datei liegt auf einem anderen Datenträger";
        case ENXIO:
        case ENODEV: return "Das Gerät ist nicht vorhanden";
        case ENOMEM: return "Zu wenig Arbeitsspeicher";
        case EAGAIN: return "Die Datei ist vorübergehend nicht verfügbar";
        case EINTR: return "Der Zugriff wurde unterbrochen";
        case ENOTEMPTY: return "Der Ordner ist nicht leer";
#ifdef ESTALE
        case ESTALE: return "Die Datei auf dem Netzlaufwerk ist nicht mehr gültig";
#endif
        case ETIMEDOUT: return "Das Netzlaufwerk antwortet nicht";
        default: {
            // A Windows error without an errno value of the same meaning has a text of its own.
            std::string text = plattform::FehlerText(err);
            return text.empty() ? "Systemfehler " + std::to_string(err) : text;
        }
    }
}

}  // namespace zentrix
