// SPDX-License-Identifier: GPL-3.0-or-later
#include "numerics/BasePair.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "numerics/Gleitkomma.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

// A distinct plan position and the smallest point index found there.
struct TPlanOrt {
    double x, y;
    int erster;
};

double Abstand2(const TPlanOrt& a, const TPlanOrt& b) {
    const Ext dx = static_cast<Ext>(b.x) - a.x, dy = static_cast<Ext>(b.y) - a.y;
    return StoreDouble(dx * dx + dy * dy);
}

Ext Kreuz(const TPlanOrt& o, const TPlanOrt& a, const TPlanOrt& b) {
    return (static_cast<Ext>(a.x) - o.x) * (static_cast<Ext>(b.y) - o.y) - (static_cast<Ext>(a.y) - o.y) * (static_cast<Ext>(b.x) - o.x);
}

// The parts' positions one after the other.
std::vector<TPlanOrt> Aneinander(std::vector<std::vector<TPlanOrt>> teile) {
    if (teile.empty()) return {};
    for (std::size_t t = 1; t < teile.size(); ++t) teile[0].insert(teile[0].end(), teile[t].begin(), teile[t].end());
    return std::move(teile[0]);
}

// The distinct plan positions (each with the smallest index found there), sorted by X and then Y.
std::vector<TPlanOrt> Orte(std::vector<TPlanOrt> alle) {
    std::sort(alle.begin(), alle.end(), [](const TPlanOrt& a, const TPlanOrt& b) {
        return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.erster < b.erster;
    });
    std::vector<TPlanOrt> orte;
    for (const TPlanOrt& o : alle)
        if (orte.empty() || orte.back().x != o.x || orte.back().y != o.y) orte.push_back(o);
    return orte;
}

// The extreme points of points von..bis in Richtungen directions round the compass: the farthest
// west, then on counter-clockwise (the first in order where several are). They are the corners of
// a polygon inside the points' convex hull.
constexpr int Richtungen = 16;
struct TEcken {
    int e[Richtungen];
    double wert[Richtungen];
};

// The axes of the directions: half of them, each giving the extremes at both its ends.
struct TAchsen {
    double c[Richtungen / 2], s[Richtungen / 2];
    TAchsen() {
        const double pi = std::acos(-1.0);
        for (int k = 0; k < Richtungen / 2; ++k) {
            c[k] = std::cos(2 * pi * k / Richtungen);
            s[k] = std::sin(2 * pi * k / Richtungen);
        }
    }
};

TEcken Extreme(const TPunktArray& P, int von, int bis, const TAchsen& achsen, double x0, double y0) {
    constexpr int H = Richtungen / 2;
    TEcken a;
    for (int k = 0; k < Richtungen; ++k) {
        a.e[k] = von;
        a.wert[k] = std::numeric_limits<double>::infinity();
    }
    for (int i = von; i <= bis; ++i) {
        // Rounded to double, and about the first point so that national-grid coordinates keep
        // their digits: any of the points near an extreme serves as a corner.
        const double x = P[i].X - x0, y = P[i].Y - y0;
        for (int k = 0; k < H; ++k) {
            // Along the axis: its smallest value is the extreme on the axis's far side (the first
            // half of the directions), its largest (the smallest negative) the one on its near side.
            const double w = x * achsen.c[k] + y * achsen.s[k];
            if (w < a.wert[k]) {
                a.wert[k] = w;
                a.e[k] = i;
            }
            if (-w < a.wert[H + k]) {
                a.wert[H + k] = -w;
                a.e[H + k] = i;
            }
        }
    }
    return a;
}

// Twice the area of the triangle o, a, b in double, and a bound of its rounding error.
bool SicherLinks(const TPlanOrt& o, const TPlanOrt& a, const TPlanOrt& b) {
    const double t1 = (a.x - o.x) * (b.y - o.y), t2 = (a.y - o.y) * (b.x - o.x);
    return t1 - t2 > toleranz::LinksRelativ * (std::fabs(t1) + std::fabs(t2));
}

// A circle about the corners' mean that lies inside the polygon of the corners (counter-clockwise)
// by far more than any rounding: a point within it lies inside with one comparison, where the
// polygon takes one for every edge. None (r2 = 0) where the polygon is too thin for it.
struct TInnenkreis {
    double x = 0, y = 0, r2 = 0;  // centre and squared radius (square metres)
};

TInnenkreis Innenkreis(const std::vector<TPlanOrt>& ecken) {
    TInnenkreis k;
    const std::size_t m = ecken.size();
    if (m < 3) return k;
    Ext mx = 0, my = 0;
    for (const TPlanOrt& e : ecken) {
        mx += e.x;
        my += e.y;
    }
    k.x = static_cast<double>(mx / static_cast<Ext>(m));
    k.y = static_cast<double>(my / static_cast<Ext>(m));
    // The smallest distance of the centre from an edge's line (metres), and the longest edge.
    Ext r = std::numeric_limits<Ext>::infinity(), kante = 0;
    for (std::size_t i = 0; i < m; ++i) {
        const TPlanOrt &a = ecken[i], &b = ecken[(i + 1) % m];
        const Ext ux = static_cast<Ext>(b.x) - a.x, uy = static_cast<Ext>(b.y) - a.y, l = std::sqrt(ux * ux + uy * uy);
        if (!(l > 0)) continue;
        kante = std::max(kante, l);
        r = std::min(r, (ux * (static_cast<Ext>(k.y) - a.y) - uy * (static_cast<Ext>(k.x) - a.x)) / l);
    }
    // The rounding of these distances and of a point's distance from the centre (in double) is
    // some 1e-16 of the polygon's size; a millionth of the radius is left as margin, and a circle
    // smaller than a millionth of the polygon is none.
    if (!(r > toleranz::InnenkreisRelativ * kante) || !std::isfinite(r)) return k;
    const Ext innen = r * (1 - toleranz::InnenkreisRelativ);
    k.r2 = static_cast<double>(innen * innen);
    return k;
}

// The points that may lie on the convex hull: not surely inside the polygon of the extreme points
// (Akl and Toussaint, with sixteen directions: of a million points spread over a disc 27 000
// remain, where the eight of the compass left 134 000). Only they are sorted. Points
// at the same place fall on the same side. Both passes on both cores; a point is dropped only when
// it is inside by far more than any rounding.
std::vector<TPlanOrt> HuellenKandidaten(const TPunktArray& P, int n) {
    const TAchsen achsen;
    const double x0 = P[1].X, y0 = P[1].Y;
    const std::vector<TEcken> teil = InTeilen(static_cast<std::size_t>(n), AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        return Extreme(P, static_cast<int>(anfang) + 1, static_cast<int>(ende), achsen, x0, y0);
    });
    // Of the parts' extremes the first in order where several are equal.
    int e[Richtungen];
    for (int k = 0; k < Richtungen; ++k) {
        std::size_t bester = 0;
        for (std::size_t t = 1; t < teil.size(); ++t)
            if (teil[t].wert[k] < teil[bester].wert[k]) bester = t;
        e[k] = teil[bester].e[k];
    }
    std::vector<TPlanOrt> ecken;
    for (int k : e) {
        const TPlanOrt o{P[k].X, P[k].Y, k};
        if (ecken.empty() || ecken.back().x != o.x || ecken.back().y != o.y) ecken.push_back(o);
    }
    while (ecken.size() > 1 && ecken.back().x == ecken.front().x && ecken.back().y == ecken.front().y) ecken.pop_back();
    const TInnenkreis kreis = Innenkreis(ecken);
    std::vector<std::vector<TPlanOrt>> teile = InTeilen(static_cast<std::size_t>(n), AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        std::vector<TPlanOrt> alle;
        for (auto i = static_cast<int>(anfang) + 1; i <= static_cast<int>(ende); ++i) {
            const TPlanOrt o{P[i].X, P[i].Y, i};
            const double dx = o.x - kreis.x, dy = o.y - kreis.y;
            if (dx * dx + dy * dy < kreis.r2) continue;
            bool innen = ecken.size() >= 3;
            for (std::size_t k = 0; innen && k < ecken.size(); ++k)
                innen = SicherLinks(ecken[k], ecken[(k + 1) % ecken.size()], o);
            if (!innen) alle.push_back(o);
        }
        return alle;
    });
    return Aneinander(std::move(teile));
}

// The convex hull (Andrew's monotone chain, counter-clockwise, without points on its edges).
std::vector<TPlanOrt> Huelle(const std::vector<TPlanOrt>& orte) {
    std::vector<TPlanOrt> h(2 * orte.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < orte.size(); ++i) {
        while (k >= 2 && Kreuz(h[k - 2], h[k - 1], orte[i]) <= 0) --k;
        h[k++] = orte[i];
    }
    for (std::size_t i = orte.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && Kreuz(h[k - 2], h[k - 1], orte[i]) <= 0) --k;
        h[k++] = orte[i];
    }
    h.resize(k > 1 ? k - 1 : k);
    return h;
}

// The largest squared distance between hull vertices by rotating calipers, and one pair that has it.
double Durchmesser(const std::vector<TPlanOrt>& h, TPlanOrt& a, TPlanOrt& b) {
    const std::size_t m = h.size();
    a = h[0];
    b = h[m > 1 ? 1 : 0];
    double best = Abstand2(a, b);
    if (m < 3) return best;
    std::size_t j = 1;
    for (std::size_t i = 0; i < m; ++i) {
        const TPlanOrt &p = h[i], &q = h[(i + 1) % m];
        while (Kreuz(p, q, h[(j + 1) % m]) > Kreuz(p, q, h[j])) j = (j + 1) % m;
        for (const TPlanOrt* r : {&p, &q}) {
            const double d = Abstand2(*r, h[j]);
            if (d > best) {
                best = d;
                a = *r;
                b = h[j];
            }
        }
    }
    return best;
}

}  // namespace

double PlanAbstand2(const TPunkt& a, const TPunkt& b) {
    const Ext dx = static_cast<Ext>(b.X) - a.X, dy = static_cast<Ext>(b.Y) - a.Y;
    return StoreDouble(dx * dx + dy * dy);
}

namespace {

// The plain double loop, for the few points of a pointed sphere.
std::pair<int, int> Schleife(const TPunktArray& Punkte, int n) {
    std::pair<int, int> paar{0, 0};
    double best = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (const double d = PlanAbstand2(Punkte[i], Punkte[j]); d > best) {
                best = d;
                paar = {i, j};
            }
    return paar;
}

}  // namespace

std::pair<int, int> BasePair(const TPunktArray& Punkte, int n) {
    if (n <= 32) return Schleife(Punkte, n);
    const std::vector<TPlanOrt> orte = Orte(HuellenKandidaten(Punkte, n));
    if (orte.size() < 2) return {0, 0};
    const std::vector<TPlanOrt> huelle = Huelle(orte);
    TPlanOrt a{}, b{};
    const double M = Durchmesser(huelle, a, b);

    // Only a point that lies within a hair of the diameter's length from another can take part in
    // a pair of the largest rounded distance: a bounding circle about the diameter's middle, then
    // the farthest hull vertex, sort the others out. The margin is far wider than the rounding.
    const Ext cx = (static_cast<Ext>(a.x) + b.x) / 2, cy = (static_cast<Ext>(a.y) + b.y) / 2;
    Ext umkreis2 = 0;
    for (const TPlanOrt& v : huelle)
        umkreis2 = std::max(umkreis2, (v.x - cx) * (v.x - cx) + (v.y - cy) * (v.y - cy));
    const Ext grenze = M * (1 - toleranz::BasisKandidatRelativ);
    const Ext innen = std::sqrt(grenze) - std::sqrt(umkreis2);  // nearer the middle: no candidate
    // In double with a margin of a millionth (the rounding is some 1e-16), on both cores.
    const auto mx = static_cast<double>(cx), my = static_cast<double>(cy);
    const double innen2 = innen > 0 ? static_cast<double>(innen * innen) * (1 - toleranz::BasisInnenRelativ) : 0;
    std::vector<std::vector<TPlanOrt>> teile = InTeilen(static_cast<std::size_t>(n), AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        std::vector<TPlanOrt> kandidaten;
        for (auto i = static_cast<int>(anfang) + 1; i <= static_cast<int>(ende); ++i) {
            const TPlanOrt o{Punkte[i].X, Punkte[i].Y, i};
            if ((o.x - mx) * (o.x - mx) + (o.y - my) * (o.y - my) < innen2) continue;
            double weitester = 0;
            for (const TPlanOrt& v : huelle) weitester = std::max(weitester, Abstand2(o, v));
            if (weitester >= grenze) kandidaten.push_back(o);
        }
        return kandidaten;
    });
    const std::vector<TPlanOrt> kandidaten = Orte(Aneinander(std::move(teile)));

    // Among them the largest rounded distance and the first pair in loop order that has it: of two
    // positions the smaller of their first indices, then the other's first index.
    double best = 0;
    std::pair<int, int> paar{0, 0};
    for (std::size_t i = 0; i < kandidaten.size(); ++i)
        for (std::size_t j = i + 1; j < kandidaten.size(); ++j) {
            const double d = Abstand2(kandidaten[i], kandidaten[j]);
            const int p = std::min(kandidaten[i].erster, kandidaten[j].erster);
            const int q = std::max(kandidaten[i].erster, kandidaten[j].erster);
            if (d > best || (d == best && d > 0 && std::make_pair(p, q) < paar)) {
                best = d;
                paar = {p, q};
            }
        }
    return paar;
}

}  // namespace zentrix
