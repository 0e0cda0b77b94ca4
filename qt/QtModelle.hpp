// SPDX-License-Identifier: GPL-3.0-or-later
// The window model's grid and report as Qt item models: the views draw the visible rows only, so
// a grid of a million points and a report of a million lines cost no widgets.
//
// While a command works on the window model on another thread, the models must not read it: they
// are frozen with the rows in view kept as text, and shown anew when the command has ended.
#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QBrush>
#include <QSize>
#include <QStringList>
#include <vector>

#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {

// The cells of StringGrid1: its row 0 as the header, rows 1.. as the table's rows 0..; column 0
// (the labels) fixed, the others editable.
class TGitterModell : public QAbstractTableModel {
    Q_OBJECT

public:
    TGitterModell(TForm1& form, QBrush fest, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The window model has changed: same size, the cells anew; else the whole table.
    void Neu();
    // Keeps the table rows [von, bis) as they stand and reads nothing more of the window model.
    void Einfrieren(int von, int bis);
    void Auftauen();

private:
    QString Text(int col, int row) const;  // the cell of the table's row, read or kept

    TForm1& form_;
    QBrush fest_;      // the fixed column's background
    int zeilen_ = 0;   // the counts the view knows
    int spalten_ = 0;
    bool gefroren_ = false;
    int von_ = 0;                    // the first row kept
    std::vector<QStringList> kopie_;  // the rows kept, then the header
    QStringList kopf_;
    int ausreisser_ = 0;
    bool ergebnis_ = false;  // the centre row and residuals hold a result (as when last shown anew)
};

// The lines of Memo1, one row each.
class TBerichtModell : public QAbstractListModel {
    Q_OBJECT

public:
    explicit TBerichtModell(const TForm1& form, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The size of a character and of a line in the view's font (pixels): every row is as wide as
    // the longest line.
    void Zeichenmass(int breite, int hoehe);
    // A row's height and width (pixels): every row is as wide as the longest line.
    int Zeilenhoehe() const { return zeile_; }
    int Breite() const;
    void Neu();
    void Einfrieren(int von, int bis);
    void Auftauen();

private:
    const TForm1& form_;
    int zeilen_ = 0;
    std::size_t laengste_ = 0;
    int zeichen_ = 6, zeile_ = 14;
    bool gefroren_ = false;
    int von_ = 0;
    QStringList kopie_;
};

}  // namespace zentrix
