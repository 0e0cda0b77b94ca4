#include "polar/KugelTabelle.hpp"

#include <algorithm>
#include <cmath>

#include "textio/NumText.hpp"

namespace zentrix {

namespace {

bool Gerechnet(const TKugelEintrag& e) { return e.Ergebnis == KugelErgebnis::Ok; }

// A number as "%.<stellen>f" with the decimal mark given.
std::string Zahl(double wert, int stellen, char dezimal) {
    std::string text;
    AppendFixedText(text, wert, stellen);
    if (dezimal != '.') std::replace(text.begin(), text.end(), '.', dezimal);
    return text;
}

}  // namespace

std::string Anzahl(std::size_t n) {
    std::string ziffern = std::to_string(n), text;
    for (std::size_t i = 0; i < ziffern.size(); ++i) {
        if (i > 0 && (ziffern.size() - i) % 3 == 0) text += ' ';
        text += ziffern[i];
    }
    return text;
}

namespace {

// The number a column sorts by, where it has one (NaN: none).
double Wert(const TKugelEintrag& e, TKugelSpalte s) {
    const double keiner = std::nan("");
    switch (s) {
        case TKugelSpalte::ErsteZeile: return static_cast<double>(e.ErsteZeile);
        case TKugelSpalte::LetzteZeile: return static_cast<double>(e.LetzteZeile());
        case TKugelSpalte::Zeigungen: return e.Punkte;
        case TKugelSpalte::Richtung: return Gerechnet(e) ? e.Mittelpunkt.Ri : keiner;
        case TKugelSpalte::Strecke: return Gerechnet(e) ? e.Mittelpunkt.S : keiner;
        case TKugelSpalte::Zenitdistanz: return Gerechnet(e) ? e.Mittelpunkt.Zd : keiner;
        case TKugelSpalte::M0: return Gerechnet(e) && e.m0 > 0 ? e.m0 : keiner;
        case TKugelSpalte::MaxVR: return Gerechnet(e) ? e.MaxVR : keiner;
        case TKugelSpalte::Ausreisser:
            return e.Ausreisser > 0 ? static_cast<double>(e.ErsteZeile + e.Ausreisser - 1) : keiner;
        default: return keiner;
    }
}

std::string CsvFeld(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string feld = "\"";
    for (const char c : text) feld += c == '"' ? std::string("\"\"") : std::string(1, c);
    return feld + "\"";
}

}  // namespace

std::vector<TKugelSpalte> KugelSpalten(bool iterativ) {
    std::vector<TKugelSpalte> s = {TKugelSpalte::Name,     TKugelSpalte::ErsteZeile,   TKugelSpalte::LetzteZeile,
                                   TKugelSpalte::Zeigungen, TKugelSpalte::Ergebnis,    TKugelSpalte::Richtung,
                                   TKugelSpalte::Strecke,   TKugelSpalte::Zenitdistanz, TKugelSpalte::M0,
                                   TKugelSpalte::MaxVR,     TKugelSpalte::Unsicher};
    if (iterativ) {
        s.push_back(TKugelSpalte::Ausreisser);
        s.push_back(TKugelSpalte::Radius);
    }
    return s;
}

const char* KugelKopf(TKugelSpalte spalte) {
    switch (spalte) {
        case TKugelSpalte::Name: return "Name";
        case TKugelSpalte::ErsteZeile: return "Erste Zeile";
        case TKugelSpalte::LetzteZeile: return "Letzte Zeile";
        case TKugelSpalte::Zeigungen: return "Zeigungen";
        case TKugelSpalte::Ergebnis: return "Ergebnis";
        case TKugelSpalte::Richtung: return "Ri [gon]";
        case TKugelSpalte::Strecke: return "S [m]";
        case TKugelSpalte::Zenitdistanz: return "Zd [gon]";
        case TKugelSpalte::M0: return "m0 [mm]";
        case TKugelSpalte::MaxVR: return "max |vR| [mm]";
        case TKugelSpalte::Unsicher: return "Unsicher";
        case TKugelSpalte::Ausreisser: return "Ausreißer (Zeile)";
        case TKugelSpalte::Radius: return "Radiusprüfung";
    }
    return "";
}

std::string KugelZelle(const TKugelEintrag& e, TKugelSpalte spalte, char dezimal) {
    const double wert = Wert(e, spalte);
    switch (spalte) {
        case TKugelSpalte::Name: return e.Name.str();
        case TKugelSpalte::Ergebnis:
            if (Gerechnet(e)) return e.Unsicher ? "unsicher" : "gerechnet";
            return e.MitIterieren ? e.Grund.str() + " (mit „Iterieren“ gerechnet)" : e.Grund.str();
        case TKugelSpalte::Unsicher:
            if (!Gerechnet(e)) return {};
            return e.Unsicher ? "ja" : "nein";
        case TKugelSpalte::Radius:
            if (!e.Radius) return {};
            return (e.Radius->Abweichend ? "weicht ab, frei " : "passt, frei ") + Zahl(e.Radius->RFrei, 4, dezimal) + " m";
        case TKugelSpalte::Richtung:
        case TKugelSpalte::Zenitdistanz: return std::isnan(wert) ? std::string() : Zahl(wert, 4, dezimal);
        case TKugelSpalte::Strecke: return std::isnan(wert) ? std::string() : Zahl(wert, 3, dezimal);
        case TKugelSpalte::M0:
        case TKugelSpalte::MaxVR: return std::isnan(wert) ? std::string() : Zahl(1000 * wert, 2, dezimal);
        default: return std::isnan(wert) ? std::string() : std::to_string(static_cast<long long>(wert));
    }
}

bool KugelHatWert(const TKugelEintrag& e, TKugelSpalte spalte) {
    switch (spalte) {
        case TKugelSpalte::Name: return !e.Name.empty();
        case TKugelSpalte::Ergebnis: return true;
        case TKugelSpalte::Unsicher: return Gerechnet(e);
        case TKugelSpalte::Radius: return e.Radius.has_value();
        default: return !std::isnan(Wert(e, spalte));
    }
}

bool KugelVor(const TKugelEintrag& a, const TKugelEintrag& b, TKugelSpalte spalte) {
    const bool da = KugelHatWert(a, spalte), db = KugelHatWert(b, spalte);
    if (!da || !db) return da && !db;
    switch (spalte) {
        case TKugelSpalte::Name: return a.Name < b.Name;
        // Computed spheres first, the unsicher ones behind them, then the failures by their reason.
        case TKugelSpalte::Ergebnis:
            if (Gerechnet(a) != Gerechnet(b)) return Gerechnet(a);
            return Gerechnet(a) ? !a.Unsicher && b.Unsicher : a.Grund < b.Grund;
        case TKugelSpalte::Unsicher: return !a.Unsicher && b.Unsicher;
        // Passing checks first, each by the free radius.
        case TKugelSpalte::Radius:
            return a.Radius->Abweichend != b.Radius->Abweichend ? !a.Radius->Abweichend
                                                                 : a.Radius->RFrei < b.Radius->RFrei;
        default: return Wert(a, spalte) < Wert(b, spalte);
    }
}

bool KugelGezeigt(const TKugelEintrag& e, TKugelFilter filter) {
    switch (filter) {
        case TKugelFilter::Fehlschlaege: return Fehlgeschlagen(e);
        case TKugelFilter::FehlschlaegeUndUnsichere: return Fehlgeschlagen(e) || e.Unsicher;
        default: return true;
    }
}

namespace {

// The header row and the rows zeile(0), zeile(1), ... (count of them) as CSV.
template <typename F>
std::string Csv(bool iterativ, std::size_t anzahl, F eintrag) {
    const std::vector<TKugelSpalte> spalten = KugelSpalten(iterativ);
    std::string csv = "\xEF\xBB\xBF";  // the byte-order mark tells the spreadsheet it is UTF-8
    auto zeile = [&csv, &spalten](auto zelle) {
        for (std::size_t k = 0; k < spalten.size(); ++k) {
            if (k > 0) csv += ';';
            csv += CsvFeld(zelle(spalten[k]));
        }
        csv += "\r\n";
    };
    zeile([](TKugelSpalte s) { return std::string(KugelKopf(s)); });
    for (std::size_t i = 0; i < anzahl; ++i) {
        const TKugelEintrag& e = eintrag(i);
        zeile([&e](TKugelSpalte s) { return KugelZelle(e, s, ','); });
    }
    return csv;
}

}  // namespace

std::string KugelnCsv(const TKugelListe& kugeln, bool iterativ) {
    return Csv(iterativ, kugeln.size(), [&kugeln](std::size_t i) -> const TKugelEintrag& { return kugeln[i]; });
}

std::string KugelnCsv(const TKugelListe& kugeln, bool iterativ, const std::vector<std::uint32_t>& zeilen) {
    return Csv(iterativ, zeilen.size(),
               [&](std::size_t i) -> const TKugelEintrag& { return kugeln[static_cast<std::size_t>(zeilen[i])]; });
}

std::string KugelZusammenfassung(const TKugelListe& kugeln, bool iterativ) {
    const auto fehl = static_cast<std::size_t>(std::count_if(kugeln.begin(), kugeln.end(), Fehlgeschlagen));
    std::string text = "Polarauswertung: " + Anzahl(kugeln.size()) + " Kugeln ausgewertet, " + Anzahl(fehl) +
                       " fehlgeschlagen";
    const auto unsicher = static_cast<std::size_t>(
        std::count_if(kugeln.begin(), kugeln.end(), [](const TKugelEintrag& e) { return e.Unsicher; }));
    if (unsicher > 0) text += ", " + Anzahl(unsicher) + " unsicher";
    const auto mit = static_cast<std::size_t>(
        std::count_if(kugeln.begin(), kugeln.end(), [](const TKugelEintrag& e) { return e.MitIterieren; }));
    if (!iterativ && fehl > 0)
        text += std::string(" – mit „Iterieren“ ") + (mit == 1 ? "gelingt " : "gelingen ") + Anzahl(mit) + " davon";
    return text;
}

}  // namespace zentrix
