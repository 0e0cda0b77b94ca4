// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtModelle.hpp"

#include <algorithm>

#include "window/Zwischenablage.hpp"

namespace zentrix {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The residual cell of the point the outlier test marks.
const QColor AusreisserFarbe(255, 170, 170);

}  // namespace

// ---------------------------------------------------------------------------------------------
// Grid

TGitterModell::TGitterModell(TForm1& form, QBrush fest, QObject* parent)
    : QAbstractTableModel(parent), form_(form), fest_(std::move(fest)) {
    Neu();
}

int TGitterModell::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : zeilen_; }

int TGitterModell::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : spalten_; }

QString TGitterModell::Text(int col, int row) const {
    if (!gefroren_) {
        // What a failed computation left in the result cells is no result: shown empty.
        if (!form_.MittelpunktGueltig && ErgebnisZelle(col, row + 1)) return {};
        return Q(form_.StringGrid1.Cells(col, row + 1));
    }
    const auto k = static_cast<std::size_t>(row - von_);
    if (row < von_ || k >= kopie_.size()) return {};
    return kopie_[k].value(col);
}

QVariant TGitterModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= zeilen_ || index.column() >= spalten_) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return Text(index.column(), index.row());
        case Qt::ForegroundRole:
            // The centre row's label greyed while the row holds no result.
            if (index.column() == 0 && index.row() == 0 && !ergebnis_) return QColor(Qt::gray);
            return {};
        case Qt::ToolTipRole:
            if (index.row() == 0 && !ergebnis_) return QString::fromUtf8("Kein Mittelpunkt berechnet");
            return {};
        case Qt::BackgroundRole:
            if (index.column() == 0) return fest_;
            // Until the user's changes to the point have emptied its residual.
            if (index.column() == 4 && index.row() + 1 == ausreisser_ && !Text(4, index.row()).isEmpty())
                return QBrush(AusreisserFarbe);
            return {};
        case Qt::TextAlignmentRole:
            // Numbers right-aligned, the typed "71.643" like the program's "      71.643".
            if (index.column() >= 1 && index.column() <= 4) return (Qt::AlignRight | Qt::AlignVCenter).toInt();
            return {};
        default: return {};
    }
}

bool TGitterModell::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (gefroren_ || role != Qt::EditRole || !index.isValid() || index.column() == 0) return false;
    TStringGrid& g = form_.StringGrid1;
    if (index.row() + 1 >= g.RowCount() || index.column() >= g.ColCount()) return false;
    // An editor closed without a change keeps the full value behind the rounded text; a changed
    // coordinate empties the row's residual.
    if (AendereZelle(g, index.column(), index.row() + 1, value.toString().toStdString()))
        emit dataChanged(index, this->index(index.row(), spalten_ - 1));
    return true;
}

Qt::ItemFlags TGitterModell::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == 0) return Qt::ItemIsEnabled;  // the fixed column of labels
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant TGitterModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (gefroren_) return kopf_.value(section);
    if (section >= form_.StringGrid1.ColCount()) return {};
    return Q(form_.StringGrid1.Cells(section, 0));
}

void TGitterModell::Neu() {
    const TStringGrid& g = form_.StringGrid1;
    const int zeilen = g.RowCount() - 1, spalten = g.ColCount();
    ausreisser_ = form_.AusreisserZeile;
    ergebnis_ = form_.MittelpunktGueltig;
    if (zeilen != zeilen_ || spalten != spalten_) {
        beginResetModel();
        zeilen_ = zeilen;
        spalten_ = spalten;
        endResetModel();
        return;
    }
    if (zeilen_ > 0 && spalten_ > 0) emit dataChanged(index(0, 0), index(zeilen_ - 1, spalten_ - 1));
    emit headerDataChanged(Qt::Horizontal, 0, spalten_ - 1);
}

void TGitterModell::Einfrieren(int von, int bis) {
    von_ = std::max(0, von);
    bis = std::min(bis, zeilen_);
    kopie_.clear();
    for (int r = von_; r < bis; ++r) {
        QStringList zeile;
        for (int c = 0; c < spalten_; ++c) zeile << Text(c, r);
        kopie_.push_back(zeile);
    }
    kopf_.clear();
    for (int c = 0; c < spalten_; ++c) kopf_ << headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    gefroren_ = true;
}

void TGitterModell::Auftauen() {
    gefroren_ = false;
    kopie_.clear();
    kopf_.clear();
    Neu();
}

// ---------------------------------------------------------------------------------------------
// Report

TBerichtModell::TBerichtModell(const TForm1& form, QObject* parent) : QAbstractListModel(parent), form_(form) {
    Neu();
}

int TBerichtModell::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : zeilen_; }

QVariant TBerichtModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= zeilen_) return {};
    if (role == Qt::SizeHintRole) return QSize(Breite(), zeile_);
    if (role != Qt::DisplayRole) return {};
    if (!gefroren_) return Q(form_.Memo1[static_cast<std::size_t>(index.row())]);
    return kopie_.value(index.row() - von_);
}

int TBerichtModell::Breite() const { return static_cast<int>(std::min<std::size_t>(laengste_ + 2, 4000)) * zeichen_; }

void TBerichtModell::Zeichenmass(int breite, int hoehe) {
    zeichen_ = breite;
    zeile_ = hoehe;
}

void TBerichtModell::Neu() {
    beginResetModel();
    zeilen_ = static_cast<int>(form_.Memo1.size());
    laengste_ = form_.Memo1.LaengsteZeile();
    endResetModel();
}

void TBerichtModell::Einfrieren(int von, int bis) {
    von_ = std::max(0, von);
    bis = std::min(bis, zeilen_);
    kopie_.clear();
    for (int r = von_; r < bis; ++r) kopie_ << Q(form_.Memo1[static_cast<std::size_t>(r)]);
    gefroren_ = true;
}

void TBerichtModell::Auftauen() {
    gefroren_ = false;
    kopie_.clear();
    Neu();
}

}  // namespace zentrix
