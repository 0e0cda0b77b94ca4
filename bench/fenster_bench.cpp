// SPDX-License-Identifier: GPL-3.0-or-later
// The window with large files, offscreen, best of three runs each:
// - "Rechne Datei" on a scanned sphere of 100 000 points from the click until the grid and the
//   report show the result, beside the same command in the window model alone;
// - with ZENTRIX_CLI and an observation file: "Polarauswertung" from the click until the grid,
//   the report and the sphere overview ("Kugeln", every row) are shown, beside the batch tool's
//   "zentrix-cli polarauswertung" on the same file as a whole process (report to /dev/null).
//
// Usage: fenster_bench [FOLDER [ZENTRIX_CLI OBSERVATION_FILE]]  (the point file is written into
// FOLDER, else into the temporary folder)

#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QAction>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "qt/QtForm1.hpp"
#include "qt/QtKugeln.hpp"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The upper part of a sphere of 0.1 m around (1000, 2000, 300), 0.3 mm noise, four decimals.
std::string Punktdatei(const QString& ordner, int punkte) {
    const std::string pfad = QDir(ordner).filePath(QStringLiteral("fenster%1.dat").arg(punkte)).toStdString();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> rausch(0, 0.0003);
    std::ofstream f(pfad, std::ios::binary);
    char zeile[128];
    for (int i = 1; i <= punkte; ++i) {
        const double a = 2 * kPi * u(rng), b = (10 + 70 * u(rng)) * kPi / 180, r = 0.1 + rausch(rng);
        std::snprintf(zeile, sizeof zeile, "%d %.4f %.4f %.4f 0.1\r\n", i, 1000 - r * std::cos(b) * std::cos(a),
                      2000 + r * std::cos(b) * std::sin(a), 300 + r * std::sin(b));
        f << zeile;
    }
    return pfad;
}

double Sekunden(std::chrono::steady_clock::time_point seit) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - seit).count();
}

// "Polarauswertung" of datei in the window until its grid, report and overview are drawn
// (seconds), and the batch tool on the same file (seconds); the best of three runs each.
bool Polar(const QString& cli, const std::string& datei, double& fenster, double& stapel) {
    fenster = stapel = 1e9;
    for (int lauf = 0; lauf < 3; ++lauf) {
        zentrix::TRecordingDialoge dialoge;
        zentrix::TQtForm1 form(dialoge, ".");
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) return false;
        form.Model().Edit2.Text = datei;
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button4")), Qt::LeftButton);
        if (!QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 600000)) return false;
        form.findChild<QTableView*>(QStringLiteral("StringGrid1"))->viewport()->repaint();
        form.findChild<QTableView*>(QStringLiteral("Memo1"))->viewport()->repaint();
        form.KugelnAktion()->trigger();
        auto* tabelle = form.Kugeln()->findChild<QTableView*>(QStringLiteral("Kugeltabelle"));
        tabelle->viewport()->repaint();
        fenster = std::min(fenster, Sekunden(start));
        if (tabelle->model()->rowCount() == 0) return false;

        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        const auto start2 = std::chrono::steady_clock::now();
        p.start(cli, {QStringLiteral("polarauswertung"), QString::fromStdString(datei)});
        if (!p.waitForFinished(600000)) return false;
        stapel = std::min(stapel, Sekunden(start2));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window's settings of its own, with the one-step method: a user's "Iterieren" kept from
    // working with the window would otherwise turn the comparison into one with the converged
    // solver.
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Zentrix"), QStringLiteral("Zentrix")).remove(QStringLiteral("Iterieren"));
    zentrix::SetupApplication();
    const QString ordner = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const int punkte = 100000;
    const std::string datei = Punktdatei(ordner, punkte);

    double fenster = 1e9, modell = 1e9;
    for (int lauf = 0; lauf < 3; ++lauf) {
        zentrix::TRecordingDialoge dialoge;
        zentrix::TQtForm1 form(dialoge, ".");
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) return 1;
        form.Model().Edit2.Text = datei;
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button3")), Qt::LeftButton);
        if (!QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 60000)) return 1;
        // The view draws what it shows: the grid's and the report's visible rows.
        form.findChild<QTableView*>(QStringLiteral("StringGrid1"))->viewport()->repaint();
        form.findChild<QTableView*>(QStringLiteral("Memo1"))->viewport()->repaint();
        fenster = std::min(fenster, Sekunden(start));
        if (form.findChild<QTableView*>(QStringLiteral("StringGrid1"))->model()->rowCount() != punkte + 1) return 1;

        zentrix::TRecordingDialoge d;
        zentrix::TForm1 model(d, ".");
        model.Dispatch(&zentrix::TForm1::Startrechnung);
        model.Edit2.Text = datei;
        const auto start2 = std::chrono::steady_clock::now();
        model.Dispatch(&zentrix::TForm1::RechneDatei);
        modell = std::min(modell, Sekunden(start2));
    }
    std::printf("Rechne Datei, %d Punkte: Fenster %.3f s (bis Gitter und Bericht gezeigt), Modell allein %.3f s\n",
                punkte, fenster, modell);
    if (argc <= 1) std::remove(datei.c_str());
    if (argc > 3) {
        double fenster = 0, stapel = 0;
        if (!Polar(QString::fromLocal8Bit(argv[2]), argv[3], fenster, stapel)) return 1;
        std::printf("Polarauswertung, eine Million Zeilen: Fenster %.2f s (bis Gitter, Bericht und Kugeln gezeigt), "
                    "zentrix-cli %.2f s, Fenster das %.2f-fache (Ziel: höchstens 1.10)\n",
                    fenster, stapel, fenster / stapel);
    }
    return 0;
}
