// SPDX-License-Identifier: GPL-3.0-or-later
// Floating-point operations that end the command with the user's fault text instead of letting an
// infinity or a NaN through. Nothing here relies on hardware traps.
#pragma once

#include <cmath>
#include <limits>

#include "core/Fehler.hpp"

namespace zentrix {

// Rounds an extended value to double as a store does: beyond the double range is an overflow, a
// NaN an invalid operation.
inline double StoreDouble(long double v) {
    if (std::isnan(v)) RaiseInvalidOp();
    const double d = static_cast<double>(v);
    if (std::isinf(d)) RaiseOverflow();
    return d;
}

// Checks a computed extended value (infinite: overflow; NaN: invalid operation).
inline long double Checked(long double v) {
    if (std::isnan(v)) RaiseInvalidOp();
    if (std::isinf(v)) RaiseOverflow();
    return v;
}

// a / b: b = 0 is a division by zero, or an invalid operation when a is 0 as well.
inline long double Divide(long double a, long double b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) RaiseInvalidOp();
        RaiseZeroDivide();
    }
    return Checked(a / b);
}

// Square root; a negative argument is an invalid operation.
inline long double SquareRoot(long double v) {
    if (v < 0 || std::isnan(v)) RaiseInvalidOp();
    return Checked(std::sqrt(v));
}

}  // namespace zentrix
