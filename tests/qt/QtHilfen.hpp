// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's tests share.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <cmath>
#include <string>

#include "qt/QtForm1.hpp"

namespace zentrix {

// Eight points on a sphere of 0.5 m around (10, 20, 5), the fourth 20 mm outside it, computed by
// "Rechne" in the window as the user would.
inline void AchtPunkte(TQtForm1& form) {
    TStringGrid& g = form.Model().StringGrid1;
    g.SetRowCount(10);
    const double hz[8] = {0.1, 0.9, 1.7, 2.5, 3.3, 4.1, 4.9, 5.7}, v[8] = {0.1, 0.5, 0.9, 0.3, 0.7, 1.1, 0.2, 0.6};
    for (int i = 0; i < 8; ++i) {
        const double r = i == 3 ? 0.52 : 0.5;
        g.Cells(1, i + 2) = std::to_string(10 + r * std::cos(v[i]) * std::cos(hz[i]));
        g.Cells(2, i + 2) = std::to_string(20 + r * std::cos(v[i]) * std::sin(hz[i]));
        g.Cells(3, i + 2) = std::to_string(5 + r * std::sin(v[i]));
    }
    form.Model().Edit1.Text = "0.5";
    form.Refresh();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
}

// "Polarauswertung" of the file datei, pressed in the window as the user would, waited for.
inline void Polarauswertung(TQtForm1& form, const QString& datei) {
    form.Model().Edit2.Text = datei.toStdString();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button4")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.Beschaeftigt(); }, 20000));
}

}  // namespace zentrix
