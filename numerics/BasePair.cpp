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

// The eight extreme points of points von..bis: farthest west, south-west, south, ... (the first
// in order where several are).
struct TAchteck {
    int e[8];
    double wert[8];
};

TAchteck Extreme(const TPunktArray& P, int von, int bis) {
    TAchteck a;
    for (int k = 0; k < 8; ++k) {
        a.e[k] = von;
        a.wert[k] = std::numeric_limits<double>::infinity();
    }
    for (int i = von; i <= bis; ++i) {
        const double x = P[i].X, y = P[i].Y;
        // Sums rounded to double: any of the points near an extreme serves as a corner.
        const double w[8] = {x, x + y, y, y - x, -x, -x - y, -y, x - y};
        for (int k = 0; k < 8; ++k)
            if (w[k] < a.wert[k]) {
                a.wert[k] = w[k];
                a.e[k] = i;
            }
    }
    return a;
}

// Twice the area of the triangle o, a, b in double, and a bound of its rounding error.
bool SicherLinks(const TPlanOrt& o, const TPlanOrt& a, const TPlanOrt& b) {
    const double t1 = (a.x - o.x) * (b.y - o.y), t2 = (a.y - o.y) * (b.x - o.x);
    return t1 - t2 > toleranz::LinksRelativ * (std::fabs(t1) + std::fabs(t2));
}

// The points that may lie on the convex hull: not surely inside the octagon of the extreme points
// (Akl and Toussaint). Of a scan's million points a few thousand remain, and only they are
// sorted. Points at the same place fall on the same side. Both passes on both cores; a point is
// dropped only when it is inside by far more than any rounding.
std::vector<TPlanOrt> HuellenKandidaten(const TPunktArray& P, int n) {
    const std::vector<TAchteck> teil = InTeilen(static_cast<std::size_t>(n), AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        return Extreme(P, static_cast<int>(anfang) + 1, static_cast<int>(ende));
    });
    // Of the parts' extremes the first in order where several are equal.
    int e[8];
    for (int k = 0; k < 8; ++k) {
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
    std::vector<std::vector<TPlanOrt>> teile = InTeilen(static_cast<std::size_t>(n), AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        std::vector<TPlanOrt> alle;
        for (auto i = static_cast<int>(anfang) + 1; i <= static_cast<int>(ende); ++i) {
            const TPlanOrt o{P[i].X, P[i].Y, i};
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
