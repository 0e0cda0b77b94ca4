// SPDX-License-Identifier: GPL-3.0-or-later
// The shape sought: a sphere of known radius R seen from a station. Its residual, its robust fit to
// the points around a candidate, and the figures that judge whether the points show such a sphere.
// The search (Kugelsuche) only proposes candidates; what a sphere is, is said here.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "scan/Schwellen.hpp"
#include "scan/Vektor.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

// The search's fit: the centre, the points' spread about the sphere, and the band of the points
// taken for the sphere's.
struct TKugelSchaetzung {
    bool ok = false;
    TVektor3 c{};        // the centre (metres)
    double sigma = 0;    // robust standard deviation of the residuals as range errors (metres)
    double band = 0;     // the sphere's points have range errors within this (metres)
    int iterationen = 0;
};

// The figures that judge a fitted sphere (see Schwellen.hpp for the limits).
struct TKugelMass {
    int punkte = 0;            // points within the band, on the side the station sees
    double kappe = 0;          // half-angle (gon) around the line of sight holding 95 % of them
    double kappeQuer = 0;      // the cap's half-angle (gon) in its narrower direction
    double fortsetzung = 0;    // points near the cap but off the sphere, per point on it
    double querKruemmung = 0;  // the residuals' bend across the cap's narrower direction, in units of
                               // a pipe's (0: the points follow the sphere that way too, 1: straight)
    double normalenWinkel = 0; // median angle (gon) between the surface's normals at the points and
                               // the sphere's (through the centre)
};

class TKugelmodell {
public:
    TKugelmodell(double R, const TVektor3& station) : R_(R), s_(station) {}

    double R() const { return R_; }
    const TVektor3& Station() const { return s_; }
    // The residual of p (metres): its distance from the centre c less R, positive outside.
    double Residuum(const TWolkenpunkt& p, const TVektor3& c) const { return Laenge(p - c) - R_; }
    // Whether p lies on the half of the sphere around c that faces the station.
    bool Vorn(const TWolkenpunkt& p, const TVektor3& c) const { return Skalar(p - c, s_ - c) > 0; }
    // The residual as a range error: a scanner's noise lies along its beam, and a beam that meets
    // the surface at an angle puts only the cosine of its noise into the residual. Divided by that
    // cosine (at least schwelle::EinfallMindestens near the rim), the residuals of the whole cap
    // have one spread.
    double Normiert(const TWolkenpunkt& p, const TVektor3& c) const {
        const double einfall = std::fabs(Skalar(Einheit(p - s_), Einheit(p - c)));
        return Residuum(p, c) / std::max(einfall, schwelle::EinfallMindestens);
    }

    // The robust fit with R held fixed, from the centre c0 over the points p: Gauss-Newton steps
    // weighted by Tukey's biweight of the residuals on the station's half, the band narrowing from
    // R/3 to 4.685 robust standard deviations. Fails where too few points remain, the normal
    // equations are singular, or the centre moves away from c0 by more than
    // schwelle::VerschiebungHoechstens × R.
    TKugelSchaetzung Schaetze(const std::vector<TWolkenpunkt>& p, const TVektor3& c0) const;

    // The sphere's points of p: within the band (as a range error) and on the station's half.
    bool Auf(const TWolkenpunkt& p, const TKugelSchaetzung& s) const {
        return std::fabs(Normiert(p, s.c)) <= s.band && Vorn(p, s.c);
    }

    // The figures of the fit over the points p (a candidate's shell; a strided sample is as good).
    TKugelMass Miss(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s) const;

    // Whether the figures show a sphere; else the German reason ("Kappe 30 gon zu klein").
    std::string Urteil(const TKugelMass& m) const;

private:
    // One Gauss-Newton step from c with Tukey's weights within tukey (metres); false where too few
    // points take part or the normal equations are singular. schritt: the step's length.
    bool Schritt(const std::vector<TWolkenpunkt>& p, TVektor3& c, double tukey, double& schritt) const;
    // The robust standard deviation of the residuals within fenster of the surface (NaN: too few).
    double MadSigma(const std::vector<TWolkenpunkt>& p, const TVektor3& c, double fenster) const;
    // The robust standard deviation of the noise alone: from the residuals' differences between each
    // point within fenster of the surface and its nearest neighbour (NaN: too few neighbours).
    double NachbarSigma(const std::vector<TWolkenpunkt>& p, const TVektor3& c, double fenster) const;
    // How far the sphere's points bend away from it across the direction quer, in units of a pipe's
    // bend t² / (2R): the quadratic term of their residuals over their offset t that way.
    double QuerKruemmung(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s, const TVektor3& quer) const;
    // The median angle (gon) between the normal of the surface around a point of the sphere (of the
    // points of p near it) and the line from the centre through it, over a sample of its points.
    double NormalenWinkel(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s) const;

    double R_;
    TVektor3 s_;
};

}  // namespace zentrix
