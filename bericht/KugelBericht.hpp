// The solver's report: the lines a sphere computation appends to the report memo, the reasons of
// its failures in words, and Kugelzentrierung, the one-step method together with its report. The
// computation itself (numerics/) returns plain values; whoever computes chooses the solver and
// hands its result here.
#pragma once

#include "bericht/Memo.hpp"
#include "numerics/Kugel.hpp"

namespace zentrix {

// Appends the lines of what the computation found. The one-step method: "Kugelzentrierung Punkt
// <name>" and the three-point line when that stage succeeded, the four-point line when it ran
// (zeros when its system was singular), and the adjustment's lines when the adjustment succeeded.
// The converged solver: the name line always, the three- and four-point lines where they exist,
// then the iteration, the centre's precision, the residuals with the outlier mark and the radius
// check, or the reason of a failure.
void SchreibeKugelBericht(const TKugelLoesung& loesung, const TPunktArray& Punkte, TMemoLines& Memo);

// Appends the adjustment's lines: "Ausgleichung", the correction, m0 and the centre's standard
// deviations (when m0 > 0), the centre, and vR (with NV when m0 > 0) per point.
void SchreibeAusgleichung(const TAusgleichung& a, const TPunktArray& Punkte, TMemoLines& Memo);

// The one-step method with its report appended to Memo. Returns the result code: 0 success, -1 to
// -6 (KugelErgebnis); an arithmetic fault is raised as its error after the lines of what was found
// before it.
int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo);

// Why a computation failed, in German, to stand after a colon ("die drei Punkte liegen auf einer
// Geraden"); empty on success. The converged solver gives its own reason; the one-step method's
// result codes are put into words; a value that could not be read gives its place ("Zeile 12,
// Feld 2: „350.5x4939“ ist keine Zahl").
std::string FehlerGrund(const TKugelLoesung& loesung);

// The text of the message box for a failed computation: "Kugelmittelnpunkt Fehler", for the
// converged solver followed by its reason.
std::string FehlerMeldung(const TKugelLoesung& loesung);
// The same with the reason after it whichever method failed: "Kugelmittelnpunkt Fehler: die drei
// Punkte liegen auf einer Geraden" (the picture's title).
std::string FehlerMitGrund(const TKugelLoesung& loesung);

}  // namespace zentrix
