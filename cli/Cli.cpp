// SPDX-License-Identifier: GPL-3.0-or-later
// zentrix-cli: each command runs on a freshly started window model, as the window would run it.
#include "cli/Cli.hpp"

#include "cli/JsonStrom.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <numeric>
#include <sstream>
#include <nlohmann/json.hpp>

#include "cli/Scan.hpp"
#include "cli/Zielpruefung.hpp"
#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "polar/KugelTabelle.hpp"
#include "scan/ScanTabelle.hpp"
#include "textio/TextFile.hpp"
#include "window/UnitBogenschnitt3D.hpp"
#ifdef ZENTRIX_MIT_GRAFIK
#include "cli/GrafikLaden.hpp"
#endif

namespace zentrix {

namespace {

const char* const Hilfetext =
    "Aufruf: zentrix-cli BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle (jeder beginnt wie ein frisch gestartetes Programm, nach der Startrechnung):\n"
    "  demo [--iterativ] [--json] [--grafik BILD]\n"
    "                                         die Startrechnung mit den vier Beispielpunkten\n"
    "  rechne --radius TEXT [--iterativ] [--json] [--grafik BILD] [DATEI]\n"
    "                                         \"Rechne\": ein Punkt je Zeile, die Texte der Spalten\n"
    "                                         X, Y, Z durch Tabulatoren getrennt (ohne DATEI: Standardeingabe)\n"
    "  rechne-datei DATEI [--format N] [--iterativ] [--json] [--grafik BILD]\n"
    "                                         \"Rechne Datei\" mit Datenformat N (0 bis 7, Vorgabe 0)\n"
    "  polarauswertung DATEI [--iterativ] [--json] [--kugeln TABELLE]\n"
    "                                         \"Polarauswertung\" einer Beobachtungsdatei; --kugeln schreibt\n"
    "                                         die Kugelübersicht als CSV (Semikolon, Dezimalkomma, UTF-8)\n"
    "  konvert [--dir ORDNER] [--json]        \"Konvert\": test2.beb in test2.Kor (Vorgabe: aktueller Ordner)\n"
    "  scan WOLKE --radius R [--standpunkt X Y Z] [--json] [--kugeln TABELLE] [--punkte ORDNER]\n"
    "       [--beobachtungen DATEI]\n"
    "                                         jede Kugel mit Radius R (Meter) in einer Punktwolke (Text,\n"
    "                                         PLY oder LAS) finden und ausgleichen, gesehen vom Standpunkt\n"
    "                                         (Vorgabe: Ursprung der Wolke); eine Zeile je Kugel. --kugeln die\n"
    "                                         Übersicht als CSV, --punkte je Kugel ihre Punkte als\n"
    "                                         Koordinatendatei (Datenformat 0), --beobachtungen die\n"
    "                                         Mittelpunkte als Beobachtungszeilen (Nr Ri S Zd 0.00)\n"
    "  folge SCHRITT... [--iterativ] [--json]\n"
    "                                         mehrere Befehle nacheinander auf demselben Fenster, ohne\n"
    "                                         Neustart dazwischen; SCHRITT ist je ein Befehl mit seinen\n"
    "                                         Angaben als ein Argument, z. B. 'rechne-datei k.kor --format 4'.\n"
    "                                         \"rechne\" ohne DATEI rechnet die Tabelle, wie sie steht\n"
    "                                         (--radius dann nach Wunsch); \"zeige-kugel KUGEL\" zeigt die\n"
    "                                         Kugel KUGEL (Name, sonst Nummer in der Datei) der letzten\n"
    "                                         Polarauswertung oder des letzten Scans wie ein Doppelklick in\n"
    "                                         der Kugelübersicht; \"scan WOLKE --radius R\" wertet wie\n"
    "                                         \"Scan auswerten\" (F9) aus (nur mit --standpunkt, --kugeln)\n"
    "  --version                              die Version des Programms\n"
    "\n"
    "--iterativ: Ausgleichung bis zur Konvergenz (wie \"Iterieren\" im Fenster) statt des einen Schritts.\n"
    "--grafik BILD: die Grafik der Rechnung (Grundriss und Schnitt) als BILD, .png oder .svg.\n"
    "Ausgabe: das Protokoll und die Tabelle; Meldungen und Fehler auf der Fehlerausgabe.\n"
    "Mit --json ein JSON-Objekt: report, grid, reflektorhoehe, messages, error, ergebnis, punkte;\n"
    "mit --iterativ dazu statistik und je Punkt NV, r und ausreisser.\n"
    "Mit folge und --json: das Objekt des letzten Schritts, dazu schritte (je Schritt messages, error, rc).\n"
    "scan mit --json: report, messages, error, ort und kugeln (je Kugel mittelpunkt mit X, Y, Z, Ri, S, Zd,\n"
    "mX, mY, mZ, m0, punkte, ausreisser, radius_frei, radius_abweichend, kappe, seitenwahl).\n"
    "Rückgabewert: 0 fertig, 3 fertig mit Meldung, 1 Fehler, 2 falscher Aufruf;\n"
    "bei folge der des ersten Schritts, der nicht 0 ergab.\n";

// What the command line asked for.
struct TAufruf {
    std::string befehl;
    bool json = false;
    bool iterativ = false;  // the converged solver
    std::string radius;   // rechne: the text of the reflector-height field
    std::string datei;    // rechne (optional), rechne-datei, polarauswertung
    int format = 0;       // rechne-datei
    std::string ordner;   // konvert
    std::string grafik;   // demo, rechne, rechne-datei: the picture's file
    std::string kugeln;   // polarauswertung: the sphere table's CSV file
    std::string kugel;    // zeige-kugel (a step of folge): a sphere's name or its number in the file
    bool radiusGegeben = false;            // rechne: --radius was given
    std::vector<std::string> schritte;     // folge: one command line each
    TScanAufruf scan;                      // scan
};

// A freshly started window after its first activation, and where the command's own report,
// messages and errors begin.
struct TLauf {
    TRecordingDialoge dialoge;
    TForm1 form;
    std::size_t memoStart = 0;
    int geloescht = 0;
    std::size_t meldungenStart = 0;
    std::size_t fehlerStart = 0;
    bool weitergegeben = false;  // report lines went out as they came
    bool auswertung = false;     // the command is a polar evaluation
    bool scan = false;           // the command is a scan's evaluation (a step of folge)

    TLauf(const std::string& ordner, bool demo, bool iterativ) : form(dialoge, ordner) {
        form.Iterieren = iterativ;
        form.Dispatch(&TForm1::Startrechnung);
        // The demonstration's report is the output of "demo"; every other command shows its own.
        Beginne();
        if (demo) {
            memoStart = 1;
            meldungenStart = 0;
            fehlerStart = 0;
        }
    }
    // A command begins: its report, messages and errors are those from here on.
    void Beginne() {
        memoStart = form.Memo1.size();
        geloescht = form.Memo1Cleared;
        meldungenStart = dialoge.Messages.size();
        fehlerStart = dialoge.Errors.size();
        weitergegeben = false;
        auswertung = false;
        scan = false;
    }
    bool MitFehler() const { return dialoge.Errors.size() > fehlerStart; }
    // The exit code of the command since Beginne.
    int Ergebnis() const {
        return dialoge.Errors.size() > fehlerStart       ? CliFehler
               : dialoge.Messages.size() > meldungenStart ? CliMeldung
                                                           : CliOk;
    }
};

std::vector<std::string> Felder(const std::string& zeile) {
    std::vector<std::string> felder;
    std::size_t start = 0;
    for (;;) {
        const auto tab = zeile.find('\t', start);
        felder.push_back(zeile.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return felder;
}

const char* GermanReason(const CLI::Error& e) {
    if (dynamic_cast<const CLI::RequiredError*>(&e)) return "eine nötige Angabe fehlt";
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) return "unbekannte Angabe";
    if (dynamic_cast<const CLI::ValidationError*>(&e)) return "ungültiger Wert";
    if (dynamic_cast<const CLI::ConversionError*>(&e)) return "ungültiger Wert";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "falsche Anzahl von Werten";
    return "nicht verstanden";
}

// The grid as a table: columns separated by two blanks, each as wide as its widest cell, no blanks
// at the ends of the lines. Written a megabyte at a time.
void PrintTable(const TStringGrid& grid, std::ostream& out) {
    // The widest cell of each column, the rows in parts on all cores.
    const auto spalten = static_cast<std::size_t>(grid.ColCount());
    std::vector<std::size_t> breiten(spalten, 0);
    for (const std::vector<std::size_t>& teil :
         InTeilen(static_cast<std::size_t>(grid.RowCount()), ZeilenJeBlock, [&](std::size_t anfang, std::size_t ende) {
             std::vector<std::size_t> b(spalten, 0);
             for (std::size_t c = 0; c < spalten; ++c)
                 for (std::size_t r = anfang; r < ende; ++r)
                     b[c] = std::max(b[c], grid.Breite(static_cast<int>(c), static_cast<int>(r)));
             return b;
         }))
        for (std::size_t c = 0; c < spalten; ++c) breiten[c] = std::max(breiten[c], teil[c]);
    // Rows [anfang, ende) as text.
    auto zeilen = [&grid, &breiten, spalten](std::size_t anfang, std::size_t ende) {
        std::string text;
        const int letzte = grid.ColCount() - 1;
        text.reserve((ende - anfang) * (std::accumulate(breiten.begin(), breiten.end(), std::size_t{0}) + 2 * spalten));
        for (std::size_t r = anfang; r < ende; ++r) {
            const std::size_t zeile = text.size();
            for (int c = 0; c <= letzte; ++c) {
                const std::size_t breite = grid.AppendText(c, static_cast<int>(r), text);
                if (c < letzte) text.append(breiten[static_cast<std::size_t>(c)] - breite + 2, ' ');
            }
            while (text.size() > zeile && text.back() == ' ') text.pop_back();
            text += '\n';
        }
        return text;
    };
    InBloecken(static_cast<std::size_t>(grid.RowCount()), ZeilenJeBlock, zeilen,
               [&out](const std::string& text) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
}

// "folge SCHRITT... [--iterativ] [--json]": every other word is a step, taken as it stands (a step
// may be named like a command, which a parser of subcommands would take for one).
std::optional<int> LiesFolge(const std::vector<std::string>& args, TAufruf& a, std::ostream& err) {
    a.befehl = "folge";
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") {
            a.json = true;
        } else if (args[i] == "--iterativ") {
            a.iterativ = true;
        } else if (args[i].empty() || args[i].front() == '-') {
            err << "zentrix-cli: falscher Aufruf (unbekannte Angabe).\n\n" << Hilfetext;
            return CliAufruf;
        } else {
            a.schritte.push_back(args[i]);
        }
    }
    if (a.schritte.empty()) {
        err << "zentrix-cli: falscher Aufruf (folge ohne Schritt).\n\n" << Hilfetext;
        return CliAufruf;
    }
    return std::nullopt;
}

// Parses the command line. Returns an exit code when the run ends here (help, wrong usage). A step
// of "folge" is one command without "folge", and "rechne" needs no --radius there.
std::optional<int> LiesAufruf(const std::vector<std::string>& args, TAufruf& a, std::ostream& out, std::ostream& err,
                              bool schritt = false) {
    if (!schritt && !args.empty() && args.front() == "folge") return LiesFolge(args, a, err);
    CLI::App app{"zentrix-cli", "zentrix-cli"};
    // On every system an argument beginning with "/" is a path (CLI11 would read it as an option
    // on Windows); the commands inherit this.
    app.allow_windows_style_options(false);
    app.set_help_flag();
    bool hilfe = false;
    app.add_flag("-h,--hilfe,--help", hilfe);
    auto* demo = app.add_subcommand("demo");
    auto* rechne = app.add_subcommand("rechne");
    auto* radius = rechne->add_option("--radius", a.radius);
    if (!schritt) radius->required();
    rechne->add_option("DATEI", a.datei);
    auto* rechneDatei = app.add_subcommand("rechne-datei");
    rechneDatei->add_option("DATEI", a.datei)->required();
    rechneDatei->add_option("--format", a.format)->check(CLI::Range(0, 7));
    auto* polar = app.add_subcommand("polarauswertung");
    polar->add_option("DATEI", a.datei)->required();
    polar->add_option("--kugeln", a.kugeln);
    ScanBefehl(app, a.scan);
    auto* konvert = app.add_subcommand("konvert");
    konvert->add_option("--dir", a.ordner);
    // Within a sequence only: a sphere of the evaluation before, shown as a double-click shows it.
    if (schritt) app.add_subcommand("zeige-kugel")->add_option("KUGEL", a.kugel)->required();
    for (CLI::App* befehl : {demo, rechne, rechneDatei, polar}) {
        befehl->add_flag("--json", a.json);
        befehl->add_flag("--iterativ", a.iterativ);
    }
    konvert->add_flag("--json", a.json);
    for (CLI::App* befehl : {demo, rechne, rechneDatei}) befehl->add_option("--grafik", a.grafik);
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));  // CLI11 takes them reversed
    } catch (const CLI::Error& e) {
        err << "zentrix-cli: falscher Aufruf (" << GermanReason(e) << ").\n\n" << Hilfetext;
        return CliAufruf;
    }
    if (hilfe && !schritt) {
        out << Hilfetext;
        return CliOk;
    }
    if (app.get_subcommands().size() != 1) {
        err << "zentrix-cli: falscher Aufruf (kein Befehl angegeben).\n\n" << Hilfetext;
        return CliAufruf;
    }
    a.befehl = app.get_subcommands().front()->get_name();
    if (a.befehl == "scan" && schritt) {
        // A step evaluates the scan on the window; each sphere's points and the observations come
        // from "scan" alone.
        if (!a.scan.punkte.empty() || !a.scan.beobachtungen.empty() || a.scan.json) {
            err << "zentrix-cli: falscher Aufruf (scan in einer Folge: nur WOLKE, --radius, --standpunkt und "
                   "--kugeln).\n\n"
                << Hilfetext;
            return CliAufruf;
        }
        a.datei = a.scan.wolke;
        a.kugeln = a.scan.kugeln;
    }
    a.radiusGegeben = radius->count() > 0;
    if (!a.grafik.empty()) {
#ifdef ZENTRIX_MIT_GRAFIK
        if (!GrafikEndung(a.grafik)) {
            err << "zentrix-cli: falscher Aufruf (--grafik: der Dateiname muss auf .png oder .svg enden).\n";
            return CliAufruf;
        }
#else
        err << "zentrix-cli: falscher Aufruf (--grafik: dieses zentrix-cli ist ohne Qt gebaut).\n";
        return CliAufruf;
#endif
    }
    return std::nullopt;
}

// The words of a step: separated by blanks, a word in single or double quotes taken as it stands.
std::vector<std::string> Woerter(const std::string& schritt) {
    std::vector<std::string> woerter;
    std::string wort;
    bool imWort = false;
    char zitat = 0;
    for (const char c : schritt) {
        if (zitat != 0) {
            if (c == zitat) zitat = 0;
            else wort += c;
        } else if (c == '\'' || c == '"') {
            zitat = c;
            imWort = true;
        } else if (c == ' ' || c == '\t') {
            if (imWort) woerter.push_back(wort);
            wort.clear();
            imWort = false;
        } else {
            wort += c;
            imWort = true;
        }
    }
    if (imWort) woerter.push_back(wort);
    return woerter;
}

// "Rechne": one point per line, the texts of columns X, Y, Z separated by tabulators, typed into
// the grid as the user would; the radius text into the reflector-height field.
void Rechne(TLauf& lauf, const TAufruf& a, std::istream& in, bool imSchritt) {
    if (imSchritt && a.datei.empty()) {
        // Within a sequence: the grid as the steps before left it.
        if (a.radiusGegeben) lauf.form.Edit1.Text = a.radius;
        lauf.form.Dispatch(&TForm1::Rechne);
        return;
    }
    std::vector<std::string> zeilen;
    if (a.datei.empty()) {
        zeilen = SplitLines(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    } else if (std::string grund; LoadLines(a.datei, zeilen, &grund) != 0) {
        TOrt ort;
        ort.Datei = VollerPfad(a.datei);
        lauf.dialoge.ShowError(ErrorBoxText("Datei " + a.datei + " kann nicht gelesen werden. " + grund), ort);
        return;
    }
    TStringGrid& grid = lauf.form.StringGrid1;
    grid.SetRowCount(static_cast<int>(zeilen.size()) + 2);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const auto felder = Felder(zeilen[i]);
        for (std::size_t c = 1; c <= 3; ++c)
            grid.Cells(static_cast<int>(c), static_cast<int>(i) + 2) = c <= felder.size() ? felder[c - 1] : "";
    }
    if (!imSchritt || a.radiusGegeben) lauf.form.Edit1.Text = a.radius;
    lauf.form.Dispatch(&TForm1::Rechne);
}

// Runs a command that clears the report before it writes any line ("Rechne Datei",
// "Polarauswertung"). As text, the report goes out as it grows: a million points or a day's
// observations give a report of many megabytes, which would otherwise be moved out to a temporary
// file only to be read back once.
void MitBericht(TLauf& lauf, const TAufruf& a, std::ostream& out, void (TForm1::*handler)()) {
    if (a.json) {
        lauf.form.Dispatch(handler);
        return;
    }
    // The memo hands the lines on a megabyte at a time.
    struct TWeitergabe {
        TMemoLines& memo;
        ~TWeitergabe() { memo.Weitergeben(nullptr); }
    } weitergabe{lauf.form.Memo1};
    lauf.form.Memo1.Weitergeben([&](std::string_view zeilen) {
        out.write(zeilen.data(), static_cast<std::streamsize>(zeilen.size()));
        lauf.weitergegeben = true;
    });
    lauf.form.Dispatch(handler);
    lauf.form.Memo1.Weitergeben(nullptr);  // the last lines
}

void RechneDatei(TLauf& lauf, const TAufruf& a, std::ostream& out) {
    lauf.form.Edit2.Text = a.datei;
    lauf.form.RadioGroup1.ItemIndex = a.format;
    MitBericht(lauf, a, out, &TForm1::RechneDatei);
}

// A scan as a step of folge: the cloud, radius and station into the window's fields, then
// "Scan auswerten" (its spheres into the overview, for zeige-kugel).
void ScanSchritt(TLauf& lauf, const TAufruf& a, std::ostream& out) {
    lauf.scan = true;
    lauf.form.Edit2.Text = a.scan.wolke;
    lauf.form.Edit1.Text = a.scan.radius;
    lauf.form.Standpunkt.Text = a.scan.standpunkt.size() == 3
                                    ? a.scan.standpunkt[0] + " " + a.scan.standpunkt[1] + " " + a.scan.standpunkt[2]
                                    : "0 0 0";
    MitBericht(lauf, a, out, &TForm1::ScanAuswerten);
}

void Polarauswertung(TLauf& lauf, const TAufruf& a, std::ostream& out) {
    lauf.auswertung = true;
    lauf.form.Edit2.Text = a.datei;
    MitBericht(lauf, a, out, &TForm1::Polarauswertung);
}

// "zeige-kugel KUGEL": the sphere of the last polar evaluation named KUGEL (the first of that name),
// else the KUGEL-th in file order, shown as a double-click in the overview shows it.
// The spheres of the last scan when the overview shows those.
void ZeigeKugel(TLauf& lauf, const std::string& kugel) {
    const bool scan = lauf.form.Uebersicht == TForm1::TUebersicht::Scan;
    const std::size_t anzahl = scan ? lauf.form.Scan->Kugeln.size() : lauf.form.Kugeln->size();
    auto heisst = [&lauf, scan](std::size_t i) -> std::string_view {
        return scan ? std::string_view(lauf.form.Scan->Kugeln[i].Name) : (*lauf.form.Kugeln)[i].Name.view();
    };
    std::size_t index = 0;
    while (index < anzahl && heisst(index) != kugel) ++index;
    if (index == anzahl) {
        const bool ziffern = !kugel.empty() && kugel.size() <= 9 &&
                             std::all_of(kugel.begin(), kugel.end(), [](char c) { return c >= '0' && c <= '9'; });
        const std::size_t nr = ziffern ? std::stoul(kugel) : 0;
        if (nr < 1 || nr > anzahl) {
            lauf.dialoge.ShowError(ErrorBoxText("Keine Kugel „" + kugel + "“ in " +
                                                (scan ? "der letzten Scanauswertung (" : "der letzten Polarauswertung (") +
                                                Anzahl(anzahl) + (anzahl == 1 ? " Kugel)" : " Kugeln)")));
            return;
        }
        index = nr - 1;
    }
    lauf.form.GewaehlteKugel = index;
    lauf.form.Dispatch(&TForm1::KugelZeigen);
}

// Where the command's report begins in the memo: at its start when the command cleared it,
// otherwise behind what was there before.
std::size_t BerichtAnfang(const TLauf& lauf) {
    return lauf.form.Memo1Cleared != lauf.geloescht ? 0 : lauf.memoStart;
}

// The command's report, line by line.
void Bericht(const TLauf& lauf, const std::function<void(std::string_view)>& f) {
    const std::size_t anfang = BerichtAnfang(lauf);
    if (anfang <= lauf.form.Memo1.size()) lauf.form.Memo1.ForEach(f, anfang);
}

// The result code of the last computation (null when none ran), every sphere's of a polar
// evaluation, and the point list; with the converged solver its statistics and per point NV (null
// where none can be formed), the redundancy part r and the outlier mark.
void JsonErgebnis(const TLauf& lauf, TJsonStrom& j) {
    const std::optional<TKugelLoesung>& L = lauf.form.LetzteLoesung;
    j.Wert("ergebnis", L ? nlohmann::json(Code(L->Ergebnis)) : nlohmann::json(nullptr));
    if (!lauf.form.Ergebnisse.empty())
        j.Feld("ergebnisse", [&lauf](const auto& element) {
            for (const KugelErgebnis e : lauf.form.Ergebnisse) element(Code(e));
        });
    const bool iterativ = L && L->Iterativ;
    const TKonvergenz* k = iterativ && L->Konvergenz ? &*L->Konvergenz : nullptr;
    if (iterativ) {
        nlohmann::json s = nullptr;
        if (k && L->n > 3) {
            const TAusgleichung& a = *L->Ausgleichung;
            s = {{"m0", a.m0}, {"mX", a.m.X}, {"mY", a.m.Y}, {"mZ", a.m.Z}, {"iterationen", k->Iterationen}};
            s["radius_frei"] = k->Radius ? nlohmann::json(k->Radius->RFrei) : nlohmann::json(nullptr);
            s["m_radius_frei"] = k->Radius ? nlohmann::json(k->Radius->mR) : nlohmann::json(nullptr);
            s["radius_abweichend"] = k->Radius ? nlohmann::json(k->Radius->Abweichend) : nlohmann::json(nullptr);
            // With the station at the origin: which rule chose the side of the points' plane.
            if (k->Seitenwahl != TSeitenwahl::Keine)
                s["seitenwahl"] = k->Seitenwahl == TSeitenwahl::Standpunkt ? "standpunkt" : "quadratsumme";
        } else if (k) {
            s = {{"iterationen", k->Iterationen}};
        }
        j.Wert("statistik", s);
    }
    j.Feld("punkte", [&lauf, &L, k, iterativ](const auto& element) {
        long long i = 0;
        for (const TPunkt& p : lauf.form.Punkte) {
            nlohmann::json q = {{"Name", p.Name.str()}, {"X", p.X}, {"Y", p.Y}, {"Z", p.Z}, {"vR", p.vR}};
            if (iterativ && i > 0) {
                const auto idx = static_cast<std::size_t>(i - 1);
                const bool mitNV = k && idx < L->Ausgleichung->NV.size();
                q["NV"] = mitNV && !std::isnan(L->Ausgleichung->NV[idx]) ? nlohmann::json(L->Ausgleichung->NV[idx]) : nullptr;
                q["r"] = k && idx < k->r.size() ? nlohmann::json(k->r[idx]) : nlohmann::json(nullptr);
                q["ausreisser"] = k != nullptr && k->Ausreisser == i;
            }
            element(q);
            ++i;
        }
    });
}

// A place as JSON: only what is known of it; lines and fields as integers.
nlohmann::json OrtJson(const TOrt& o) {
    if (o.Leer()) return nullptr;
    nlohmann::json j = nlohmann::json::object();
    if (!o.Datei.empty()) j["datei"] = o.Datei;
    if (!o.Kugel.empty()) j["kugel"] = o.Kugel;
    if (o.Zeile > 0) j["zeile"] = o.Zeile;
    if (o.ZeileBis > 0) j["zeile_bis"] = o.ZeileBis;
    if (o.Feld > 0) j["feld"] = o.Feld;
    if (o.Feld > 0 || !o.Zelle.empty() || !o.Text.empty()) j["text"] = o.Text;
    if (!o.Zelle.empty()) j["zelle"] = {{"name", o.Zelle}, {"zeile", o.GitterZeile}, {"spalte", o.GitterSpalte}};
    if (!o.Grund.empty()) j["grund"] = o.Grund;
    return j;
}

// Every sphere of the evaluation in file order: its name, lines, pointings, result and reason,
// the centre as its centre line states it, and the figures of the fit.
nlohmann::json KugelJson(const TKugelEintrag& e) {
    const bool ok = e.Ergebnis == KugelErgebnis::Ok;
    nlohmann::json k = {{"name", e.Name.str()},
                        {"zeilen", {e.ErsteZeile, e.LetzteZeile()}},
                        {"punkte", e.Punkte},
                        {"ergebnis", Code(e.Ergebnis)},
                        {"grund", e.Grund.str()},
                        {"unsicher", e.Unsicher}};
    k["mittelpunkt"] = ok ? nlohmann::json{{"Ri", e.Mittelpunkt.Ri}, {"S", e.Mittelpunkt.S}, {"Zd", e.Mittelpunkt.Zd}}
                          : nlohmann::json(nullptr);
    k["m0"] = ok ? nlohmann::json(e.m0) : nlohmann::json(nullptr);
    k["max_vR"] = ok ? nlohmann::json(e.MaxVR) : nlohmann::json(nullptr);
    if (e.Iterativ) {
        k["ausreisser"] = e.Ausreisser > 0 ? nlohmann::json(e.Ausreisser) : nlohmann::json(nullptr);
        k["radius_frei"] = e.Radius ? nlohmann::json(e.Radius->RFrei) : nlohmann::json(nullptr);
        k["radius_abweichend"] = e.Radius ? nlohmann::json(e.Radius->Abweichend) : nlohmann::json(nullptr);
    } else if (!ok) {
        k["mit_iterieren"] = e.MitIterieren;
    }
    nlohmann::json meldungen = nlohmann::json::array();
    for (const TOrtsMeldung& m : e.Meldungen) meldungen.push_back({{"meldung", m.Text}, {"ort", OrtJson(m.Ort)}});
    k["meldungen"] = meldungen;
    return k;
}

// The command's outcome as one JSON object, written as it is put together: the report, the grid
// and the points of a million-point file go out a line, a row and a point at a time.
void SchreibeJson(const TLauf& lauf, std::ostream& out, const nlohmann::json* schritte = nullptr) {
    const std::vector<std::string>& meldungen = lauf.dialoge.Messages;
    const std::vector<std::string>& fehler = lauf.dialoge.Errors;
    TJsonStrom j;
    j.Feld("report", [&lauf](const auto& element) { Bericht(lauf, [&element](std::string_view zeile) { element(zeile); }); });
    j.Feld("grid", [&lauf](const auto& element) {
        const TStringGrid& g = lauf.form.StringGrid1;
        for (int r = 0; r < g.RowCount(); ++r) {
            nlohmann::json zeile = nlohmann::json::array();
            for (int c = 0; c < g.ColCount(); ++c) zeile.push_back(g.Cells(c, r));
            element(zeile);
        }
    });
    j.Wert("reflektorhoehe", lauf.form.Edit1.Text);
    // Whether the grid's centre row and residuals hold a result (after a failure they hold zeros).
    j.Wert("mittelpunkt_gueltig", lauf.form.MittelpunktGueltig);
    j.Wert("messages", std::vector<std::string>(meldungen.begin() + static_cast<std::ptrdiff_t>(lauf.meldungenStart),
                                                meldungen.end()));
    j.Wert("error", fehler.size() > lauf.fehlerStart ? nlohmann::json(fehler.back()) : nlohmann::json(nullptr));
    j.Wert("ort", fehler.size() > lauf.fehlerStart ? OrtJson(lauf.dialoge.ErrorOrte.back()) : nlohmann::json(nullptr));
    if (lauf.auswertung && !lauf.MitFehler())
        j.Feld("kugeln", [&lauf](const auto& element) {
            for (const TKugelEintrag& e : *lauf.form.Kugeln) element(KugelJson(e));
        });
    if (lauf.scan && !lauf.MitFehler())
        j.Feld("kugeln", [&lauf](const auto& element) {
            for (const TScanKugel& k : lauf.form.Scan->Kugeln) element(ScanKugelJson(k));
        });
    JsonErgebnis(lauf, j);
    if (schritte != nullptr) j.Wert("schritte", *schritte);
    j.Schreibe(out);
}

void SchreibeText(const TLauf& lauf, std::ostream& out, std::ostream& err) {
    // The report's lines each ended by a line feed and an empty line behind them: laid out on both
    // cores a block of lines at a time and written in order.
    const TMemoLines& memo = lauf.form.Memo1;
    const std::size_t anfang = BerichtAnfang(lauf);
    const std::size_t zeilen = anfang < memo.size() ? memo.size() - anfang : 0;
    InBloecken(zeilen, ZeilenJeBlock, [&memo, anfang](std::size_t von, std::size_t bis) {
        return memo.Text(anfang + von, anfang + bis, "\n");
    }, [&out](const std::string& text) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
    if (zeilen > 0 || lauf.weitergegeben) out << '\n';
    PrintTable(lauf.form.StringGrid1, out);
    // The messages as one text: the error stream writes each piece at once, and a day's evaluation
    // can bring tens of thousands of them.
    // Each with its place, where it has one, on the line after it; a polar evaluation's summary
    // last.
    const TRecordingDialoge& d = lauf.dialoge;
    std::string text;
    auto ort = [&text](const TOrt& o) {
        if (!o.Leer()) text.append("  ").append(OrtText(o)) += '\n';
    };
    for (std::size_t i = lauf.meldungenStart; i < d.Messages.size(); ++i) {
        text.append("Meldung: ").append(d.Messages[i]) += '\n';
        ort(d.MessageOrte[i]);
    }
    if (lauf.MitFehler()) {
        text.append("Fehler: ").append(d.Errors.back()) += '\n';
        ort(d.ErrorOrte.back());
    }
    if (lauf.auswertung && !lauf.MitFehler())
        text.append(KugelZusammenfassung(*lauf.form.Kugeln, lauf.form.KugelnIterativ)) += '\n';
    err.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

namespace {

// Runs one parsed command on the window as it stands (as text, its report goes out as it grows).
void Befehl(TLauf& lauf, const TAufruf& a, std::istream& in, std::ostream& out, bool imSchritt) {
    if (a.befehl == "demo" && imSchritt) lauf.form.Dispatch(&TForm1::Startrechnung);
    else if (a.befehl == "rechne") Rechne(lauf, a, in, imSchritt);
    else if (a.befehl == "rechne-datei") RechneDatei(lauf, a, out);
    else if (a.befehl == "polarauswertung") Polarauswertung(lauf, a, out);
    else if (a.befehl == "konvert") lauf.form.Dispatch(&TForm1::Konvert);
    else if (a.befehl == "zeige-kugel") ZeigeKugel(lauf, a.kugel);
    else if (a.befehl == "scan") ScanSchritt(lauf, a, out);
}

// Writes the sphere table of an evaluation where --kugeln asks for it; false (and the reason on
// err) when it cannot be written.
bool Kugeltabelle(const TLauf& lauf, const TAufruf& a, std::ostream& err) {
    if (a.kugeln.empty() || !(lauf.auswertung || lauf.scan) || lauf.MitFehler()) return true;
    std::string grund;
    const std::string csv =
        lauf.scan ? ScanKugelnCsv(lauf.form.Scan->Kugeln) : KugelnCsv(*lauf.form.Kugeln, lauf.form.KugelnIterativ);
    if (SaveText(a.kugeln, csv, &grund) == 0) return true;
    err << "Fehler: Datei " << a.kugeln << " kann nicht geschrieben werden. " << grund << ".\n";
    return false;
}

// Saves the command's picture where --grafik asks for one; false (and the reason on err) when it
// cannot be drawn or written.
bool Grafik([[maybe_unused]] const TLauf& lauf, [[maybe_unused]] const TAufruf& a, [[maybe_unused]] std::ostream& err) {
#ifdef ZENTRIX_MIT_GRAFIK
    if (!a.grafik.empty()) {
        if (const std::string fehler = SpeichereGrafikMitModul(GrafikAus(lauf.form), a.grafik); !fehler.empty()) {
            err << "Fehler: " << fehler << '\n';
            return false;
        }
    }
#endif
    return true;
}

// One step's messages, error and exit code.
nlohmann::json Schrittprotokoll(const TLauf& lauf, const std::string& schritt, int rc) {
    const std::vector<std::string>& meldungen = lauf.dialoge.Messages;
    const std::vector<std::string>& fehler = lauf.dialoge.Errors;
    return {{"schritt", schritt},
            {"messages", std::vector<std::string>(meldungen.begin() + static_cast<std::ptrdiff_t>(lauf.meldungenStart),
                                                  meldungen.end())},
            {"error", fehler.size() > lauf.fehlerStart ? nlohmann::json(fehler.back()) : nlohmann::json(nullptr)},
            {"rc", rc}};
}

// "folge": every step parsed first (a wrong one runs none), then run one after the other on the
// same window. With --json only the last step's object is written, with every step's messages,
// error and exit code in "schritte"; as text each step's output follows a line naming it.
int Folge(TLauf& lauf, const TAufruf& folge, std::istream& in, std::ostream& out, std::ostream& err) {
    std::vector<TAufruf> schritte;
    for (const std::string& text : folge.schritte) {
        TAufruf s;
        s.ordner = folge.ordner;
        if (const auto ende = LiesAufruf(Woerter(text), s, out, err, true)) return *ende;
        s.iterativ = s.iterativ || folge.iterativ;
        s.json = folge.json;
        schritte.push_back(std::move(s));
    }
    for (const TAufruf& s : schritte)
        if (const std::string fehler = ZieleVerboten(s.befehl, s.datei, {s.kugeln, s.grafik}); !fehler.empty()) {
            err << fehler;
            return CliFehler;
        }
    nlohmann::json protokoll = nlohmann::json::array();
    int code = CliOk;
    for (std::size_t k = 0; k < schritte.size(); ++k) {
        const TAufruf& s = schritte[k];
        lauf.Beginne();
        lauf.form.Iterieren = s.iterativ;
        if (!s.json) out << "== Schritt " << k + 1 << ": " << folge.schritte[k] << '\n';
        std::ostringstream nichts;  // with --json no step streams its report
        Befehl(lauf, s, in, s.json ? nichts : out, true);
        if (!s.json) SchreibeText(lauf, out, err);
        const bool geschrieben = Kugeltabelle(lauf, s, err) && Grafik(lauf, s, err);
        const int rc = geschrieben ? lauf.Ergebnis() : CliFehler;
        protokoll.push_back(Schrittprotokoll(lauf, folge.schritte[k], rc));
        if (code == CliOk) code = rc;
    }
    if (folge.json) SchreibeJson(lauf, out, &protokoll);
    return code;
}

}  // namespace

bool CliProzessEndet = false;

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const std::string& workingDirectory) {
    TAufruf a;
    a.ordner = workingDirectory;
    if (const auto ende = LiesAufruf(args, a, out, err)) return *ende;
    if (a.befehl == "scan") return FuehreScanAus(a.scan, out, err);
    if (const std::string fehler = ZieleVerboten(a.befehl, a.datei, {a.kugeln, a.grafik}); !fehler.empty()) {
        err << fehler;
        return CliFehler;
    }

    auto besitz = std::make_unique<TLauf>(a.ordner, a.befehl == "demo", a.iterativ);
    TLauf& lauf = *besitz;
    int code = CliOk;
    if (a.befehl == "folge") {
        code = Folge(lauf, a, in, out, err);
    } else {
        Befehl(lauf, a, in, out, false);
        if (a.json) SchreibeJson(lauf, out);
        else SchreibeText(lauf, out, err);
        const bool geschrieben = Kugeltabelle(lauf, a, err) && Grafik(lauf, a, err);
        code = geschrieben ? lauf.Ergebnis() : CliFehler;
    }
    // The process ends right after: the system takes a million points back at once, faster than
    // they are freed one by one.
    if (CliProzessEndet) static_cast<void>(besitz.release());
    return code;
}

}  // namespace zentrix
