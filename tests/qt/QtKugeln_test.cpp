// The sphere overview and the places beside messages and errors, in the real window offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

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
              QStringLiteral("5 Zeilen von 5 Kugeln, 1 fehlgeschlagen"));
    // Sorted by the pointings, most first; then the failures alone.
    tabelle->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("K4"));
    EXPECT_EQ(m->index(0, 3).data().toString(), QStringLiteral("8"));
    fenster->findChild<QCheckBox*>(QStringLiteral("NurFehlschlaege"))->setChecked(true);
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("F9"));
    fenster->findChild<QCheckBox*>(QStringLiteral("NurFehlschlaege"))->setChecked(false);

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
    const QModelIndexList gewaehlt = form.findChild<QListView*>(QStringLiteral("Memo1"))->selectionModel()->selectedRows();
    ASSERT_FALSE(gewaehlt.isEmpty());
    EXPECT_EQ(form.Model().Memo1[static_cast<std::size_t>(gewaehlt.front().row())], "Kugelzentrierung Punkt K3");
    for (const char* endung : {"dat", "TXT", "LST"}) QFile::remove(Datei("kugeln.") + QLatin1String(endung));
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
