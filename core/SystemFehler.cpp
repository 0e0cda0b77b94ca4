#include "core/SystemFehler.hpp"

#include <cerrno>

namespace zentrix {

int IOCodeFromErrno(int err) {
    switch (err) {
        case 0: return 0;
        case ENOENT: return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
        case ETXTBSY: return 5;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return 101;
        default: return err;
    }
}

std::string SystemReasonText(int err) {
    switch (err) {
        case ENOENT: return "Die Datei oder der Ordner existiert nicht";
        case EACCES:
        case EPERM: return "Zugriff verweigert";
        case EISDIR: return "Der Pfad bezeichnet einen Ordner";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
        case EROFS: return "Das Dateisystem ist schreibgeschützt";
        // A full disk or an exhausted quota reads as the I/O code 101 does.
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "Zu wenig Speicherplatz";
        case EFBIG: return "Die Datei ist zu groß";
        case ENAMETOOLONG: return "Der Dateiname ist zu lang";
        default: return "Systemfehler " + std::to_string(err);
    }
}

}  // namespace zentrix
