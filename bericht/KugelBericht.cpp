// SPDX-License-Identifier: GPL-3.0-or-later
#include "bericht/KugelBericht.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "core/Ausfuehrer.hpp"

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// Appends one formatted line to the memo, laid out in a buffer kept for the next line (a day's
// evaluation writes millions of them).
void Zeile(TMemoLines& Memo, std::string_view format, std::initializer_list<FormatArg> args) {
    thread_local std::string zeile;
    zeile.clear();
    AppendFormat(zeile, format, args);
    Memo.push_back(zeile);
}

// The first line of a sphere's report.
void Kopf(const TPunktArray& Punkte, TMemoLines& Memo) { Zeile(Memo, "Kugelzentrierung Punkt %s", {Punkte[0].Name.view()}); }

void SchreibeNaeherungen(const TKugelLoesung& L, TMemoLines& Memo) {
    if (L.DreiPunkt) {
        const TXYZ& c3 = *L.DreiPunkt;
        Zeile(Memo, "3 Punkt Umkreis Lösung      XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f", {c3.X, c3.Y, c3.Z, L.R});
    }
    if (L.VierPunkt || (L.VierPunktGerechnet && !L.Iterativ)) {
        const TKugel k4 = L.VierPunkt.value_or(TKugel{});  // zeros when its system was singular
        Zeile(Memo, "Analytische 4 Punkt Lösung XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f",
              {k4.Zentrum.X, k4.Zentrum.Y, k4.Zentrum.Z, k4.R});
    }
}

// Per point: the residual and, with redundancy, the normalised residual ("-" where a point checks
// only itself), and the mark of the likely outlier.
void PunktZeile(const TKugelLoesung& L, const TPunktArray& Punkte, std::size_t i, TMemoLines& Memo) {
    const TAusgleichung& a = *L.Ausgleichung;
    const std::string_view name = Punkte[static_cast<long long>(i) + 1].Name;
    const double vR = Punkte[static_cast<long long>(i) + 1].vR;
    if (L.n <= 3) {
        Zeile(Memo, "%16s, vR %5.4f", {name, vR});
        return;
    }
    const char* ausreisser = L.Konvergenz->Ausreisser == static_cast<int>(i) + 1 ? " Ausreißer?" : "";
    if (std::isnan(a.NV[i])) Zeile(Memo, "%16s, vR %5.4f NV %4s%s", {name, vR, "-", ausreisser});
    else Zeile(Memo, "%16s, vR %5.4f NV %4.1f%s", {name, vR, a.NV[i], ausreisser});
}

// What the iteration line adds on the rule that chose the side of the points' plane: nothing
// without a station.
const char* SeitenText(TSeitenwahl wahl) {
    switch (wahl) {
        case TSeitenwahl::Standpunkt: return ", Seite vom Standpunkt aus gewählt";
        case TSeitenwahl::Quadratsumme: return ", Seite nach kleinster Quadratsumme";
        case TSeitenwahl::Keine: break;
    }
    return "";
}

void SchreibeIterativ(const TKugelLoesung& L, const TPunktArray& Punkte, TMemoLines& Memo) {
    Kopf(Punkte, Memo);
    SchreibeNaeherungen(L, Memo);
    if (!L.Ausgleichung) {
        if (!L.Fehlertext.empty()) Memo.push_back("Ausgleichung nicht möglich: " + L.Fehlertext);
        return;
    }
    const TAusgleichung& a = *L.Ausgleichung;
    const TKonvergenz& k = *L.Konvergenz;
    if (L.n == 3)
        Memo.push_back("Ausgleichung iterativ: drei Punkte, exakte Lösung");
    else
        Zeile(Memo, "Ausgleichung iterativ, %d Iterationen%s", {k.Iterationen, SeitenText(k.Seitenwahl)});
    Zeile(Memo, "dx=%5.4f dy=%5.4f, dZ=%5.4f", {a.Korrektur.X, a.Korrektur.Y, a.Korrektur.Z});
    if (L.n > 3)
        Zeile(Memo, "m0=%5.4f mX(P0)=%4.3f, mY(P0)=%4.3f, mZ(P0)=%4.3f", {a.m0, a.m.X, a.m.Y, a.m.Z});
    else
        Memo.push_back("Keine Genauigkeitsangaben: drei Punkte bestimmen den Mittelpunkt ohne Überbestimmung");
    Zeile(Memo, "%16s XM %5.4f YM %4.3f, ZM %4.3f", {Punkte[0].Name.view(), a.Zentrum.X, a.Zentrum.Y, a.Zentrum.Z});
    for (std::size_t i = 0; i < static_cast<std::size_t>(L.n); ++i) PunktZeile(L, Punkte, i, Memo);
    if (L.n == 4) Memo.push_back("Ausreißertest und Radiusprüfung erst ab fünf Punkten");
    if (L.n < 5) return;
    if (!k.Radius) {
        Memo.push_back("Radiusprüfung nicht möglich: die Ausgleichung mit freiem Radius gelingt nicht");
        return;
    }
    const TRadiusPruefung& r = *k.Radius;
    Zeile(Memo, "Radius frei %5.4f m(R) %5.4f, gegeben %5.4f: %s",
          {r.RFrei, r.mR, L.R, r.Abweichend ? "weicht ab, Reflektorradius prüfen!" : "passt"});
}

}  // namespace

void SchreibeAusgleichung(const TAusgleichung& a, const TPunktArray& Punkte, TMemoLines& Memo) {
    Memo.push_back("Ausgleichung");
    Zeile(Memo, "dx=%5.4f dy=%5.4f, dZ=%5.4f", {a.Korrektur.X, a.Korrektur.Y, a.Korrektur.Z});
    if (a.m0 > 0)
        Zeile(Memo, "m0=%5.4f mX(P0)=%4.3f, mY(P0)=%4.3f, mZ(P0)=%4.3f", {a.m0, a.m.X, a.m.Y, a.m.Z});
    Zeile(Memo, "%16s XM %5.4f YM %4.3f, ZM %4.3f", {Punkte[0].Name.view(), a.Zentrum.X, a.Zentrum.Y, a.Zentrum.Z});
    // A line per point. A scanned sphere's lines are laid out on both cores and appended in order;
    // a pointed sphere's (a few lines) in a buffer kept for the next sphere.
    struct TBlock {
        std::string text;                // the lines one after the other
        std::vector<std::size_t> laenge;  // and their lengths
    };
    auto fuelle = [&a, &Punkte](TBlock& block, std::size_t anfang, std::size_t ende) {
        block.laenge.reserve(block.laenge.size() + (ende - anfang));
        block.text.reserve(block.text.size() + (ende - anfang) * 48);  // a line is some 40 characters
        for (std::size_t i = anfang; i < ende; ++i) {
            const TPunkt& p = Punkte[static_cast<long long>(i) + 1];
            const std::string_view name = p.Name;
            const std::size_t vorher = block.text.size();
            if (a.m0 > 0)
                AppendFormat(block.text, "%16s, vR %5.4f NV %4.1f", {name, p.vR, a.NV[i]});
            else
                AppendFormat(block.text, "%16s, vR %5.4f", {name, p.vR});
            block.laenge.push_back(block.text.size() - vorher);
        }
    };
    constexpr std::size_t Block = AufEinemKern;
    // One line per point; the one-step method gives every point its NV.
    const std::size_t punkte = a.NV.size();
    if (punkte <= Block) {
        thread_local TBlock block;
        block.text.clear();
        block.laenge.clear();
        fuelle(block, 0, punkte);
        Memo.Anhaengen(block.text, block.laenge);
        return;
    }
    InBloecken(punkte, Block, [&fuelle](std::size_t anfang, std::size_t ende) {
        TBlock block;
        fuelle(block, anfang, ende);
        return block;
    }, [&Memo](const TBlock& block) { Memo.Anhaengen(block.text, block.laenge); });
}

void SchreibeKugelBericht(const TKugelLoesung& L, const TPunktArray& Punkte, TMemoLines& Memo) {
    if (L.Iterativ) {
        SchreibeIterativ(L, Punkte, Memo);
        return;
    }
    if (!L.DreiPunkt) return;
    Kopf(Punkte, Memo);
    SchreibeNaeherungen(L, Memo);
    if (L.Ausgleichung) SchreibeAusgleichung(*L.Ausgleichung, Punkte, Memo);
}

int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo) {
    const TKugelLoesung loesung = LoeseKugelEinstufig(Punkte, n, Polar, R);
    SchreibeKugelBericht(loesung, Punkte, Memo);
    if (loesung.Ergebnis == KugelErgebnis::Rechenfehler) throw EMathError(loesung.Fehlertext);
    return Code(loesung.Ergebnis);
}

namespace {

// An arithmetic fault as the reason of a failed sphere.
std::string RechenfehlerText(const TKugelLoesung& L) {
    std::string text = "Ein Rechenfehler beendete die Rechnung";
    if (!L.Fehlertext.empty()) text += ": " + L.Fehlertext;
    return text;
}

}  // namespace

std::string FehlerGrund(const TKugelLoesung& L) {
    // A value that could not be read: the reason is its place ("Zeile 12, Feld 2: …"), as it stands.
    if (L.Ergebnis == KugelErgebnis::Lesefehler) return L.Fehlertext;
    std::string grund;
    if (L.Ergebnis == KugelErgebnis::Rechenfehler) {
        grund = RechenfehlerText(L);
    } else if (!L.Fehlertext.empty()) {
        grund = L.Fehlertext;
    } else {
        switch (L.Ergebnis) {
            case KugelErgebnis::Ok: return {};
            case KugelErgebnis::ZuWenigPunkte: grund = "Zu wenig Punkte: eine Kugel braucht mindestens drei"; break;
            case KugelErgebnis::Kollinear: grund = "Die Punkte liegen im Grundriss auf einer Geraden"; break;
            case KugelErgebnis::KeineEbene:
                grund = L.R > 0 ? "Die Punkte liegen im Grundriss an einer Stelle" : "Der Kugelradius muss größer als 0 sein";
                break;
            case KugelErgebnis::KreisSingulaer: grund = "Der Umkreis der drei Punkte lässt sich nicht berechnen"; break;
            case KugelErgebnis::RadiusZuKlein:
                grund = "Der Kreis durch die drei Punkte ist größer als die Kugel: der Radius ist zu klein";
                break;
            case KugelErgebnis::NormalSingulaer: grund = "Die Normalgleichungen der Ausgleichung sind singulär"; break;
            case KugelErgebnis::NichtKonvergiert: grund = "Die Ausgleichung konvergiert nicht"; break;
            case KugelErgebnis::Rechenfehler:
            case KugelErgebnis::Lesefehler: break;
        }
    }
    // After a colon the sentence goes on in small letters (the reasons begin with an article or
    // an adjective, never with a noun).
    if (!grund.empty() && grund[0] >= 'A' && grund[0] <= 'Z') grund[0] = static_cast<char>(grund[0] - 'A' + 'a');
    return grund;
}

std::string FehlerMeldung(const TKugelLoesung& L) {
    std::string text = "Kugelmittelnpunkt Fehler";
    if (L.Iterativ && L.Ergebnis == KugelErgebnis::Rechenfehler) text += ": " + RechenfehlerText(L);
    else if (L.Iterativ && !L.Fehlertext.empty()) text += ": " + L.Fehlertext;
    return text;
}

std::string FehlerMitGrund(const TKugelLoesung& L) {
    std::string text = "Kugelmittelnpunkt Fehler";
    if (const std::string grund = FehlerGrund(L); !grund.empty()) text += ": " + grund;
    return text;
}

}  // namespace zentrix
