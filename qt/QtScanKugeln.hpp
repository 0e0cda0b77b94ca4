// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of the sphere overview after a scan: every sphere found, sorted by any column; the
// rows kept as indices into the scan's list, which is never changed once made.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <vector>

#include "scan/Scan.hpp"

namespace zentrix {

class TScanKugelModell : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TScanKugelModell(QObject* parent = nullptr);
    void Zeige(std::shared_ptr<const TScanErgebnis> scan);
    // The rows shown, in their order (indices into the scan's spheres).
    const std::vector<std::uint32_t>& Zeilen() const { return zeilen_; }
    std::size_t Kugel(int zeile) const { return zeilen_[static_cast<std::size_t>(zeile)]; }
    const TScanErgebnis& Scan() const { return *scan_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void Ordne();

    std::shared_ptr<const TScanErgebnis> scan_;
    std::vector<std::uint32_t> zeilen_;
    int sortSpalte_ = -1;  // the scan's order (K1, K2, ...)
    Qt::SortOrder sortRichtung_ = Qt::AscendingOrder;
};

}  // namespace zentrix
