// SPDX-License-Identifier: GPL-3.0-or-later
// "Scan auswerten" in the real window offscreen: F9's button, the station field, the overview of
// the scan's spheres and a double-click that shows one.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "qt/QtForm1.hpp"
#include "qt/QtKugeln.hpp"

using namespace zentrix;

TEST(QtScan, F9FindsTheSpheresShowsThemAndADoubleClickShowsOne) {
    TRecordingDialoge d;
    d.FileAnswers = {std::string(ZENTRIX_TEST_DATA "/../scan/daten/kugel_vor_rohr.txt")};
    TQtForm1 form(d, ".");
    form.show();
    auto* standpunkt = form.findChild<QLineEdit*>(QStringLiteral("Standpunkt"));
    ASSERT_NE(standpunkt, nullptr);
    EXPECT_EQ(standpunkt->text(), QStringLiteral("0 0 0"));
    auto* abbrechen = form.findChild<QPushButton*>(QStringLiteral("Abbrechen"));
    ASSERT_NE(abbrechen, nullptr);
    EXPECT_TRUE(abbrechen->isHidden());
    form.Model().Edit1.Text = "0.1";
    form.Refresh();

    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button5")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
    EXPECT_EQ(d.OpenFileCalls, 1);
    EXPECT_TRUE(abbrechen->isHidden());
    // The overview opens by itself with the scan's spheres.
    TQtKugelFenster* fenster = form.Kugeln();
    ASSERT_NE(fenster, nullptr);
    EXPECT_TRUE(fenster->isVisible());
    EXPECT_TRUE(fenster->ZeigtScan());
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Kugeln des Scans"));
    auto* tabelle = fenster->findChild<QTableView*>(QStringLiteral("Kugeltabelle"));
    ASSERT_EQ(tabelle->model()->rowCount(), 1);
    EXPECT_EQ(tabelle->model()->index(0, 0).data().toString(), QStringLiteral("K1"));
    EXPECT_EQ(fenster->findChild<QLabel*>(QStringLiteral("KugelStatus"))->text(),
              QStringLiteral("1 Kugel mit Radius 0.1 m in 3 500 Punkten, 0 Kandidaten verworfen"));

    emit tabelle->doubleClicked(tabelle->model()->index(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
    EXPECT_EQ(form.Model().StringGrid1.Cells(0, 1), "K1");
    EXPECT_EQ(form.Model().StringGrid1.RowCount(), form.Model().Scan->Kugeln[0].Punkte + 2);
}
