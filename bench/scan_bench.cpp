// SPDX-License-Identifier: GPL-3.0-or-later
// The sphere search on simulated scans (bench/Szene.hpp) through the batch tool, as a user runs it.
//
// Accuracy: scenes of some four million points at 1 and 3 mm range noise, each written as a binary
// PLY of doubles and searched by "zentrix-cli scan --json". Every sphere of radius R with at least
// 50 points on it must be found (recall) and nothing else reported (false spheres: a found centre
// farther than R/2 from every sphere of radius R). The centre error's 95th percentile is set
// against the limit the data allow: the converged solver on the true points of each sphere of the
// same scan (no mixed pixel), times 1.1.
//
// Speed and memory: one hall of ten million points (and the same hall scanned coarser, three
// million) as binary PLY of floats, LAS and text; the wall time and the peak resident memory of
// the batch tool (the best of three runs, the machine's other work disturbs a single one), and
// numpy.loadtxt reading the text's three columns.
//
// Usage: scan_bench ZENTRIX_CLI NUMPY_SCRIPT [FOLDER]  (with FOLDER the files are kept there)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Szene.hpp"
#include "numerics/KugelIterativ.hpp"

namespace {

namespace fs = std::filesystem;
using zentrix::szene::TSzene;

struct TMessung {
    double sekunden = -1;
    double spitzeMB = 0;
};

// GNU time, where it is installed: it reports the peak memory of the program it starts alone. A
// child of this process would report at least this process's own (the scene of millions of
// points): the system keeps a process's peak through fork and exec.
const char* const Zeitmesser = "/usr/bin/time";

// Runs a program, its standard output to a file; wall time and peak memory (MB).
TMessung Lauf(const std::vector<std::string>& befehl, const fs::path& ausgabe) {
    std::fflush(stdout);
    const fs::path spitze = ausgabe.string() + ".spitze";
    std::vector<std::string> args = befehl;
    const bool gemessen = access(Zeitmesser, X_OK) == 0;
    if (gemessen) args.insert(args.begin(), {Zeitmesser, "-f", "%M", "-o", spitze.string()});
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
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
    TMessung m;
    m.sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.spitzeMB = static_cast<double>(nutzung.ru_maxrss) / 1024;
    if (gemessen) {
        // Its last line holds the peak (kilobytes); lines before it say how the program ended.
        std::ifstream in(spitze);
        for (std::string zeile; std::getline(in, zeile);)
            if (!zeile.empty() && zeile.find_first_not_of("0123456789") == std::string::npos) m.spitzeMB = std::stod(zeile) / 1024;
        fs::remove(spitze);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127 || WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 2)
        m.sekunden = -1;
    return m;
}

// The best of three runs (the largest peak memory of them).
TMessung Bester(const std::vector<std::string>& args, const fs::path& ausgabe) {
    TMessung best;
    for (int i = 0; i < 3; ++i) {
        const TMessung m = Lauf(args, ausgabe);
        if (i == 0 || (m.sekunden >= 0 && m.sekunden < best.sekunden)) best.sekunden = m.sekunden;
        best.spitzeMB = std::max(best.spitzeMB, m.spitzeMB);
    }
    return best;
}

double Abstand(const double* a, double x, double y, double z) { return std::hypot(a[0] - x, a[1] - y, a[2] - z); }

double P95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : v[static_cast<std::size_t>(0.95 * static_cast<double>(v.size() - 1) + 0.5)];
}

// What one noise level of the accuracy scenes gave.
struct TGenauigkeit {
    int soll = 0, gefunden = 0, falsch = 0;
    std::vector<double> fehler, grenze;  // metres
    double sekunden = 0, spitzeMB = 0, mbJePunkt = 0;
};

// The converged solver on the true points of a sphere: the centre error the data allow.
double Referenz(const TSzene& s, const zentrix::szene::TKugel& k) {
    zentrix::TPunktArray p(k.punkte.size() + 1);
    for (std::size_t j = 0; j < k.punkte.size(); ++j) {
        const zentrix::TWolkenpunkt& q = s.punkte[k.punkte[j]];
        p[static_cast<long long>(j) + 1].X = q.X;
        p[static_cast<long long>(j) + 1].Y = q.Y;
        p[static_cast<long long>(j) + 1].Z = q.Z;
    }
    const zentrix::TKugelLoesung L = zentrix::LoeseKugelIterativ(p, static_cast<int>(k.punkte.size()), false, k.r, true);
    if (L.Ergebnis != zentrix::KugelErgebnis::Ok) return NAN;
    return Abstand(k.c, L.Ausgleichung->Zentrum.X, L.Ausgleichung->Zentrum.Y, L.Ausgleichung->Zentrum.Z);
}

// Compares the spheres the batch tool found with the scene's.
void Vergleiche(const TSzene& s, double R, const nlohmann::json& j, TGenauigkeit& g) {
    for (const auto& k : j["kugeln"]) {
        const auto& m = k["mittelpunkt"];
        bool echt = false;
        for (const auto& w : s.kugeln)
            echt = echt || (std::fabs(w.r - R) < 1e-9 && Abstand(w.c, m["X"], m["Y"], m["Z"]) < R / 2);
        if (!echt) ++g.falsch;
    }
    for (const auto& w : s.kugeln) {
        if (std::fabs(w.r - R) > 1e-9 || w.punkte.size() < 50) continue;
        ++g.soll;
        for (const auto& k : j["kugeln"]) {
            const auto& m = k["mittelpunkt"];
            const double d = Abstand(w.c, m["X"], m["Y"], m["Z"]);
            if (d >= R / 2) continue;
            ++g.gefunden;
            g.fehler.push_back(d);
            g.grenze.push_back(Referenz(s, w));
        }
    }
}

TGenauigkeit Genauigkeit(const std::string& cli, const fs::path& ordner, double rauschen, int szenen) {
    TGenauigkeit g;
    for (int saat = 1; saat <= szenen; ++saat) {
        zentrix::szene::TParameter p;
        p.saat = static_cast<unsigned>(saat);
        p.rauschen = rauschen;
        const TSzene s = zentrix::szene::Simuliere(p);
        const fs::path datei = ordner / ("szene" + std::to_string(saat) + ".ply");
        zentrix::szene::SchreibePly(datei.string(), s, true);
        const fs::path json = ordner / "scan.json";
        char radius[32];
        std::snprintf(radius, sizeof radius, "%.4f", p.R);
        const TMessung m = Lauf({cli, "scan", datei.string(), "--radius", radius, "--json"}, json);
        g.sekunden += m.sekunden;
        g.spitzeMB = std::max(g.spitzeMB, m.spitzeMB);
        g.mbJePunkt = std::max(g.mbJePunkt, m.spitzeMB * 1e6 / static_cast<double>(s.punkte.size()));
        std::ifstream in(json);
        Vergleiche(s, p.R, nlohmann::json::parse(in), g);
        fs::remove(datei);
    }
    return g;
}

// One file of the speed part: its format, points and size, the batch tool's time and memory.
struct TTempo {
    std::string name;
    std::size_t punkte = 0;
    double dateiMB = 0;
    TMessung m;
    double numpy = NAN;
};

TTempo Tempo(const std::string& cli, const std::string& numpy, const fs::path& datei, const std::string& name,
             std::size_t punkte, const fs::path& ordner) {
    TTempo t{name, punkte, static_cast<double>(fs::file_size(datei)) / (1 << 20), {}, NAN};
    t.m = Bester({cli, "scan", datei.string(), "--radius", "0.0725"}, "/dev/null");
    if (name == "Text") {
        double best = NAN;
        for (int i = 0; i < 3; ++i) {
            if (Lauf({"/usr/bin/python3", numpy, datei.string(), "0", "2"}, ordner / "numpy.txt").sekunden < 0) continue;
            std::ifstream in(ordner / "numpy.txt");
            double s = NAN;
            in >> s;
            best = std::isnan(best) ? s : std::min(best, s);
        }
        t.numpy = best;
    }
    return t;
}

void DruckeGenauigkeit(double rauschen, const TGenauigkeit& g) {
    const double p95 = P95(g.fehler), grenze = 1.1 * P95(g.grenze);
    std::printf("%4.0f mm %8d/%-4d %7d %10.3f %10.3f %8s %9.1f %9.1f\n", rauschen * 1000, g.gefunden, g.soll, g.falsch,
                p95 * 1000, grenze * 1000, p95 <= grenze ? "ja" : "NEIN", g.sekunden, g.spitzeMB);
}

std::vector<TTempo> TempoTeil(const std::string& cli, const std::string& numpy, const fs::path& ordner) {
    std::vector<TTempo> tempo;
    for (const double schritt : {0.0003, 0.000548}) {
        zentrix::szene::TParameter p;
        p.azimut = 0.75;
        p.hoehe = 0.3;
        p.schritt = schritt;
        const TSzene s = zentrix::szene::Simuliere(p);
        const fs::path ply = ordner / "halle.ply", las = ordner / "halle.las", text = ordner / "halle.txt";
        zentrix::szene::SchreibePly(ply.string(), s, false);
        tempo.push_back(Tempo(cli, numpy, ply, "PLY binär", s.punkte.size(), ordner));
        fs::remove(ply);
        if (schritt > 0.0004) break;  // the coarser scan: for the time's growth only
        zentrix::szene::SchreibeLas(las.string(), s);
        tempo.push_back(Tempo(cli, numpy, las, "LAS", s.punkte.size(), ordner));
        fs::remove(las);
        zentrix::szene::SchreibeText(text.string(), s);
        tempo.push_back(Tempo(cli, numpy, text, "Text", s.punkte.size(), ordner));
        fs::remove(text);
    }
    return tempo;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "Aufruf: scan_bench ZENTRIX_CLI NUMPY_SKRIPT [ORDNER]\n");
        return 2;
    }
    const std::string cli = fs::absolute(argv[1]).string(), numpy = fs::absolute(argv[2]).string();
    const bool behalten = argc == 4;
    const fs::path ordner = behalten ? fs::absolute(argv[3]) : fs::temp_directory_path() / ("zentrix_scan_" + std::to_string(getpid()));
    fs::create_directories(ordner);
    std::printf("Genauigkeit (je 6 Szenen, 4.4 Mio. Punkte, binäres PLY):\n");
    std::printf("%7s %13s %7s %10s %10s %8s %9s %9s\n", "Rauschen", "gefunden", "falsch", "p95/mm", "Grenze/mm", "erfüllt",
                "Zeit/s", "Spitze/MB");
    for (const double rauschen : {0.001, 0.003}) DruckeGenauigkeit(rauschen, Genauigkeit(cli, ordner, rauschen, 6));
    std::printf("\nTempo und Speicher (Halle, 1 mm Rauschen, beste von drei Läufen):\n");
    std::printf("%-10s %11s %9s %8s %10s %11s %9s %9s\n", "Format", "Punkte", "Datei/MB", "Zeit/s", "Spitze/MB", "Grenze/MB",
                "numpy/s", "xnumpy");
    const std::vector<TTempo> tempo = TempoTeil(cli, numpy, ordner);
    for (const TTempo& t : tempo) {
        // 1.5 times the points' binary size, and for text the file's size on top.
        const double grenze = 1.5 * 24 * static_cast<double>(t.punkte) / (1 << 20) + (t.name == "Text" ? t.dateiMB : 0);
        std::printf("%-10s %11zu %9.1f %8.2f %10.1f %11.1f %9.2f %9.2f\n", t.name.c_str(), t.punkte, t.dateiMB, t.m.sekunden,
                    t.m.spitzeMB, grenze, t.numpy, t.m.sekunden / t.numpy);
    }
    if (tempo.size() == 4)
        std::printf("\n%zu Punkte brauchen das %.2f-fache von %zu (höchstens 4).\n", tempo[0].punkte,
                    tempo[0].m.sekunden / tempo[3].m.sekunden, tempo[3].punkte);
    if (!behalten) fs::remove_all(ordner);
    return 0;
}
