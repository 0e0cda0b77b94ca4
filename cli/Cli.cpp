#include "cli/Cli.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "textio/Fehler.hpp"
#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {

namespace {

const char* const Hilfetext =
    "Aufruf: zentrix-cli BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle (jeder beginnt wie ein frisch gestartetes Programm, nach der Startrechnung):\n"
    "  demo [--json]                          die Startrechnung mit den vier Beispielpunkten\n"
    "  rechne --radius TEXT [--json] [DATEI]  \"Rechne\": ein Punkt je Zeile, die Texte der Spalten\n"
    "                                         X, Y, Z durch Tabulatoren getrennt (ohne DATEI: Standardeingabe)\n"
    "  rechne-datei DATEI [--format N] [--json]\n"
    "                                         \"Rechne Datei\" mit Datenformat N (0 bis 7, Vorgabe 0)\n"
    "  polarauswertung DATEI [--json]         \"Polarauswertung\" einer Beobachtungsdatei\n"
    "  konvert [--dir ORDNER] [--json]        \"Konvert\": test2.beb in test2.Kor (Vorgabe: aktueller Ordner)\n"
    "\n"
    "Ausgabe: das Protokoll und die Tabelle; Meldungen und Fehler auf der Fehlerausgabe.\n"
    "Mit --json ein JSON-Objekt: report, grid, reflektorhoehe, messages, error, punkte.\n"
    "Rückgabewert: 0 fertig, 3 fertig mit Meldung, 1 Fehler, 2 falscher Aufruf.\n";

// Display width of a UTF-8 text (code points).
std::size_t Breite(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Splits a text into lines: LF or CR LF ends a line; a last line without line end counts.
std::vector<std::string> Zeilen(const std::string& text) {
    std::vector<std::string> zeilen;
    std::string zeile;
    std::istringstream in(text);
    while (std::getline(in, zeile)) {
        if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
        zeilen.push_back(zeile);
    }
    return zeilen;
}

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

void PrintTable(const TStringGrid& grid, std::ostream& out) {
    std::vector<std::size_t> breiten(static_cast<std::size_t>(grid.ColCount()), 0);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            breiten[static_cast<std::size_t>(c)] = std::max(breiten[static_cast<std::size_t>(c)], Breite(grid.Cells(c, r)));
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string zeile;
        for (int c = 0; c < grid.ColCount(); ++c) {
            const std::string& zelle = grid.Cells(c, r);
            if (c > 0) zeile += "  ";
            zeile += zelle;
            zeile.append(breiten[static_cast<std::size_t>(c)] - Breite(zelle), ' ');
        }
        while (!zeile.empty() && zeile.back() == ' ') zeile.pop_back();
        out << zeile << '\n';
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const std::string& workingDirectory) {
    CLI::App app{"zentrix-cli", "zentrix-cli"};
    app.set_help_flag();
    bool hilfe = false;
    app.add_flag("-h,--hilfe,--help", hilfe);
    bool json = false;
    auto* demo = app.add_subcommand("demo");
    demo->add_flag("--json", json);
    auto* rechne = app.add_subcommand("rechne");
    std::string radius, punktDatei;
    rechne->add_option("--radius", radius)->required();
    rechne->add_option("DATEI", punktDatei);
    rechne->add_flag("--json", json);
    auto* rechneDatei = app.add_subcommand("rechne-datei");
    std::string koordinatenDatei;
    int format = 0;
    rechneDatei->add_option("DATEI", koordinatenDatei)->required();
    rechneDatei->add_option("--format", format)->check(CLI::Range(0, 7));
    rechneDatei->add_flag("--json", json);
    auto* polar = app.add_subcommand("polarauswertung");
    std::string beobachtungen;
    polar->add_option("DATEI", beobachtungen)->required();
    polar->add_flag("--json", json);
    auto* konvert = app.add_subcommand("konvert");
    std::string ordner = workingDirectory;
    konvert->add_option("--dir", ordner);
    konvert->add_flag("--json", json);

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::Error& e) {
        err << "zentrix-cli: falscher Aufruf (" << GermanReason(e) << ").\n\n" << Hilfetext;
        return CliAufruf;
    }
    if (hilfe) {
        out << Hilfetext;
        return CliOk;
    }
    if (app.get_subcommands().size() != 1) {
        err << "zentrix-cli: falscher Aufruf (kein Befehl angegeben).\n\n" << Hilfetext;
        return CliAufruf;
    }

    // A freshly started window after its first activation.
    TRecordingDialoge dialoge;
    Punkte = TPunktArray();
    TForm1 form(dialoge, ordner);
    form.Dispatch(&TForm1::FormActivate);
    const bool istDemo = demo->parsed();
    const std::size_t memoStart = istDemo ? 1 : form.Memo1.size();
    const int geloescht = form.Memo1Cleared;
    const std::size_t meldungenStart = istDemo ? 0 : dialoge.Messages.size();
    const std::size_t fehlerStart = istDemo ? 0 : dialoge.Errors.size();

    if (rechne->parsed()) {
        std::string text;
        if (punktDatei.empty()) {
            std::ostringstream puffer;
            puffer << in.rdbuf();
            text = puffer.str();
        } else {
            std::ifstream datei(punktDatei, std::ios::binary);
            if (!datei) {
                dialoge.ShowError(ErrorBoxText("Datei " + punktDatei + " kann nicht gelesen werden"));
            } else {
                std::ostringstream puffer;
                puffer << datei.rdbuf();
                text = puffer.str();
            }
        }
        if (dialoge.Errors.size() == fehlerStart) {
            const auto zeilen = Zeilen(text);
            form.StringGrid1.SetRowCount(static_cast<int>(zeilen.size()) + 2);
            for (std::size_t i = 0; i < zeilen.size(); ++i) {
                const auto felder = Felder(zeilen[i]);
                for (int c = 1; c <= 3; ++c)
                    form.StringGrid1.Cells(c, static_cast<int>(i) + 2) =
                        static_cast<std::size_t>(c) <= felder.size() ? felder[static_cast<std::size_t>(c) - 1] : "";
            }
            form.Edit1.Text = radius;
            form.Dispatch(&TForm1::Button1Click);
        }
    } else if (rechneDatei->parsed()) {
        form.Edit2.Text = koordinatenDatei;
        form.RadioGroup1.ItemIndex = format;
        form.Dispatch(&TForm1::Button3Click);
    } else if (polar->parsed()) {
        form.Edit2.Text = beobachtungen;
        form.Dispatch(&TForm1::Button4Click);
    } else if (konvert->parsed()) {
        form.Dispatch(&TForm1::Button2Click);
    }

    std::vector<std::string> report;
    if (form.Memo1Cleared != geloescht)
        report = form.Memo1;
    else if (memoStart <= form.Memo1.size())
        report.assign(form.Memo1.begin() + static_cast<std::ptrdiff_t>(memoStart), form.Memo1.end());
    const std::vector<std::string> meldungen(dialoge.Messages.begin() + static_cast<std::ptrdiff_t>(meldungenStart),
                                             dialoge.Messages.end());
    const bool fehler = dialoge.Errors.size() > fehlerStart;
    const std::string fehlertext = fehler ? dialoge.Errors.back() : std::string();

    if (json) {
        nlohmann::json j;
        j["report"] = report;
        nlohmann::json grid = nlohmann::json::array();
        for (int r = 0; r < form.StringGrid1.RowCount(); ++r) {
            nlohmann::json zeile = nlohmann::json::array();
            for (int c = 0; c < form.StringGrid1.ColCount(); ++c) zeile.push_back(form.StringGrid1.Cells(c, r));
            grid.push_back(zeile);
        }
        j["grid"] = grid;
        j["reflektorhoehe"] = form.Edit1.Text;
        j["messages"] = meldungen;
        j["error"] = fehler ? nlohmann::json(fehlertext) : nlohmann::json(nullptr);
        nlohmann::json punkte = nlohmann::json::array();
        for (const TPunkt& p : Punkte)
            punkte.push_back({{"Name", p.Name}, {"X", p.X}, {"Y", p.Y}, {"Z", p.Z}, {"vR", p.vR}});
        j["punkte"] = punkte;
        out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
        for (const auto& zeile : report) out << zeile << '\n';
        if (!report.empty()) out << '\n';
        PrintTable(form.StringGrid1, out);
        for (const auto& m : meldungen) err << "Meldung: " << m << '\n';
        if (fehler) err << "Fehler: " << fehlertext << '\n';
    }
    if (fehler) return CliFehler;
    if (!meldungen.empty()) return CliMeldung;
    return CliOk;
}

}  // namespace zentrix
