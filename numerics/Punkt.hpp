// The point record and the point list shared by every computing command.
#pragma once

#include <string>
#include <vector>

#include "numerics/DynArray.hpp"
#include "numerics/Name.hpp"

namespace zentrix {

// A point measured on the sphere's surface, or (entry 0 of a point list) the sphere's centre.
// Rectangular form: X, Y, Z in metres. Polar form: X horizontal distance (metres), Y direction
// (gon), Z height difference (metres) on input and elevation angle (gon) after the solver's
// back-conversion.
struct TPunkt {
    TName Name;  // at most 255 characters; whoever fills it cuts longer text
    double X = 0;
    double Y = 0;
    double Z = 0;
    double vR = 0;  // radial residual (metres), written by the adjustment
};

// Entry 0 is the centre slot, entries 1..n the surface points (n = High()).
using TPunktArray = TDynArray<TPunkt>;

// A point in space, or a sphere's centre (metres).
struct TXYZ {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// A sphere: centre and radius (metres).
struct TKugel {
    TXYZ Zentrum;
    double R = 0;
};

}  // namespace zentrix
