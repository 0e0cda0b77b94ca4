// SPDX-License-Identifier: GPL-3.0-or-later
// A simulated terrestrial laser scan: a station at the origin scanning a hall on a regular grid of
// directions (the azimuth in columns, the elevation within a column, as a scanner turns). The hall
// has a floor, a ceiling and walls; in it stand reflector spheres of radius R and 2R on tripods at
// 2 to 60 m, pipes of radius R and 2R (along the hall, across it, upright), and the tripods' legs.
// Each beam returns the first surface it meets, its range with Gaussian noise along the beam; where
// a beam's neighbour (above it or in the column before) hit another object at another range, it
// is a mixed pixel with even odds: its range lies anywhere between the two. The scene knows every
// sphere's true centre and which points truly lie on it.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "scan/Wolke.hpp"

namespace zentrix::szene {

struct TParameter {
    double R = 0.0725;          // the targets' radius (metres)
    double rauschen = 0.001;    // range noise, standard deviation (metres)
    double schritt = 0.0003;    // angular step (radians): 0.6 mm at 2 m, 18 mm at 60 m
    double azimut = 0.4;        // half the field of view across (radians)
    double hoehe = 0.25;        // half the field of view up and down (radians)
    unsigned saat = 1;
    int kugelnR = 14, kugeln2R = 4, rohreR = 5, rohre2R = 3;
};

// A sphere of the scene.
struct TKugel {
    double c[3];
    double r;
    std::vector<std::size_t> punkte;  // the points that lie on it (no mixed pixel)
};

// A primitive the beams can hit: a plane n·x = h (its side towards the station), a sphere, or a
// cylinder segment from a along unit axis u of length l.
struct TKoerper {
    enum class TArt { Ebene, Kugel, Zylinder } art;
    double a[3], u[3];
    double r = 0, l = 0, h = 0;
    int kugel = -1;  // its index among the spheres
    // Its directions' bounding box (azimuth, elevation; radians), for spheres and cylinders.
    double az0 = -10, az1 = 10, el0 = -10, el1 = 10;
};

struct TSzene {
    std::vector<TWolkenpunkt> punkte;
    std::vector<char> gemischt;  // a mixed pixel
    std::vector<TKugel> kugeln;
};

namespace detail {

constexpr double Pi = 3.14159265358979323846;

inline double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The nearest positive range at which the beam d from the origin meets k (infinity: none).
inline double Treffer(const TKoerper& k, const double* d) {
    constexpr double keiner = INFINITY;
    switch (k.art) {
        case TKoerper::TArt::Ebene: {
            const double dn = Dot(d, k.u);
            const double t = dn != 0 ? k.h / dn : keiner;
            return t > 0 ? t : keiner;
        }
        case TKoerper::TArt::Kugel: {
            const double b = Dot(d, k.a), c = Dot(k.a, k.a) - k.r * k.r, disk = b * b - c;
            if (disk < 0) return keiner;
            const double t = b - std::sqrt(disk);
            return t > 0 ? t : keiner;
        }
        case TKoerper::TArt::Zylinder: {
            // |(t d - a) - ((t d - a)·u) u| = r
            const double du = Dot(d, k.u), au = Dot(k.a, k.u);
            const double p[3] = {d[0] - du * k.u[0], d[1] - du * k.u[1], d[2] - du * k.u[2]};
            const double q[3] = {-k.a[0] + au * k.u[0], -k.a[1] + au * k.u[1], -k.a[2] + au * k.u[2]};
            const double A = Dot(p, p), B = 2 * Dot(p, q), C = Dot(q, q) - k.r * k.r, disk = B * B - 4 * A * C;
            if (A == 0 || disk < 0) return keiner;
            for (const double t : {(-B - std::sqrt(disk)) / (2 * A), (-B + std::sqrt(disk)) / (2 * A)}) {
                const double s = t * du - au;
                if (t > 0 && s >= 0 && s <= k.l) return t;
            }
            return keiner;
        }
    }
    return keiner;
}

inline void Richtung(double az, double el, double* d) {
    d[0] = std::cos(el) * std::cos(az);
    d[1] = std::cos(el) * std::sin(az);
    d[2] = std::sin(el);
}

// The bounding box of directions of a sphere of radius r around c.
inline void Umhuelle(TKoerper& k, const double* c, double r) {
    const double d = std::sqrt(Dot(c, c)), alpha = std::asin(std::min(1.0, r / d)) + 1e-3;
    const double az = std::atan2(c[1], c[0]), el = std::asin(c[2] / d);
    const double breite = alpha / std::max(0.05, std::cos(std::fabs(el) + alpha));
    k.az0 = std::min(k.az0, az - breite);
    k.az1 = std::max(k.az1, az + breite);
    k.el0 = std::min(k.el0, el - alpha);
    k.el1 = std::max(k.el1, el + alpha);
}

inline TKoerper Zylinder(const double* a, const double* b, double r) {
    TKoerper k{TKoerper::TArt::Zylinder, {a[0], a[1], a[2]}, {b[0] - a[0], b[1] - a[1], b[2] - a[2]}};
    k.l = std::sqrt(Dot(k.u, k.u));
    for (double& x : k.u) x /= k.l;
    k.r = r;
    k.az0 = k.el0 = 10;
    k.az1 = k.el1 = -10;
    const int n = 64;
    for (int i = 0; i <= n; ++i) {
        const double s = k.l * i / n, c[3] = {a[0] + s * k.u[0], a[1] + s * k.u[1], a[2] + s * k.u[2]};
        detail::Umhuelle(k, c, r + k.l / n);
    }
    return k;
}

// The hall: floor 1.6 m below the scanner, ceiling 4.4 m above, walls 12 m to either side,
// 70 m ahead and 5 m behind.
inline void Halle(std::vector<TKoerper>& k) {
    const double ebenen[6][4] = {{0, 0, -1, 1.6}, {0, 0, 1, 4.4}, {0, 1, 0, 12}, {0, -1, 0, 12}, {1, 0, 0, 70}, {-1, 0, 0, 5}};
    for (const auto& e : ebenen) k.push_back({TKoerper::TArt::Ebene, {0, 0, 0}, {e[0], e[1], e[2]}, 0, 0, e[3]});
}

// A point at distance d in a random direction of the field of view, at least hoch above the floor.
inline void Ort(const TParameter& p, std::mt19937& rng, double d, double hoch, double* c) {
    std::uniform_real_distribution<double> u(-1, 1);
    for (;;) {
        const double az = 0.85 * p.azimut * u(rng), el = 0.75 * p.hoehe * u(rng);
        Richtung(az, el, c);
        for (int i = 0; i < 3; ++i) c[i] *= d;
        if (c[2] > -1.6 + hoch && c[2] < 3.5 && std::fabs(c[1]) < 11) return;
    }
}

// A sphere of radius r on a tripod: an adapter below it and three legs to the floor.
// A sphere of radius r around c, the scene's sphere number s.kugeln.size() (added there).
inline TKoerper NeueKugel(TSzene& s, const double* c, double r) {
    TKoerper kugel{TKoerper::TArt::Kugel, {c[0], c[1], c[2]}, {0, 0, 0}, r};
    kugel.kugel = static_cast<int>(s.kugeln.size());
    kugel.az0 = kugel.el0 = 10;
    kugel.az1 = kugel.el1 = -10;
    Umhuelle(kugel, c, r);
    s.kugeln.push_back({{c[0], c[1], c[2]}, r, {}});
    return kugel;
}

inline void KugelAufStativ(TSzene& s, std::vector<TKoerper>& k, const double* c, double r, std::mt19937& rng) {
    k.push_back(NeueKugel(s, c, r));
    const double unten[3] = {c[0], c[1], c[2] - r}, kopf[3] = {c[0], c[1], c[2] - r - 0.06};
    k.push_back(Zylinder(kopf, unten, 0.012));
    const double w0 = std::uniform_real_distribution<double>(0, 2 * Pi)(rng), spreizung = 0.25 + 0.2 * (c[2] + 1.6);
    for (int i = 0; i < 3; ++i) {
        const double w = w0 + i * 2 * Pi / 3;
        const double fuss[3] = {c[0] + spreizung * std::cos(w), c[1] + spreizung * std::sin(w), -1.6};
        k.push_back(Zylinder(kopf, fuss, 0.015));
    }
}

// Whether a new object at c with a clearance of radius r keeps away from those placed.
inline bool Frei(const std::vector<std::pair<std::array<double, 3>, double>>& belegt, const double* c, double r) {
    for (const auto& [b, rb] : belegt)
        if (std::hypot(b[0] - c[0], b[1] - c[1], b[2] - c[2]) < r + rb) return false;
    return true;
}

// Pipes: along the hall (horizontal), across it, or upright, through a point of the view.
inline void Rohre(const TParameter& p, int anzahl, double r, std::mt19937& rng, std::vector<TKoerper>& k,
                  std::vector<std::pair<std::array<double, 3>, double>>& belegt) {
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < anzahl; ++i) {
        double c[3];
        do Ort(p, rng, 4 + 45 * u(rng), 0.3, c);
        while (!Frei(belegt, c, 1.0));
        belegt.push_back({{c[0], c[1], c[2]}, 1.0});
        const int art = i % 3;
        double a[3] = {c[0], c[1], c[2]}, b[3] = {c[0], c[1], c[2]};
        if (art == 0) { a[0] -= 6; b[0] += 6; }
        else if (art == 1) { a[1] -= 4; b[1] += 4; }
        else { a[2] = -1.6; b[2] = 4.4; }
        k.push_back(Zylinder(a, b, r));
    }
}

}  // namespace detail

// The scene's objects: the hall, the spheres on their tripods and the pipes, placed by p.saat.
inline std::vector<TKoerper> Aufbau(const TParameter& p, TSzene& s) {
    std::mt19937 rng(p.saat);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<TKoerper> k;
    detail::Halle(k);
    std::vector<std::pair<std::array<double, 3>, double>> belegt;
    // The targets spread over 2 to 60 m, a few of twice the radius among them.
    const int n = p.kugelnR + p.kugeln2R;
    for (int i = 0; i < n; ++i) {
        const bool doppelt = i >= p.kugelnR;
        const double d = doppelt ? 3 + 50 * u(rng) : 2 + 58 * (i + u(rng)) / p.kugelnR;
        double c[3];
        int versuch = 0;
        do detail::Ort(p, rng, d, 0.5, c);
        while (!detail::Frei(belegt, c, 0.6) && ++versuch < 1000);
        belegt.push_back({{c[0], c[1], c[2]}, 0.6});
        detail::KugelAufStativ(s, k, c, doppelt ? 2 * p.R : p.R, rng);
    }
    detail::Rohre(p, p.rohreR, p.R, rng, k, belegt);
    detail::Rohre(p, p.rohre2R, 2 * p.R, rng, k, belegt);
    return k;
}

// One beam: the object hit first and its range.
struct TStrahl {
    int objekt = -1;
    double t = INFINITY;
};

inline TStrahl Strahl(const std::vector<TKoerper>& k, double az, double el) {
    double d[3];
    detail::Richtung(az, el, d);
    TStrahl s;
    for (std::size_t i = 0; i < k.size(); ++i) {
        const TKoerper& o = k[i];
        if (az < o.az0 || az > o.az1 || el < o.el0 || el > o.el1) continue;
        const double t = detail::Treffer(o, d);
        if (t < s.t) s = {static_cast<int>(i), t};
    }
    return s;
}

// A sphere of radius r around c, the scene's sphere number s.kugeln.size() (added there).
inline TKoerper Kugel(TSzene& s, const double* c, double r) { return detail::NeueKugel(s, c, r); }

// A pipe of radius r from a to b.
inline TKoerper Rohr(const double* a, const double* b, double r) { return detail::Zylinder(a, b, r); }

// The plane of the points x with n·x = h (n a unit vector pointing away from the station).
inline TKoerper Ebene(const double* n, double h) {
    return {TKoerper::TArt::Ebene, {0, 0, 0}, {n[0], n[1], n[2]}, 0, 0, h};
}

// Scans the objects k of s from the origin over p's field of view: column after column of beams
// (azimuth), within a column the elevation rising; the points in that order.
inline void Scanne(const std::vector<TKoerper>& k, const TParameter& p, TSzene& s);

// Scans the hall of p: its objects by p.saat.
inline TSzene Simuliere(const TParameter& p) {
    TSzene s;
    const std::vector<TKoerper> k = Aufbau(p, s);
    Scanne(k, p, s);
    return s;
}

inline void Scanne(const std::vector<TKoerper>& k, const TParameter& p, TSzene& s) {
    const int spalten = static_cast<int>(2 * p.azimut / p.schritt), zeilen = static_cast<int>(2 * p.hoehe / p.schritt);
    struct TPunkt {
        TWolkenpunkt p;
        int kugel;
        char gemischt;
    };
    // A block of columns, the column before it cast again for its neighbours.
    InBloecken(static_cast<std::size_t>(spalten), 64, [&](std::size_t von, std::size_t bis) {
        std::vector<TPunkt> punkte;
        std::mt19937 rng(p.saat * 7919u + static_cast<unsigned>(von));
        std::normal_distribution<double> rausch(0, p.rauschen);
        std::uniform_real_distribution<double> u(0, 1);
        std::vector<TStrahl> vorher(static_cast<std::size_t>(zeilen));
        for (long sp = static_cast<long>(von) - 1; sp < static_cast<long>(bis); ++sp) {
            const double az = -p.azimut + (sp + 0.5) * p.schritt;
            TStrahl oben;
            for (int z = 0; z < zeilen; ++z) {
                const double el = -p.hoehe + (z + 0.5) * p.schritt;
                const TStrahl st = Strahl(k, az, el);
                const TStrahl links = vorher[static_cast<std::size_t>(z)];
                vorher[static_cast<std::size_t>(z)] = st;
                if (sp < static_cast<long>(von) || st.objekt < 0) {
                    oben = st;
                    continue;
                }
                double t = st.t;
                char gemischt = 0;
                for (const TStrahl& n : {oben, links})
                    if (!gemischt && n.objekt >= 0 && n.objekt != st.objekt && std::fabs(n.t - st.t) > 0.02 && u(rng) < 0.5) {
                        const double w = u(rng);
                        t = w * st.t + (1 - w) * n.t;
                        gemischt = 1;
                    }
                oben = st;
                t += rausch(rng);
                double d[3];
                detail::Richtung(az, el, d);
                punkte.push_back({{t * d[0], t * d[1], t * d[2]}, gemischt ? -1 : k[static_cast<std::size_t>(st.objekt)].kugel, gemischt});
            }
        }
        return punkte;
    }, [&](const std::vector<TPunkt>& punkte) {
        for (const TPunkt& q : punkte) {
            if (q.kugel >= 0) s.kugeln[static_cast<std::size_t>(q.kugel)].punkte.push_back(s.punkte.size());
            s.punkte.push_back(q.p);
            s.gemischt.push_back(q.gemischt);
        }
    });
}

// --- The files -------------------------------------------------------------------------------------

// Binary PLY, little-endian: x, y, z as float or double and an intensity the reader passes over.
inline void SchreibePly(const std::string& datei, const TSzene& s, bool doppelt) {
    std::ofstream out(datei, std::ios::binary);
    const char* typ = doppelt ? "double" : "float";
    out << "ply\nformat binary_little_endian 1.0\ncomment Zentrix scene\nelement vertex " << s.punkte.size()
        << "\nproperty " << typ << " x\nproperty " << typ << " y\nproperty " << typ << " z\nproperty uchar intensity\nend_header\n";
    std::vector<char> puffer;
    puffer.reserve(s.punkte.size() * (doppelt ? 25 : 13));
    for (const TWolkenpunkt& p : s.punkte) {
        for (const double v : {p.X, p.Y, p.Z}) {
            if (doppelt) puffer.insert(puffer.end(), reinterpret_cast<const char*>(&v), reinterpret_cast<const char*>(&v) + 8);
            else {
                const auto f = static_cast<float>(v);
                puffer.insert(puffer.end(), reinterpret_cast<const char*>(&f), reinterpret_cast<const char*>(&f) + 4);
            }
        }
        puffer.push_back(static_cast<char>(128));
    }
    out.write(puffer.data(), static_cast<std::streamsize>(puffer.size()));
}

// LAS 1.2, point data format 0 (20 bytes), coordinates in units of 0.1 mm.
inline void SchreibeLas(const std::string& datei, const TSzene& s) {
    std::string kopf(227, '\0');
    auto setze = [&kopf](std::size_t pos, const void* v, std::size_t n) { std::memcpy(&kopf[pos], v, n); };
    kopf.replace(0, 4, "LASF");
    kopf[24] = 1;
    kopf[25] = 2;
    const std::uint16_t groesse = 227, laenge = 20;
    const std::uint32_t anfang = 227, anzahl = static_cast<std::uint32_t>(s.punkte.size());
    setze(94, &groesse, 2);
    setze(96, &anfang, 4);
    setze(105, &laenge, 2);
    setze(107, &anzahl, 4);
    const double massstab = 0.0001, null = 0;
    for (int a = 0; a < 3; ++a) {
        setze(131 + 8 * a, &massstab, 8);
        setze(155 + 8 * a, &null, 8);
    }
    std::ofstream out(datei, std::ios::binary);
    out.write(kopf.data(), static_cast<std::streamsize>(kopf.size()));
    std::vector<char> puffer(s.punkte.size() * 20, '\0');
    for (std::size_t i = 0; i < s.punkte.size(); ++i)
        for (int a = 0; a < 3; ++a) {
            const double v = a == 0 ? s.punkte[i].X : a == 1 ? s.punkte[i].Y : s.punkte[i].Z;
            const auto ganz = static_cast<std::int32_t>(std::lround(v / massstab));
            std::memcpy(&puffer[i * 20 + 4 * static_cast<std::size_t>(a)], &ganz, 4);
        }
    out.write(puffer.data(), static_cast<std::streamsize>(puffer.size()));
}

// Text: "X Y Z intensity", four decimals.
inline void SchreibeText(const std::string& datei, const TSzene& s) {
    std::FILE* f = std::fopen(datei.c_str(), "wb");
    if (f == nullptr) return;
    for (const TWolkenpunkt& p : s.punkte) std::fprintf(f, "%.4f %.4f %.4f 128\n", p.X, p.Y, p.Z);
    std::fclose(f);
}

}  // namespace zentrix::szene
