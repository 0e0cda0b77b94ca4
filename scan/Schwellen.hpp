// SPDX-License-Identifier: GPL-3.0-or-later
// The thresholds of the sphere search in one place. Lengths are fractions of the sphere's radius R
// unless said otherwise, angles in gon; each is a choice backed by the benchmark's scenes
// (bench/scan_bench.cpp) and the tests' clutter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zentrix::schwelle {

// --- Surface elements: planes fitted to the points of small cells -------------------------------

// A cell's edge: R/2, small enough that a cell's piece of the sphere is nearly flat (its sagitta is
// a sixteenth of the cell), large enough that a scan of 15 mm spacing puts several points in it.
constexpr double ZelleJeRadius = 0.5;
// The fewest points of a cell that span a plane; the sparse cells of a coarse cell (of twice the
// edge) span one together, from fewer points: far away a sphere has but a few in each cell.
constexpr std::uint32_t PunkteJeFlaeche = 6;
constexpr std::uint32_t PunkteJeGrobflaeche = 4;
// A plane at all: its thickness (the smallest principal variance) at most this share of the next
// one, and not a line (the middle one at least this share of the largest).
constexpr double DickeHoechstens = 0.3;
constexpr double BreiteMindestens = 0.05;

// --- Votes for centres ---------------------------------------------------------------------------

// Each surface element votes for the point R behind it along its normal (away from the station).
// The votes are counted in cells of R/3; a candidate is a block of 3 x 3 x 3 such cells with at
// least this many votes. A sphere's cap gives some 20 to 40 (one per cell of its surface, whatever
// the point spacing), a plane about 4 a block, a pipe of radius R about 12 along its axis.
constexpr double StimmzelleJeRadius = 1.0 / 3;
constexpr std::uint32_t StimmenMindestens = 8;
// A coarse cell's element votes for the cells it stands for; a block must hold the votes of at
// least so many elements, so that one coarse element of a plane is no candidate.
constexpr std::uint32_t WaehlerMindestens = 4;
// The surface elements whose votes fall within this distance of a candidate support it (counted as
// the cells they stand for); at least so many must, and their normals must spread in two
// directions: the smallest eigenvalue of their mean n nᵀ at least this. A near sphere gives 0.1 to
// 0.3, the few coarse elements of a sphere at 30 to 60 m, which mostly face the station, 0.007 and
// more; a pipe's or an edge's normals lie in one plane and give their noise alone, mostly less.
// What passes is judged on its points: the limit only keeps their number small.
constexpr double TraegerAbstand = 0.5;
constexpr std::uint32_t TraegerMindestens = 5;
constexpr double NormalenStreuungMindestens = 0.003;

// --- The fit to the points ---------------------------------------------------------------------------

// A candidate's points: those between R/2 and 3R/2 from its centre (the search's centre may be a
// third of R off). The fit weighs them with Tukey's biweight at 4.685 robust standard deviations
// (the median absolute residual × 1.4826), measured within the band of the weights (at most R/3 to
// begin with): a narrower window would bias the estimate low and, over a few dozen points, let the
// fit shrink onto a subset of them. The sphere's points are those within four standard deviations
// (three would drop a true point in a hundred of a few dozen, whose scale is known to some 15 %,
// and move the centre by more than the noise does), and never less than a share of R (a
// noiseless cloud).
constexpr double SchaleJeRadius = 0.5;
// Residuals are judged as range errors: divided by the cosine of the beam's angle to the surface,
// never by less than this (the rim, where a beam grazes the sphere).
constexpr double EinfallMindestens = 0.2;
constexpr double BandAnfang = 1.0 / 3;
constexpr double SigmaJeBand = 4.0;
constexpr double BandMindestens = 0.002;
// The noise is measured between each point and its nearest neighbour, no farther than this share of
// R (a scan of 15 mm spacing has neighbours at 15 mm), over at least so many pairs. Below this share
// of the residuals' spread it marks a surface that only touches the sphere (on a sphere the two
// agree within their sampling).
constexpr double NachbarAbstand = 0.25;
constexpr std::size_t NachbarPaareMindestens = 10;
constexpr double NachbarAnteil = 0.6;
// At most this many points of a candidate take part in the search's fit (every k-th of a denser
// cap); the sphere found is then adjusted with all of its points. The candidates' points are
// gathered in passes over the cloud of at most so many points together (48 MB).
constexpr std::size_t SuchpunkteHoechstens = 6000;
constexpr std::size_t SuchpunkteJeDurchgang = 2000000;
// The search's centre moved farther than this from the candidate's: another object.
constexpr double VerschiebungHoechstens = 0.5;

// --- What a sphere must show to be reported -----------------------------------------------------

// Points adjusted.
constexpr int PunkteMindestens = 30;
// The cap seen: 95 % of the points lie within this half-angle (gon) around the line of sight to the
// station; a plane's or another sphere's patch that touches a sphere of R is a small cap.
constexpr double KappeMindestens = 60;
// The cap in its narrower direction (gon): from the smallest second moment of the points'
// directions, as the half-angle of a full cap that would have it. Low: a sphere cut by the edge of
// the scan or half hidden still passes; a sliver of some surface does not.
constexpr double KappeQuerMindestens = 20;
// On a sphere the surface's normal at a point runs through the centre. The normal from the points
// within this share of R around each of up to so many points of the sphere: their median angle to
// the line through the centre at most this (gon). Thin things that merely cross the sphere's surface
// (a tripod's legs below its head) stand at their own angles.
constexpr double NormalenUmkreis = 1.0 / 3;
constexpr std::size_t NormalenProben = 400;
constexpr double NormalenWinkelHoechstens = 20;
// A sphere bends the same way in every direction: the residuals of its points across the cap's
// narrower direction bend away by at most this share of a pipe's t² / (2R). A pipe seen between two
// shadows gives a band like a sphere's seen through a slit, and only this tells them apart.
constexpr double QuerKruemmungHoechstens = 0.5;
// A sphere is a closed surface: the surface seen around its cap does not go on. The points near
// the cap (within the cap's half-angle, between the band and R/2 from the sphere) at most this share
// of the sphere's own; a pipe, a plane or a larger sphere goes on and gives 1 to 10.
constexpr double FortsetzungHoechstens = 0.5;
// The radius of a free adjustment of the same points differs from R by at most this share of R.
constexpr double RadiusAbweichungHoechstens = 0.1;
// The standard deviation of unit weight at most this share of R.
constexpr double M0Hoechstens = 0.1;
// Points within this share of R outside the band (on the side the station sees) count as the
// sphere's outliers.
constexpr double AusreisserBand = 0.25;

}  // namespace zentrix::schwelle
