// SPDX-License-Identifier: GPL-3.0-or-later
// Large files through the batch tool: time, lines per second and peak memory, beside
// numpy.loadtxt reading the same files.
//
// Writes into a temporary folder a scanned reflector sphere of 100 000, 300 000 and 1 000 000
// points (coordinate file, data format 0, national-grid coordinates to four decimals as a scanner
// exports them) and a day's observation file of 1 000 000 lines (spheres of 3 to 8 pointings, a
// tie point now and then; directions and zenith distances to 0.1 mgon, distances to the
// millimetre). Runs "zentrix-cli polarauswertung" on the observation file (one-step, --iterativ,
// --json) and "zentrix-cli rechne-datei" on each coordinate file (and on the million points with
// --iterativ and --json) as the user would, the report to /dev/null and the JSON into a file,
// and measures the wall time and the peak resident memory of each process. Beside it numpy.loadtxt
// reads the same file's four numeric columns in a whole python3 process, interpreter start
// included. Each figure is the best of three runs, taken in turn with numpy's.
//
// The goals: the one-step polar evaluation within 0.9 of numpy's time, --iterativ within three
// times the one-step evaluation, rechne-datei within 0.8 of numpy's time; peak memory within 1.5
// times the input file, with --json within twice the input plus the JSON written.
//
// Beside the one-step polar evaluation, the floor its outputs set: the report, the listing and the
// marked file it wrote (together several times the input), written again as finished bytes, each
// in one call into a new file, the two files made durable and put in place, as the tool must at
// the least; best of three in this process, taken in turn with numpy.
//
// Usage: gross_bench ZENTRIX_CLI NUMPY_SCRIPT [FOLDER]  (with FOLDER the files are kept there)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

// A scanned sphere: radius 0.1 m around (802192.6, 585697.6, 71.4), in national-grid coordinates
// as a surveyor's files hold them, its upper part (10 to 80 degrees above
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
        std::snprintf(zeile, sizeof zeile, "%d %.4f %.4f %.4f 0.1\r\n", i, 802192.6 - r * std::cos(b) * std::cos(a),
                      585697.6 + r * std::cos(b) * std::sin(a), 71.4 + r * std::sin(b));
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
    return m;
}

// One command of the table: its arguments after zentrix-cli and the file it reads.
struct Fall {
    std::string befehl;
    std::vector<std::string> optionen;
    fs::path datei;
    int zeilen;
};

// The best of three runs of the command, and of numpy.loadtxt on its file (seconds); the peak is
// the largest of the three (MB); with --json the size of the JSON written (MB).
struct Ergebnis {
    Messung z;
    double numpy = NAN, jsonMB = 0;
};

Ergebnis Miss(const Fall& f, const std::string& cli, const std::string& numpy, const fs::path& ordner) {
    std::vector<std::string> args = {cli, f.befehl};
    args.insert(args.end(), f.optionen.begin(), f.optionen.end());
    args.push_back(f.datei.string());
    const bool json = std::find(f.optionen.begin(), f.optionen.end(), "--json") != f.optionen.end();
    const fs::path ausgabe = json ? ordner / "ausgabe.json" : fs::path("/dev/null");
    Ergebnis e;
    for (int lauf = 0; lauf < 3; ++lauf) {
        const Messung m = Lauf(args, ordner, ausgabe);
        if (lauf == 0 || m.sekunden < e.z.sekunden) e.z = m;
        e.z.spitzeMB = std::max(e.z.spitzeMB, m.spitzeMB);
        const Messung n = Lauf({"/usr/bin/python3", numpy, f.datei.string(), "1", "4"}, ordner, ordner / "numpy.txt");
        if (n.sekunden >= 0) e.numpy = std::isnan(e.numpy) ? n.sekunden : std::min(e.numpy, n.sekunden);
    }
    if (json) {
        e.jsonMB = static_cast<double>(fs::file_size(ausgabe)) / (1 << 20);
        fs::remove(ausgabe);
    }
    return e;
}

// The files' bytes, each written anew in one call, the two listed last made durable (fdatasync)
// and put in place, as the polar evaluation's outputs are; the seconds taken, -1 on a failure.
double NurSchreiben(const std::vector<fs::path>& dateien) {
    std::vector<std::string> inhalte;
    for (const fs::path& d : dateien) {
        std::ifstream ein(d, std::ios::binary);
        inhalte.emplace_back(std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>());
    }
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < dateien.size(); ++i) {
        const fs::path neu = dateien[i].string() + ".neu";
        const int fd = ::open(neu.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return -1;
        bool ok = true;
        for (std::size_t a = 0; ok && a < inhalte[i].size();) {
            const ssize_t n = ::write(fd, inhalte[i].data() + a, inhalte[i].size() - a);
            ok = n > 0;
            a += ok ? static_cast<std::size_t>(n) : 0;
        }
        ok = ok && (i == 0 || ::fdatasync(fd) == 0);
        ok = ::close(fd) == 0 && ok;
        std::error_code f;
        fs::rename(neu, dateien[i], f);
        if (!ok || f) return -1;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    const fs::path beob = ordner / "beob1000000.dat";
    Beobachtungsdatei(beob, 1000000);
    for (int n : {100000, 300000, 1000000}) Punktdatei(ordner / ("punkte" + std::to_string(n) + ".dat"), n);
    const auto punkte = [&ordner](int n) { return ordner / ("punkte" + std::to_string(n) + ".dat"); };
    const std::vector<Fall> faelle = {
        {"polarauswertung", {}, beob, 1000000},          {"polarauswertung", {"--iterativ"}, beob, 1000000},
        {"polarauswertung", {"--json"}, beob, 1000000},  {"rechne-datei", {}, punkte(100000), 100000},
        {"rechne-datei", {}, punkte(300000), 300000},    {"rechne-datei", {}, punkte(1000000), 1000000},
        {"rechne-datei", {"--iterativ"}, punkte(1000000), 1000000},
        {"rechne-datei", {"--json"}, punkte(1000000), 1000000}};
    // xnumpy: the time against numpy's; xDatei: the peak against the input file; Grenze: the
    // memory allowed (1.5 times the file, with --json twice the file plus the JSON written).
    std::printf("%-28s %8s %8s %7s %8s %7s %9s %7s %9s\n", "Befehl", "Zeilen", "Datei/MB", "Zeit/s", "numpy/s", "xnumpy",
                "Spitze/MB", "xDatei", "Grenze/MB");
    std::vector<Ergebnis> ergebnisse;
    for (const Fall& f : faelle) {
        const Ergebnis e = Miss(f, cli, numpy, ordner);
        ergebnisse.push_back(e);
        const double mb = static_cast<double>(fs::file_size(f.datei)) / (1 << 20);
        const double grenze = e.jsonMB > 0 ? 2 * mb + e.jsonMB : 1.5 * mb;
        std::string name = f.befehl;
        for (const std::string& o : f.optionen) name += " " + o;
        std::printf("%-28s %8d %8.1f %7.2f %8.2f %7.2f %9.1f %7.2f %9.1f%s\n", name.c_str(), f.zeilen, mb, e.z.sekunden,
                    e.numpy, e.z.sekunden / e.numpy, e.z.spitzeMB, e.z.spitzeMB / mb, grenze,
                    e.z.spitzeMB <= grenze ? "" : "  (über der Grenze)");
    }
    // The polar evaluation's outputs once more, its report into a file this time.
    Lauf({cli, "polarauswertung", beob.string()}, ordner, ordner / "bericht.txt");
    const std::vector<fs::path> ausgaben = {ordner / "bericht.txt", ordner / "beob1000000.LST", ordner / "beob1000000.TXT"};
    double schreiben = -1, numpyDabei = NAN, ausgabenMB = 0;
    for (const fs::path& d : ausgaben) ausgabenMB += static_cast<double>(fs::file_size(d)) / (1 << 20);
    for (int lauf = 0; lauf < 3; ++lauf) {
        const double s = NurSchreiben(ausgaben);
        if (s >= 0 && (schreiben < 0 || s < schreiben)) schreiben = s;
        const Messung n = Lauf({"/usr/bin/python3", numpy, beob.string(), "1", "4"}, ordner, ordner / "numpy.txt");
        if (n.sekunden >= 0) numpyDabei = std::isnan(numpyDabei) ? n.sekunden : std::min(numpyDabei, n.sekunden);
    }
    std::printf("\nDie Ausgaben der polarauswertung (Bericht, LST, TXT: %.0f MB) nur schreiben: %.2f s = %.2f x numpy "
                "(%.2f s).\n",
                ausgabenMB, schreiben, schreiben / numpyDabei, numpyDabei);
    std::printf("\nZiele: polarauswertung %.2f x numpy (höchstens 0.9), --iterativ %.2f x einstufig (höchstens 3), "
                "rechne-datei %.2f x numpy (höchstens 0.8).\n",
                ergebnisse[0].z.sekunden / ergebnisse[0].numpy, ergebnisse[1].z.sekunden / ergebnisse[0].z.sekunden,
                ergebnisse[5].z.sekunden / ergebnisse[5].numpy);
    std::printf("300 000 Punkte brauchen das %.2f-fache von 100 000 (linear: 3).\n",
                ergebnisse[4].z.sekunden / ergebnisse[3].z.sekunden);
    if (!behalten) fs::remove_all(ordner);
    return 0;
}
