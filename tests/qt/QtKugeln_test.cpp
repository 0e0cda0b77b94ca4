// SPDX-License-Identifier: GPL-3.0-or-later
// The sphere overview and the places beside messages and errors, in the real window offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "QtHilfen.hpp"
#include "qt/QtDialoge.hpp"
#include "qt/QtForm1.hpp"
#include "qt/QtKugeln.hpp"
#include "window/Grafik.hpp"

using namespace zentrix;

namespace {

QString Datei(const char* name) { return QDir::temp().filePath(QString::fromLatin1(name)); }

// The text and the secondary text of the next modal box, which is then closed.
std::pair<QString, QString> NaechsterKasten(const std::function<void()>& zeige) {
    std::pair<QString, QString> gesehen;
    QTimer::singleShot(0, [&gesehen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            gesehen = {box->text(), box->informativeText()};
            box->accept();
        }
    });
    zeige();
    return gesehen;
}

}  // namespace

TEST(QtKugeln, TheOverviewFillsSortsFiltersAndShowsASphere) {
    // Four spheres of 3, 4, 5 and 8 pointings; one more whose last pointing has no radius fails.
    const QString datei = Datei("kugeln.dat");
    QFile::remove(datei);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTRIX_TEST_DATA "/beobachtungen/vier_kugeln.dat"), datei));
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("F9 10 10 100 0.05\nF9 11 10 100 0.05\nF9 12 10 100\n");
    }
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    Polarauswertung(form, datei);
    if (::testing::Test::HasFatalFailure()) return;

    form.KugelnAktion()->trigger();
    TQtKugelFenster* fenster = form.Kugeln();
    ASSERT_NE(fenster, nullptr);
    auto* tabelle = fenster->findChild<QTableView*>(QStringLiteral("Kugeltabelle"));
    QAbstractItemModel* m = tabelle->model();
    ASSERT_EQ(m->rowCount(), 5);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("K1"));
    EXPECT_EQ(m->index(4, 4).data().toString(), QString::fromUtf8("Zeile 27, Feld 5: „“ ist keine Zahl"));
    EXPECT_EQ(fenster->findChild<QLabel*>(QStringLiteral("KugelStatus"))->text(),
              QStringLiteral("5 Zeilen von 5 Kugeln, 1 fehlgeschlagen, 0 unsicher"));
    // Sorted by the pointings, most first; then the failures alone.
    tabelle->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("K4"));
    EXPECT_EQ(m->index(0, 3).data().toString(), QStringLiteral("8"));
    auto* filter = fenster->findChild<QComboBox*>(QStringLiteral("Filter"));
    filter->setCurrentIndex(filter->findText(QString::fromUtf8("nur Fehlschläge")));
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("F9"));
    filter->setCurrentIndex(0);

    // A double-click on K3 (five pointings, lines 10 to 14) shows it in the grid, the picture and
    // the report.
    tabelle->sortByColumn(0, Qt::AscendingOrder);
    const QModelIndex k3 = m->index(3, 0);  // F9 first
    ASSERT_EQ(k3.data().toString(), QStringLiteral("K3"));
    emit tabelle->doubleClicked(k3);
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
    const TStringGrid& g = form.Model().StringGrid1;
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.Cells(0, 1), "K3");
    EXPECT_EQ(GrafikAus(form.Model()).Name, "K3");
    const QModelIndexList gewaehlt = form.findChild<QTableView*>(QStringLiteral("Memo1"))->selectionModel()->selectedRows();
    ASSERT_FALSE(gewaehlt.isEmpty());
    EXPECT_EQ(form.Model().Memo1[static_cast<std::size_t>(gewaehlt.front().row())], "Kugelzentrierung Punkt K3");
    // Its radius stands in "Reflektorhöhe": "Rechne" computes what the evaluation computed.
    EXPECT_EQ(form.Model().Edit1.Text, "0.0725");

    // F9 failed with the one-step method and wrote no report line: none chosen, the status line says so.
    emit tabelle->doubleClicked(m->index(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
    EXPECT_TRUE(form.findChild<QTableView*>(QStringLiteral("Memo1"))->selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("StatusText"))->toolTip().endsWith(
        QString::fromUtf8("(keine Zeilen im Protokoll)")));
    for (const char* endung : {"dat", "TXT", "LST"}) QFile::remove(Datei("kugeln.") + QLatin1String(endung));
}

// Computed centres the data do not support (m0 above a tenth of the radius) are "unsicher": their
// own word and colour, a filter with the failures, and "Speichern …" writes the rows shown as shown.
TEST(QtKugeln, UnsicherSpheresAreMarkedFilteredAndSavedAsShown) {
    const QString datei = Datei("unsicher.dat"), csv = Datei("unsicher.csv");
    QFile::remove(csv);
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const char* zeigungen[] = {"268.99111 41.2874 96.66902", "268.95828 41.2849 96.56929",
                                   "268.94725 41.2624 96.62077", "268.91205 41.2862 96.54902",
                                   "268.88818 41.2558 96.65036"};
        // K2 with its radius, R6 and R7 with radii of 1 and 3 cm on the same pointings.
        for (const auto& [name, n, radius] : {std::tuple{"K2", 4, "0.0725"}, {"R6", 4, "0.01"}, {"R7", 5, "0.03"}})
            for (int i = 0; i < n; ++i) f.write(QStringLiteral("%1 %2 %3\n").arg(name, zeigungen[i], radius).toUtf8());
    }
    TRecordingDialoge d;
    d.SaveAnswers = {csv.toStdString()};
    TQtForm1 form(d, ".");
    form.show();
    form.Iterieren()->setChecked(true);
    Polarauswertung(form, datei);
    if (::testing::Test::HasFatalFailure()) return;
    form.KugelnAktion()->trigger();
    TQtKugelFenster* fenster = form.Kugeln();
    QAbstractItemModel* m = fenster->findChild<QTableView*>(QStringLiteral("Kugeltabelle"))->model();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->index(1, 4).data().toString(), QStringLiteral("unsicher"));
    EXPECT_NE(m->index(1, 0).data(Qt::ForegroundRole), m->index(0, 0).data(Qt::ForegroundRole));
    EXPECT_TRUE(fenster->findChild<QLabel*>(QStringLiteral("KugelStatus"))->text().contains(QStringLiteral(", 2 unsicher")));
    auto* filter = fenster->findChild<QComboBox*>(QStringLiteral("Filter"));
    filter->setCurrentIndex(filter->findText(QString::fromUtf8("Fehlschläge und unsichere")));
    m->sort(0, Qt::DescendingOrder);
    ASSERT_EQ(m->rowCount(), 2);
    fenster->Speichern();
    QFile gespeichert(csv);
    ASSERT_TRUE(gespeichert.open(QIODevice::ReadOnly));
    const QStringList zeilen = QString::fromUtf8(gespeichert.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 3);  // the header and the two rows shown
    EXPECT_TRUE(zeilen[1].startsWith(QStringLiteral("R7;"))) << zeilen[1].toStdString();
    EXPECT_TRUE(zeilen[2].startsWith(QStringLiteral("R6;"))) << zeilen[2].toStdString();
    for (const char* endung : {"dat", "TXT", "LST", "csv"}) QFile::remove(Datei("unsicher.") + QLatin1String(endung));
}

TEST(QtKugeln, BoxesCarryThePlaceBesideTheirText) {
    TQtDialoge dialoge;
    TOrt kugel;
    kugel.Kugel = "F50";
    kugel.Zeile = 120;
    kugel.ZeileBis = 124;
    kugel.Grund = "die drei Punkte liegen auf einer Geraden";
    const auto meldung = NaechsterKasten([&] { dialoge.ShowMessage("Kugelmittelnpunkt Fehler", kugel); });
    EXPECT_EQ(meldung.first, QStringLiteral("Kugelmittelnpunkt Fehler"));
    EXPECT_EQ(meldung.second, QString::fromUtf8("Kugel F50, Zeilen 120–124: die drei Punkte liegen auf einer Geraden"));
    TOrt datei;
    datei.Datei = "/daten/k.kor";
    datei.Zeile = 5;
    datei.Feld = 3;
    datei.Text = "1,5";
    const auto fehler = NaechsterKasten([&] { dialoge.ShowError("Ungültige numerische Eingabe.", datei); });
    EXPECT_EQ(fehler.first, QStringLiteral("Ungültige numerische Eingabe."));
    EXPECT_EQ(fehler.second, QString::fromUtf8("Datei /daten/k.kor, Zeile 5, Feld 3: „1,5“"));
}
