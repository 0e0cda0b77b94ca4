// SPDX-License-Identifier: GPL-3.0-or-later
// The report's view: one row a line of the report, in a single column as wide as the longest line
// (and the view at least), without headers or grid lines, in the window's fixed-width font.
//
// A table keeps the heights of its rows in its header, which for rows of one fixed height is a
// single number: a day's report of two million lines is shown at once. A list view would lay out
// every line first (a position each), a tenth of a second on every new report.
#pragma once

#include <QTableView>

namespace zentrix {

class TBerichtAnsicht : public QTableView {
public:
    explicit TBerichtAnsicht(QWidget* parent = nullptr);

    // The height of a line and the width of the longest (pixels).
    void Masse(int zeile, int breite);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Pos1 and Ende go to the report's first and last line, as in a list.
    QModelIndex moveCursor(CursorAction aktion, Qt::KeyboardModifiers tasten) override;

private:
    void Spaltenbreite();
    int breite_ = 0;
};

}  // namespace zentrix
