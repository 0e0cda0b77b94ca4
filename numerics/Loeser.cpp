#include "numerics/Loeser.hpp"

#include "numerics/KugelIterativ.hpp"

namespace zentrix {

TKugelLoesung LoeseKugel(TPunktArray& Punkte, int n, bool Polar, double R, const TVerfahren& verfahren) {
    if (verfahren.Iterativ) return LoeseKugelIterativ(Punkte, n, Polar, R, verfahren.StationImUrsprung);
    return LoeseKugelEinstufig(Punkte, n, Polar, R);
}

}  // namespace zentrix
