// Polar evaluation of an observation file.
//
// From one instrument station a surveyor points at several reflector spheres, each three or more
// times at its surface, and stores every pointing as one observation line "Nr Ri S Zd R rest"
// (gon, metres, gon, metres). Consecutive lines with the same point name belong to one sphere.
// Each sphere's pointings are reduced to rectangular coordinates with the station as origin
// (X towards direction 0, Y towards direction 100 gon, Z up), the solver fits the sphere of the
// known radius, and the centre goes back into the file as one more observation line before the
// sphere's pointings, which get a leading "*".

#include "polar/Polarauswertung.hpp"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "polar/Kugelsuche.hpp"
#include "textio/Ablage.hpp"
#include "textio/Abbild.hpp"
#include "textio/Tausch.hpp"
#include "textio/TextFile.hpp"
#include "textio/Zwischendatei.hpp"

namespace zentrix {

namespace {

namespace fs = std::filesystem;

// The scan gives back the pages of the observations it has passed every this many bytes.
constexpr std::size_t Freigabeschritt = 1u << 20;

[[noreturn]] void RaiseCannotCreate(const std::string& name, int code, const std::string& reason) {
    EInOutError e(code, "Datei \"" + VollerPfad(name) + "\" kann nicht erstellt werden. " + reason);
    e.Ort.Datei = VollerPfad(name);
    throw e;
}

// Why an output stands new while the other could not be put in place: its exchange could not be
// taken back (the errno value; ENOTSUP: it replaced the old one without an exchange).
std::string NichtZurueckText(const std::string& ausgabe, int err, const std::string& eingabe) {
    return "Datei \"" + VollerPfad(ausgabe) + "\" ist schon neu und lässt sich nicht zurücktauschen (" +
           (err == ENOTSUP ? std::string("ohne Tausch ersetzt") : SystemReasonText(err)) +
           "); die nächste Auswertung von " + VollerPfad(eingabe) + " vollendet den Tausch";
}

}  // namespace

std::string AusgabeBasis(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    // Where each character of the file's own name begins (the continuation bytes of a UTF-8
    // character belong to the character before).
    std::vector<std::size_t> chars;
    for (std::size_t i = start; i < fileName.size(); ++i)
        if ((static_cast<unsigned char>(fileName[i]) & 0xC0) != 0x80) chars.push_back(i);
    if (chars.size() >= 4) return fileName.substr(0, chars[chars.size() - 3]);
    return fileName + ".";
}

namespace {

// An output file as it grows (the marked file, the listing): straight into its new file beside
// the input, or where the folder takes none yet (the error then comes when the outputs are put in
// place), into a temporary file without a name. The text comes as whole lines ended by CR LF.
class TWachsendeDatei {
public:
    TWachsendeDatei(const std::string& ziel, const std::string& neu) : nebenan_(neu_.Oeffne(ziel, neu)) {
        if (!nebenan_) zwischen_.emplace();
    }

    void Anhaengen(std::string_view zeilen) {
        puffer_.append(zeilen);
        if (puffer_.size() > (1u << 20)) Wegschreiben();
    }

    // The output for TAusgabenTausch::Ersetze; a write that failed is reported there with the
    // system's reason (a full disk as such).
    TAusgabe Ausgabe(const std::string& ziel) {
        Wegschreiben();
        if (nebenan_) {
            neu_.Schliesse();
            return {ziel, {}, true, neu_.Fehler()};
        }
        return {ziel, [this](std::FILE* f) { return zwischen_->KopiereNach(f); }, false, 0};
    }
    void Uebergeben() { neu_.Uebergeben(); }

private:
    // Writes what the buffer holds to the file.
    void Wegschreiben() {
        if (nebenan_) neu_.Schreibe(puffer_);
        else zwischen_->Anhaengen(puffer_);
        puffer_.clear();
    }
    TNeueDatei neu_;
    bool nebenan_;
    std::optional<TZwischendatei> zwischen_;  // only where the folder takes no new file
    std::string puffer_;
};

}  // namespace

TKugelsuche Polarauswertung(const std::string& fileName, TMemoLines& Memo,
                            const TMeldungMitOrt& meldung, bool iterativ, const TFortschritt& fortschritt,
                            const std::function<void()>& wartet) {
    Memo.clear();
    const std::string base = AusgabeBasis(fileName);
    const std::string markedName = base + "TXT";
    const std::string listingName = base + "LST";
    // One evaluation of a file at a time; what a run cut short left for it is completed or
    // removed before anything else.
    TAusgabenTausch tausch(fileName, {markedName, listingName}, wartet);
    if (const int err = tausch.SperrFehler(); err != 0) {
        EInOutError e(IOCodeFromErrno(err),
                      "Datei " + VollerPfad(fileName) + " kann nicht gesperrt werden. " + SystemReasonText(err));
        e.Ort.Datei = VollerPfad(fileName);
        throw e;
    }

    // The observations are read where they lie: the pages the scan has passed go back to the
    // system, and a day's file is never held whole.
    TDateiAbbild abbild;
    std::string reason;
    if (int err = 0; const int code = abbild.Oeffne(fileName, err)) {
        EInOutError e(code, "Datei " + VollerPfad(fileName) + " kann nicht geöffnet werden. " +
                                (err != 0 ? SystemReasonText(err) : IOErrorText(code)));
        e.Ort.Datei = VollerPfad(fileName);
        throw e;
    }
    const std::string_view text = abbild.Text();

    // An input named like an output would be replaced by it: refuse before any work.
    for (const std::string* out : {&markedName, &listingName})
        if (ablage::GleicheDatei(*out, fileName))
            RaiseCannotCreate(*out, ea::ZugriffVerweigert, "Die Eingabedatei würde überschrieben");

    // Both files grow as the scan goes.
    TWachsendeDatei marked(markedName, tausch.Neu(0)), listing(listingName, tausch.Neu(1));
    const char* gelesen = text.data();  // the text before this has gone back to the system
    const TKugelAusgaben aus{[&marked](std::string_view zeilen) { marked.Anhaengen(zeilen); },
                             [&listing](std::string_view zeilen) { listing.Anhaengen(zeilen); },
                             [&abbild, &gelesen](const char* bis) {
                                 if (bis - gelesen < static_cast<std::ptrdiff_t>(Freigabeschritt)) return;
                                 abbild.Freigeben(gelesen, bis);
                                 gelesen = bis;
                             }};
    TKugelsuche gefunden = SucheKugeln(text, Memo, meldung, iterativ, aus, KugelnJeStapel, fortschritt);
    // What another program cut off the file meanwhile was read as zeros: no output from that.
    if (abbild.Verkuerzt()) {
        EInOutError e(ea::DateiVerkuerzt, "Datei " + VollerPfad(fileName) + " kann nicht gelesen werden. " +
                                               IOErrorText(ea::DateiVerkuerzt));
        e.Ort.Datei = VollerPfad(fileName);
        throw e;
    }
    abbild.Schliesse();  // the input is no longer needed

    // Both files are complete and durable before either is put in place: when one of them cannot
    // be, neither old file is replaced and no new one is left behind.
    const std::vector<TAusgabe> outputs = {marked.Ausgabe(markedName), listing.Ausgabe(listingName)};
    std::size_t failed = 0;
    reason.clear();
    if (const int code = tausch.Ersetze(outputs, failed, &reason); code != 0) {
        if (reason.empty()) reason = IOErrorText(code);
        if (const auto nicht = tausch.NichtZurueck()) {
            // Half a swap that could not be undone: its files stay for the next run.
            marked.Uebergeben();
            listing.Uebergeben();
            reason += ". " + NichtZurueckText(outputs[nicht->first].Pfad, nicht->second, fileName);
        }
        RaiseCannotCreate(outputs[failed].Pfad, code, reason);
    }
    marked.Uebergeben();
    listing.Uebergeben();
    if (const int err = tausch.OrdnerNichtGesichert(); err != 0 && meldung) {
        TOrt ort;
        ort.Datei = VollerPfad(markedName);
        meldung("Der Ordner " + VollerPfad(ablage::Ordner(fileName).string()) +
                    " lässt sich nach dem Tausch nicht sichern (" + SystemReasonText(err) +
                    "): die Ausgaben stehen an ihrem Platz, überstehen aber einen Stromausfall vielleicht nicht",
                ort);
    }
    return gefunden;
}

}  // namespace zentrix
