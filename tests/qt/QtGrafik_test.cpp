// The picture and the window's new ways in, offscreen: the points and the centre at their pixels,
// the SVG's marks and labels, the "Grafik" window, paste, drop, and message boxes that stop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "qt/QtDialoge.hpp"
#include "qt/QtForm1.hpp"
#include "qt/QtGrafik.hpp"
#include "qt/QtGrafikFenster.hpp"
#include "QtHilfen.hpp"

using namespace zentrix;

namespace {

QString Datei(const char* name) { return QDir::temp().filePath(QStringLiteral("zentrix_%1_%2").arg(QCoreApplication::applicationPid()).arg(name)); }

}  // namespace

TEST(QtGrafik, PointsAndCentreAtTheirPixelsInThePng) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    form.Model().Iterieren = true;  // the converged solver flags the fourth point
    AchtPunkte(form);
    const TGrafik g = GrafikAus(form.Model());
    ASSERT_TRUE(g.Erfolg);
    ASSERT_TRUE(g.Punkte[3].Ausreisser);
    const QString png = Datei("bild.png");
    ASSERT_EQ(SpeichereGrafik(g, png.toStdString()), "");
    const QImage bild(png);
    QFile::remove(png);
    ASSERT_EQ(bild.size(), QSize(GrafikBreite, GrafikHoehe));
    const TGrafikAnordnung a = Anordnung(g, QRectF(0, 0, GrafikBreite, GrafikHoehe));
    for (const TAnsicht ansicht : {TAnsicht::Grundriss, TAnsicht::Schnitt}) {
        for (const TGrafikPunkt& p : g.Punkte) {
            const QColor farbe = bild.pixelColor(a.Pixel(ansicht, Projektion(g, ansicht, p.P)).toPoint());
            // Blue for a point, red for the outlier.
            if (p.Ausreisser) EXPECT_GT(farbe.red(), 180) << p.Name;
            else EXPECT_GT(farbe.blue(), 150) << p.Name;
            EXPECT_LT(farbe.green(), 120) << p.Name;
        }
        const QColor mitte = bild.pixelColor(a.Pixel(ansicht, Projektion(g, ansicht, g.Zentrum)).toPoint());
        EXPECT_GT(mitte.red(), 150);  // the centre's red cross
        EXPECT_LT(mitte.blue(), 80);
    }
}

TEST(QtGrafik, TheSvgHoldsAMarkAndALabelForEveryPoint) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    AchtPunkte(form);
    const QString svg = Datei("bild.svg");
    ASSERT_EQ(SpeichereGrafik(GrafikAus(form.Model()), svg.toStdString()), "");
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    QFile::remove(svg);
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("<circle [^>]*r=\"4\""))), 16);  // plan and section
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(text.count(QStringLiteral(">P %1</text>").arg(i)), 2) << i;
    EXPECT_TRUE(text.contains(QStringLiteral("Grundriss")));
    EXPECT_TRUE(text.contains(QStringLiteral("-fach")));
    EXPECT_EQ(SpeichereGrafik(GrafikAus(form.Model()), Datei("bild.txt").toStdString()),
              "Die Grafik wird als .png oder .svg gespeichert.");
}

TEST(QtGrafik, TheWindowFollowsEveryComputationAndSaves) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    form.GrafikAktion()->trigger();
    ASSERT_NE(form.Grafik(), nullptr);
    EXPECT_TRUE(form.Grafik()->isVisible());
    EXPECT_EQ(form.Grafik()->windowTitle(), QString::fromUtf8("Grafik – Kugelmittelpunkt"));
    EXPECT_EQ(form.Grafik()->Grafik().Punkte.size(), 4u);  // the demonstration
    AchtPunkte(form);
    EXPECT_EQ(form.Grafik()->Grafik().Punkte.size(), 8u);
    const QString svg = Datei("fenster.svg");
    d.SaveAnswers = {svg.toStdString()};
    QTest::mouseClick(form.Grafik()->findChild<QPushButton*>(QStringLiteral("GrafikSpeichern")), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(svg));
    QFile::remove(svg);
    EXPECT_TRUE(d.Errors.empty());
}

TEST(QtGrafik, PasteFillsTheGridAndAddsRows) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);
    auto* grid = form.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 1));  // the first point's X
    QApplication::clipboard()->setText(QStringLiteral("10,5\t20,25\t5\n11 21 6\n12 22 7\n13 23 8\n14 24 9\n"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    const TStringGrid& g = form.Model().StringGrid1;
    EXPECT_EQ(g.RowCount(), 7);  // five points: rows 2 to 6
    EXPECT_EQ(g.Cells(1, 2), "10.5");
    EXPECT_EQ(g.Cells(2, 2), "20.25");
    EXPECT_EQ(g.Cells(3, 6), "9");
    EXPECT_EQ(grid->model()->rowCount(), 6);
    // Copy gives the cells back as TAB-separated lines.
    grid->selectionModel()->select(QItemSelection(grid->model()->index(1, 1), grid->model()->index(2, 2)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("10.5\t20.25\n11\t21\n"));
}

TEST(QtGrafik, ADroppedFileGoesIntoTheFileField) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    QMimeData daten;
    daten.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/messung.dat"))});
    QDragEnterEvent hinein(QPoint(100, 100), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &hinein);
    EXPECT_TRUE(hinein.isAccepted());
    QDropEvent fallen(QPointF(100, 100), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &fallen);
    EXPECT_EQ(form.Model().Edit2.Text, "/tmp/messung.dat");
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Edit2"))->text(), QStringLiteral("/tmp/messung.dat"));
}

// The real boxes: from the second on the check box; ticked, the rest of the run is only counted.
// A very long text is cut, the whole under "Details".
TEST(QtGrafik, MessageBoxesOfARunCanBeStopped) {
    TQtDialoge dialoge;
    dialoge.NeueAuswertung();
    std::vector<bool> mitKasten;
    QString text, details;
    auto antworte = [&](bool abhaken) {
        QTimer::singleShot(0, [&, abhaken] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            mitKasten.push_back(box->checkBox() != nullptr);
            if (box->checkBox()) {
                EXPECT_EQ(box->checkBox()->text(), QStringLiteral("Keine weiteren Meldungen dieser Auswertung"));
                box->checkBox()->setChecked(abhaken);
            }
            text = box->text();
            details = box->detailedText();
            box->accept();
        });
    };
    const std::string lang = "Fehler: " + std::string(400, '7') + " ist kein gültiger Real Wert.";
    antworte(false);
    dialoge.ShowMessage(lang);
    EXPECT_EQ(text.size(), KastenZeichen + 1);
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("…")));
    EXPECT_EQ(details, QString::fromStdString(lang));
    antworte(true);
    dialoge.ShowMessage("Kugelmittelnpunkt Fehler");
    EXPECT_EQ(text, QStringLiteral("Kugelmittelnpunkt Fehler"));
    dialoge.ShowMessage("Kugelmittelnpunkt Fehler");  // no box
    dialoge.ShowMessage("Kugelmittelnpunkt Fehler");
    EXPECT_EQ(mitKasten, (std::vector<bool>{false, true}));
    EXPECT_EQ(dialoge.Unterdrueckt(), 2);
    dialoge.NeueAuswertung();  // the next run shows its boxes again
    antworte(false);
    dialoge.ShowMessage("Kugelmittelnpunkt Fehler");
    EXPECT_EQ(mitKasten.size(), 3u);
    EXPECT_EQ(dialoge.Unterdrueckt(), 0);
}

// After a polar evaluation the status bar counts the spheres and the failed ones.
TEST(QtGrafik, APolarEvaluationIsCountedInTheStatusBar) {
    const QString datei = Datei("messung.dat");
    QFile::remove(datei);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTRIX_TEST_DATA "/beobachtungen/fehlerhafte_felder.dat"), datei));
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    Polarauswertung(form, datei);
    if (::testing::Test::HasFatalFailure()) return;
    // The summary, and with a failure the overview offered.
    const QString status = form.findChild<QLabel*>(QStringLiteral("StatusText"))->toolTip();
    EXPECT_TRUE(status.startsWith(QString::fromUtf8(
        "Polarauswertung: 3 Kugeln ausgewertet, 1 fehlgeschlagen – mit „Iterieren“ gelingen 0 davon")))
        << status.toStdString();
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("KugelnAngebot"))->isVisibleTo(&form));
    for (const char* endung : {"dat", "TXT", "LST"}) QFile::remove(Datei("messung.") + QLatin1String(endung));
}
