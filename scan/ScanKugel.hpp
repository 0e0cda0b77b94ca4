// SPDX-License-Identifier: GPL-3.0-or-later
// A sphere found in a scan, with the converged solver's statistics over its points.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "numerics/Kugel.hpp"
#include "numerics/Polar.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

struct TScanKugel {
    std::string Name;                       // "K1", "K2", ... by the direction from the station
    TXYZ Mittelpunkt;                       // the centre in the cloud's system (metres)
    TPolar Polar;                           // the centre from the station: Ri, S, Zd (gon, metres, gon)
    TXYZ m;                                 // standard deviations mX, mY, mZ of the centre (metres)
    double m0 = 0;                          // standard deviation of unit weight (metres)
    int Punkte = 0;                         // the points adjusted
    int Ausreisser = 0;                     // points near the surface the fit left out (Schwellen.hpp)
    std::optional<TRadiusPruefung> Radius;  // the free radius and its check
    double Kappe = 0;                       // half-angle (gon) of the cap seen, holding 95 % of the points
    double KappeQuer = 0;                   // the cap's half-angle (gon) in its narrower direction
    double Fortsetzung = 0;                 // points near the cap off the sphere, per point on it
    double NormalenWinkel = 0;              // median angle (gon) of the surface's normals to the sphere's
    double QuerKruemmung = 0;               // the points' bend across the cap's narrower direction,
                                            // in units of a pipe's (TKugelMass)
    double Sigma = 0;                       // the search's robust standard deviation of the residuals (metres)
    double Band = 0;                        // the points adjusted lie within this of the surface (metres)
    bool Hinter = false;                    // the centre lies behind the surface as seen from the station
    TSeitenwahl Seitenwahl = TSeitenwahl::Keine;  // which rule chose the side of the points' plane
    std::vector<TWolkenpunkt> Punktliste;   // every point adjusted, in the order of the cloud
    TKugelLoesung Loesung;                  // the solver's result over them, relative to the station
};

// A candidate the search looked at closely and did not report, and why.
struct TVerworfeneKugel {
    TXYZ Mittelpunkt;         // where the search's fit put its centre (metres)
    int Punkte = 0;
    double Kappe = 0, KappeQuer = 0, Fortsetzung = 0;  // the sphere model's figures (TScanKugel)
    std::string Grund;        // German ("Kappe quer 20 gon zu schmal (ein Rohr?)")
};

}  // namespace zentrix
