// Throughput of the polar evaluation on large observation files.
//
// Writes observation files of 10 000, 100 000 and 300 000 lines into a temporary folder: reflector
// spheres (radius 0.0725 m) 10 to 80 m from the station, each observed by 3 to 8 pointings
// without noise, with a single line (a tie point) after every few spheres. Each file is
// evaluated once; the time covers reading, scanning, the solver and writing both output files.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "numerics/Punkt.hpp"
#include "polar/Polarauswertung.hpp"
#include "textio/NumText.hpp"

namespace {

namespace fs = std::filesystem;
using zentrix::TMemoLines;
using zentrix::TPunktArray;

constexpr long double kPi = 3.1415926535897932385L;
constexpr long double kRho = 200.0L / kPi;  // gon per radian
constexpr long double kRadius = 0.0725;     // metres

struct Rng {
    unsigned state;
    long double Next() {  // [0, 1)
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0L;
    }
};

// Appends the pointings of one sphere whose centre is seen at direction ri0 (gon), slope distance
// s0 (metres) and zenith distance zd0 (gon): three at the centre's height plus 5 degrees (left,
// right, front), the rest higher up and spread across the line of sight.
void AppendSphere(std::string& out, const std::string& name, long double ri0, long double s0, long double zd0, int m) {
    const long double ri = ri0 / kRho, zd = zd0 / kRho;
    const long double cx = s0 * std::sin(zd) * std::cos(ri), cy = s0 * std::sin(zd) * std::sin(ri),
                      cz = s0 * std::cos(zd);
    const long double h = std::sqrt(cx * cx + cy * cy);
    const long double fx = -cx / h, fy = -cy / h;  // horizontal, towards the station
    const long double deg = kPi / 180;
    char buf[160];
    for (int k = 0; k < m; ++k) {
        long double a, b;
        if (k < 3) {
            a = (k == 0 ? -75 : k == 1 ? 75 : 0) * deg;
            b = 5 * deg;
        } else {
            a = (-50 + 100.0L * (k - 3) / (m > 4 ? m - 4 : 1)) * deg;
            b = (20 + 40 * std::fmod(0.618033988749895L * k, 1.0L)) * deg;
        }
        const long double cf = std::cos(a) * std::cos(b), cs = std::sin(a) * std::cos(b);
        const long double x = cx + kRadius * (cf * fx - cs * fy), y = cy + kRadius * (cf * fy + cs * fx),
                          z = cz + kRadius * std::sin(b);
        long double pr = std::atan2(y, x) * kRho;
        if (pr < 0) pr += 400;
        const long double ph = std::sqrt(x * x + y * y);
        std::snprintf(buf, sizeof buf, "%s %.10Lf %.10Lf %.10Lf 0.0725\r\n", name.c_str(), pr,
                      std::sqrt(ph * ph + z * z), std::atan2(ph, z) * kRho);
        out += buf;
    }
}

std::string ObservationFile(std::size_t lines, unsigned seed) {
    Rng rng{seed};
    std::string out;
    std::size_t count = 0, sphere = 0;
    while (count < lines) {
        if (sphere % 4 == 3) {  // a tie point observed once
            out += "TP" + std::to_string(sphere) + " 123.4567 45.678 99.1234 0.0725 TIE\r\n";
            ++count;
        }
        int m = 3 + static_cast<int>(6 * rng.Next());
        if (count + static_cast<std::size_t>(m) > lines) m = static_cast<int>(lines - count);
        const std::string name = "K" + std::to_string(++sphere);
        if (m >= 3) {
            AppendSphere(out, name, 400 * rng.Next(), 10 + 70 * rng.Next(), 85 + 25 * rng.Next(), m);
        } else {
            for (int i = 0; i < m; ++i) out += name + "X 1 2 3 4\r\n";  // short run: no sphere
        }
        count += static_cast<std::size_t>(m);
    }
    return out;
}

}  // namespace

int main() {
    zentrix::DecimalSeparator = '.';
    const fs::path dir = fs::temp_directory_path() / "zentrix_polar_bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::printf("%10s %10s %12s %14s %10s\n", "lines", "spheres", "seconds", "lines/s", "messages");
    for (const std::size_t lines : {std::size_t{10000}, std::size_t{100000}, std::size_t{300000}}) {
        const fs::path file = dir / ("obs" + std::to_string(lines) + ".dat");
        std::ofstream(file, std::ios::binary) << ObservationFile(lines, 12345u + static_cast<unsigned>(lines));
        TPunktArray Punkte;
        TMemoLines Memo;
        std::size_t messages = 0;
        const auto start = std::chrono::steady_clock::now();
        zentrix::Polarauswertung(file.string(), Punkte, Memo, [&messages](const std::string&) { ++messages; });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::size_t spheres = 0;
        for (const auto& line : Memo)
            if (line == "Polarkoordinaten des Kugelmittelpunktes") ++spheres;
        std::printf("%10zu %10zu %12.3f %14.0f %10zu\n", lines, spheres, seconds, lines / seconds, messages);
    }
    fs::remove_all(dir);
    return 0;
}
