// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtScanKugeln.hpp"

#include <QColor>
#include <algorithm>

#include "scan/ScanTabelle.hpp"

namespace zentrix {

TScanKugelModell::TScanKugelModell(QObject* parent)
    : QAbstractTableModel(parent), scan_(std::make_shared<TScanErgebnis>()) {}

void TScanKugelModell::Zeige(std::shared_ptr<const TScanErgebnis> scan) {
    beginResetModel();
    scan_ = std::move(scan);
    Ordne();
    endResetModel();
}

void TScanKugelModell::Ordne() {
    const std::vector<TScanKugel>& k = scan_->Kugeln;
    zeilen_.resize(k.size());
    for (std::uint32_t i = 0; i < zeilen_.size(); ++i) zeilen_[i] = i;
    if (sortSpalte_ < 0 || sortSpalte_ >= columnCount()) return;
    const TScanSpalte s = ScanSpalten()[static_cast<std::size_t>(sortSpalte_)];
    const bool ab = sortRichtung_ == Qt::DescendingOrder;
    std::stable_sort(zeilen_.begin(), zeilen_.end(), [&k, s, ab](std::uint32_t a, std::uint32_t b) {
        return ab ? ScanVor(k[b], k[a], s) : ScanVor(k[a], k[b], s);
    });
}

int TScanKugelModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(zeilen_.size());
}

int TScanKugelModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ScanSpalten().size());
}

QVariant TScanKugelModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const TScanKugel& k = scan_->Kugeln[Kugel(index.row())];
    const TScanSpalte s = ScanSpalten()[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return QString::fromStdString(ScanZelle(k, s));
        case Qt::TextAlignmentRole:
            // Names and the checks as text on the left, numbers on the right.
            return s == TScanSpalte::Name || s == TScanSpalte::Radius || s == TScanSpalte::Seite
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            // A free radius that does not fit the given one is worth a second look.
            if (k.Radius && k.Radius->Abweichend) return QColor(160, 90, 0);
            return {};
        default: return {};
    }
}

QVariant TScanKugelModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount()) return {};
    return QString::fromUtf8(ScanKopf(ScanSpalten()[static_cast<std::size_t>(section)]));
}

void TScanKugelModell::sort(int column, Qt::SortOrder order) {
    beginResetModel();
    sortSpalte_ = column;
    sortRichtung_ = order;
    Ordne();
    endResetModel();
}

}  // namespace zentrix
