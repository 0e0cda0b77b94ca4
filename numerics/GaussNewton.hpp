// Gauss-Newton for a sphere through measured points: the centre with the radius held fixed, or
// centre and radius together. Points and centre are reduced to the points' centroid (metres).
#pragma once

#include <vector>

#include "numerics/Raum.hpp"
#include "numerics/Reduziert.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

// One run of the iteration: how it ended and where.
struct TGaussNewton {
    enum class TStatus { Konvergiert, Singulaer, NichtKonvergiert };
    TStatus Status = TStatus::NichtKonvergiert;
    TVek c;                  // the centre reached
    long double R = 0;       // the radius (the free one, or the fixed one handed in)
    long double ssq = 0;     // sum of the squared radial residuals |c - q_i| - R (square metres)
    int Iterationen = 0;
};

// Iterates from the centre c0 and radius R0 (held fixed unless radiusFrei). Each step solves the
// normal equations of the residuals |c - q_i| - R with the derivatives (c - q_i) / |c - q_i|
// (and -1 for the radius), with Newton's second-order term added where that keeps them positive
// definite; it is halved while the sum of squares would grow. Converged when the step is below
// toleranz::KonvergenzSchritt; at most toleranz::MaxIterationen steps.
TGaussNewton GaussNewton(const TReduziertePunkte& q, const TVek& c0, long double R0, bool radiusFrei);

// The inverse normal matrix (cofactor matrix Q) at c: order 3 for the centre, 4 with the radius.
// False when the normal matrix is numerically singular there.
bool Kofaktoren(const TReduziertePunkte& q, const TVek& c, bool radiusFrei, TMatrix4& Q);

// The unit vector from q towards c (the derivative of |c - q| by c); 0 when they coincide.
TVek Richtung(const TVek& c, const TVek& q);

}  // namespace zentrix
