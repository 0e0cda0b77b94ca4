#include "numerics/Loeser.hpp"

#include <cmath>

#include "numerics/KugelIterativ.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

TKugelLoesung LoeseKugel(TPunktArray& Punkte, int n, bool Polar, double R, const TVerfahren& verfahren) {
    if (verfahren.Iterativ) return LoeseKugelIterativ(Punkte, n, Polar, R, verfahren.StationImUrsprung);
    return LoeseKugelEinstufig(Punkte, n, Polar, R);
}

bool Unsicher(const TKugelLoesung& L) {
    if (L.Ergebnis != KugelErgebnis::Ok || !L.Ausgleichung) return false;
    return static_cast<long double>(L.Ausgleichung->m0) > toleranz::UnsicherUeber * std::fabs(static_cast<long double>(L.R));
}

}  // namespace zentrix
