// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtBerichtAnsicht.hpp"

#include <QHeaderView>
#include <algorithm>

namespace zentrix {

TBerichtAnsicht::TBerichtAnsicht(QWidget* parent) : QTableView(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(false);  // Tab goes on to the next control, as from a list
}

void TBerichtAnsicht::Masse(int zeile, int breite) {
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(zeile);
    breite_ = breite;
    Spaltenbreite();
}

void TBerichtAnsicht::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    Spaltenbreite();
}

QModelIndex TBerichtAnsicht::moveCursor(CursorAction aktion, Qt::KeyboardModifiers tasten) {
    if (aktion == MoveHome || aktion == MoveEnd) tasten |= Qt::ControlModifier;
    return QTableView::moveCursor(aktion, tasten);
}

void TBerichtAnsicht::Spaltenbreite() {
    // Selected lines are marked across the whole view, as in a list.
    if (model() != nullptr && model()->columnCount() > 0)
        horizontalHeader()->resizeSection(0, std::max(breite_, viewport()->width()));
}

}  // namespace zentrix
