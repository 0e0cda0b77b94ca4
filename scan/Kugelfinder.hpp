// SPDX-License-Identifier: GPL-3.0-or-later
// The search for every sphere of a given radius in a point cloud.
//
// 1. The cloud is gathered in cells of R/2, piece by piece (TFlaechenStrom); each cell's points, where
//    they are few those of the sparse cells of a coarse cell together, give a surface element: a plane
//    and its normal towards the station. Only the elements are kept.
// 2. Each element votes for the point R behind it (away from the station): on a sphere of radius R
//    every element votes for the centre. A plane's votes spread over a plane, a pipe's over its
//    axis, a sphere of another radius's over a sphere around its centre.
// 3. Blocks of votes above a count are candidates; the elements that voted there must have normals
//    that spread in two directions (a pipe's and an edge's lie in one plane), and their votes give
//    the candidate's centre.
// 4. The points around each candidate (every k-th of a dense cap) are fitted by the sphere model
//    (TKugelmodell), which judges the cap, its width across and whether the surface goes on beyond it.
// 5. Each sphere that passes takes all its points within the band of its fit; the converged solver
//    adjusts them with the station known, and its m0, free radius and side decide last.
//
// Every pass over the points and the cells runs on all cores.
#pragma once

#include <vector>

#include "scan/ScanKugel.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Vektor.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

struct TKugelfund {
    std::vector<TScanKugel> Kugeln;            // by direction from the station, named K1, K2, ...
    std::vector<TVerworfeneKugel> Verworfen;   // candidates judged on their points and not reported
    std::size_t Kandidaten = 0;                // candidates judged on their points
};

// Finds the spheres of radius R (metres) in the cloud seen from station (the cloud's system).
// Steps "Flächen", "Stimmen", "Prüfen", "Ausgleichen" from the share anfang of the melder's whole
// to 1. A cloud wider than a million cells of R/2 raises EZentrixError.
TKugelfund FindeKugeln(const TWolke& wolke, double R, const TVektor3& station, TScanMelder& melder, double anfang = 0);

}  // namespace zentrix
