// SPDX-License-Identifier: GPL-3.0-or-later
// Large files through the batch tool: time, lines per second and peak memory, beside
// numpy.loadtxt reading the same files.
//
// Writes into a temporary folder a scanned reflector sphere of 100 000, 300 000 and 1 000 000
// points (coordinate file, data format 0, four decimals as a scanner exports them) and a day's
// observation file of 1 000 000 lines (spheres of 3 to 8 pointings, a tie point now and then;
// directions and zenith distances to 0.1 mgon, distances to the millimetre). Runs
// "zentrix-cli rechne-datei" on each coordinate file and "zentrix-cli polarauswertung" on the
// observation file as the user would (output to /dev/null), measures the wall time and the peak
// resident memory of the process, and runs bench/numpy_loadtxt.py on the same file; each the
// best of three runs.
//
// Usage: gross_bench ZENTRIX_CLI NUMPY_SCRIPT [FOLDER]  (with FOLDER the files are kept there)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

// A scanned sphere: radius 0.1 m around (1000, 2000, 300), its upper part (10 to 80 degrees above
// the equator, all round, as from scanner stations above it), 0.3 mm noise.
void Punktdatei(const fs::path& datei, int punkte) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> rausch(0, 0.0003);
    std::string text;
    text.reserve(static_cast<std::size_t>(punkte) * 42);
    char zeile[128];
    for (int i = 1; i <= punkte; ++i) {
        const double a = 2 * kPi * u(rng), b = (10 + 70 * u(rng)) * kPi / 180, r = 0.1 + rausch(rng);
        std::snprintf(zeile, sizeof zeile, "%d %.4f %.4f %.4f 0.1\r\n", i, 1000 - r * std::cos(b) * std::cos(a),
                      2000 + r * std::cos(b) * std::sin(a), 300 + r * std::sin(b));
        text += zeile;
    }
    std::ofstream(datei, std::ios::binary) << text;
}

// Spheres of 0.0725 m seen from the station, each by 3 to 8 pointings, a tie point after every
// few of them.
void Beobachtungsdatei(const fs::path& datei, int zeilen) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0, 1);
    std::string text;
    text.reserve(static_cast<std::size_t>(zeilen) * 40);
    char zeile[128];
    int geschrieben = 0, kugel = 0;
    while (geschrieben < zeilen) {
        ++kugel;
        if (kugel % 4 == 0) {
            std::snprintf(zeile, sizeof zeile, "TP%d %.4f %.3f %.4f 0.0725\r\n", kugel, 400 * u(rng), 5 + 60 * u(rng), 95 + 10 * u(rng));
            text += zeile;
            ++geschrieben;
            continue;
        }
        const int m = std::min(3 + static_cast<int>(6 * u(rng)), zeilen - geschrieben);
        const double ri = 2 * kPi * u(rng), s = 10 + 70 * u(rng), zd = (90 + 20 * u(rng)) / 200 * kPi;
        const double c[3] = {s * std::sin(zd) * std::cos(ri), s * std::sin(zd) * std::sin(ri), s * std::cos(zd)};
        for (int k = 0; k < m; ++k) {
            const double a = (-60 + 120 * u(rng)) * kPi / 180, b = (-20 + 80 * u(rng)) * kPi / 180;
            const double h = std::hypot(c[0], c[1]), f[2] = {-c[0] / h, -c[1] / h};
            const double p[3] = {c[0] + 0.0725 * std::cos(b) * (std::cos(a) * f[0] - std::sin(a) * f[1]),
                                 c[1] + 0.0725 * std::cos(b) * (std::cos(a) * f[1] + std::sin(a) * f[0]),
                                 c[2] + 0.0725 * std::sin(b)};
            double pr = std::atan2(p[1], p[0]) * 200 / kPi;
            if (pr < 0) pr += 400;
            const double ph = std::hypot(p[0], p[1]);
            std::snprintf(zeile, sizeof zeile, "K%d %.4f %.3f %.4f 0.0725\r\n", kugel, pr, std::hypot(ph, p[2]),
                          std::atan2(ph, p[2]) * 200 / kPi);
            text += zeile;
        }
        geschrieben += m;
    }
    std::ofstream(datei, std::ios::binary) << text;
}

struct Messung {
    double sekunden = -1;
    double spitzeMB = 0;
    std::string ausgabe;
};

// Runs a program in a folder, its standard output to a file; wall time and peak memory (MB).
Messung Lauf(const std::vector<std::string>& args, const fs::path& ordner, const fs::path& ausgabe) {
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(ordner.c_str()) != 0) _exit(127);
        if (!std::freopen(ausgabe.c_str(), "w", stdout) || !std::freopen("/dev/null", "w", stderr)) _exit(127);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage nutzung{};
    wait4(pid, &status, 0, &nutzung);
    Messung m;
    m.sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.spitzeMB = static_cast<double>(nutzung.ru_maxrss) / 1024;
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) m.sekunden = -1;
    std::ifstream in(ausgabe);
    std::getline(in, m.ausgabe);
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "Aufruf: gross_bench ZENTRIX_CLI NUMPY_SKRIPT [ORDNER]\n");
        return 2;
    }
    const std::string cli = fs::absolute(argv[1]).string(), numpy = fs::absolute(argv[2]).string();
    const bool behalten = argc == 4;
    const fs::path ordner = behalten ? fs::absolute(argv[3]) : fs::temp_directory_path() / ("zentrix_gross_" + std::to_string(getpid()));
    fs::create_directories(ordner);
    std::printf("%-22s %9s %8s %9s %12s %9s %9s %10s %8s\n", "Befehl", "Zeilen", "Datei/MB", "Zeit/s", "Zeilen/s",
                "Spitze/MB", "xDatei", "numpy/s", "xnumpy");
    struct Fall {
        std::string befehl;
        int zeilen;
    };
    double zeit100k = 0, zeit300k = 0;
    for (const Fall& f : {Fall{"rechne-datei", 100000}, Fall{"rechne-datei", 300000}, Fall{"rechne-datei", 1000000},
                          Fall{"polarauswertung", 1000000}}) {
        const bool polar = f.befehl == "polarauswertung";
        const fs::path datei = ordner / (std::string(polar ? "beob" : "punkte") + std::to_string(f.zeilen) + ".dat");
        if (polar) Beobachtungsdatei(datei, f.zeilen);
        else Punktdatei(datei, f.zeilen);
        const double mb = static_cast<double>(fs::file_size(datei)) / (1 << 20);
        // The best of three runs of each, taken in turn: the machine's other work disturbs a single run.
        Messung z;
        double tn = NAN;
        for (int lauf = 0; lauf < 3; ++lauf) {
            const Messung m = Lauf({cli, f.befehl, datei.string()}, ordner, "/dev/null");
            if (lauf == 0 || m.sekunden < z.sekunden) z = m;
            z.spitzeMB = std::max(z.spitzeMB, m.spitzeMB);
            const Messung n = Lauf({"/usr/bin/python3", numpy, datei.string(), "1", "4"}, ordner, ordner / "numpy.txt");
            if (n.sekunden >= 0) tn = std::isnan(tn) ? std::atof(n.ausgabe.c_str()) : std::min(tn, std::atof(n.ausgabe.c_str()));
        }
        std::printf("%-22s %9d %8.1f %9.2f %12.0f %9.1f %9.2f %10.2f %8.2f\n", f.befehl.c_str(), f.zeilen, mb, z.sekunden,
                    f.zeilen / z.sekunden, z.spitzeMB, z.spitzeMB / mb, tn, z.sekunden / tn);
        if (!polar && f.zeilen == 100000) zeit100k = z.sekunden;
        if (!polar && f.zeilen == 300000) zeit300k = z.sekunden;
        if (!behalten) fs::remove(datei);
    }
    std::printf("\n300 000 Punkte brauchen das %.2f-fache von 100 000 (linear: 3).\n", zeit300k / zeit100k);
    if (!behalten) fs::remove_all(ordner);
    return 0;
}
