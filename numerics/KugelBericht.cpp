#include "numerics/KugelBericht.hpp"

#include "textio/NumText.hpp"

namespace zentrix {

void SchreibeAusgleichung(const TAusgleichung& a, const TPunktArray& Punkte, TMemoLines& Memo) {
    Memo.push_back("Ausgleichung");
    Memo.push_back(FormatText("dx=%5.4f dy=%5.4f, dZ=%5.4f", {a.Korrektur.X, a.Korrektur.Y, a.Korrektur.Z}));
    if (a.m0 > 0)
        Memo.push_back(FormatText("m0=%5.4f mX(P0)=%4.3f, mY(P0)=%4.3f, mZ(P0)=%4.3f", {a.m0, a.m.X, a.m.Y, a.m.Z}));
    Memo.push_back(FormatText("%16s XM %5.4f YM %4.3f, ZM %4.3f", {Punkte[0].Name, a.Zentrum.X, a.Zentrum.Y, a.Zentrum.Z}));
    for (std::size_t i = 0; i < a.vR.size(); ++i) {
        const std::string& name = Punkte[static_cast<long long>(i) + 1].Name;
        if (a.m0 > 0)
            Memo.push_back(FormatText("%16s, vR %5.4f NV %4.1f", {name, a.vR[i], a.NV[i]}));
        else
            Memo.push_back(FormatText("%16s, vR %5.4f", {name, a.vR[i]}));
    }
}

void SchreibeKugelBericht(const TKugelLoesung& L, const TPunktArray& Punkte, TMemoLines& Memo) {
    if (!L.DreiPunkt) return;
    const TXYZ& c3 = *L.DreiPunkt;
    Memo.push_back("Kugelzentrierung Punkt " + Punkte[0].Name);
    Memo.push_back(FormatText("3 Punkt Umkreis Lösung      XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f", {c3.X, c3.Y, c3.Z, L.R}));
    if (L.VierPunktGerechnet) {
        const TKugel k4 = L.VierPunkt.value_or(TKugel{});  // zeros when its system was singular
        Memo.push_back(FormatText("Analytische 4 Punkt Lösung XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f",
                                  {k4.Zentrum.X, k4.Zentrum.Y, k4.Zentrum.Z, k4.R}));
    }
    if (L.Ausgleichung) SchreibeAusgleichung(*L.Ausgleichung, Punkte, Memo);
}

int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo) {
    const TKugelLoesung loesung = LoeseKugel(Punkte, n, Polar, R);
    SchreibeKugelBericht(loesung, Punkte, Memo);
    if (loesung.Abbruch) std::rethrow_exception(loesung.Abbruch);
    return Code(loesung.Ergebnis);
}

}  // namespace zentrix
