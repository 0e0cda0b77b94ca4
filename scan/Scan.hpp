// SPDX-License-Identifier: GPL-3.0-or-later
// The evaluation of a laser scan: its cloud read, every sphere of the given radius found and
// adjusted. The one entry point for the batch tool and the window.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "numerics/Punkt.hpp"
#include "scan/ScanKugel.hpp"
#include "scan/Steuerung.hpp"
#include "scan/WolkeLesen.hpp"

namespace zentrix {

struct TScanErgebnis {
    std::string Datei;                          // the cloud's full path
    TWolkenformat Format = TWolkenformat::Text;
    std::size_t Gelesen = 0;                    // points read
    std::size_t Ungueltig = 0;                  // points without coordinates (NaN) passed over
    double R = 0;                               // the spheres' radius (metres)
    TXYZ Standpunkt;                            // the station in the cloud's system (metres)
    bool StandpunktGegeben = false;             // given, else the origin of the cloud's system
    std::vector<TScanKugel> Kugeln;             // by direction from the station, K1, K2, ...
    std::vector<TVerworfeneKugel> Verworfen;    // candidates judged on their points and turned down
    std::size_t Kandidaten = 0;                 // candidates judged on their points
    std::vector<std::string> Meldungen;         // German messages ("Keine Kugel mit Radius 0.0725 m gefunden")
    bool Abgebrochen = false;                   // the caller stopped it: nothing else holds
};

// Reads the cloud file datei (text, PLY or LAS, told by its content) and finds every sphere of
// radius R (metres) seen from standpunkt (the cloud's origin, the scanner's own system, when none is
// given); each is adjusted with all its points by the converged solver. The work runs on all cores;
// steuerung hears the progress ("Lesen", then the search's steps) and may stop it, after which the
// result says Abgebrochen and holds nothing else. A radius that is not above 0 raises
// EZentrixError; a file that cannot be read raises its reader's error with the place.
TScanErgebnis WerteScanAus(const std::string& datei, double R, std::optional<TXYZ> standpunkt,
                           const TScanSteuerung& steuerung = {});

// The points of a sphere for the grid, reduced to the station as the adjustment took them (X, Y, Z
// less the station's, metres): entry 0 its centre, then every k-th of its points, so that at most
// hoechstens remain (the adjustment took all of them; 0: all of them), each named by its number in
// the sphere's list (from 1, as in its coordinate file) and with its residual vR.
TPunktArray GitterPunkte(const TScanKugel& kugel, const TXYZ& standpunkt, std::size_t hoechstens = 2000);
// The step k of that choice for n points: point i (from 1) is shown where (i - 1) % k == 0, as the
// ((i - 1) / k + 1)-th.
inline std::size_t GitterSchritt(std::size_t n, std::size_t hoechstens) {
    return hoechstens > 0 && n > hoechstens ? (n + hoechstens - 1) / hoechstens : 1;
}

}  // namespace zentrix
