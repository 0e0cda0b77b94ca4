// SPDX-License-Identifier: GPL-3.0-or-later
// The sphere overview ("Kugeln"): every sphere of the last polar evaluation or of the last scan in a
// table beside the main window, sorted by any column, failures (and unsicher centres) of an
// evaluation alone on request, the rows shown saved as CSV. A double-click shows a sphere in the
// main window.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "polar/KugelTabelle.hpp"
#include "scan/Scan.hpp"
#include "window/Dialoge.hpp"

class QComboBox;
class QLabel;
class QTableView;

namespace zentrix {

// The rows of the overview: a list of spheres it shares with the window model (never changed once
// made), and the order and choice of the rows shown, kept as indices: 200 000 spheres sort and
// filter without copying a row.
class TKugelModell : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TKugelModell(QObject* parent = nullptr);
    void Zeige(std::shared_ptr<const TKugelListe> kugeln, bool iterativ);
    // Which rows are shown: all, the failures, or the failures and the unsicher ones.
    void Filter(TKugelFilter filter);
    // The rows shown, in their order (indices into the list).
    const std::vector<std::uint32_t>& Zeilen() const { return zeilen_; }
    // The sphere (index into the list) in row zeile of the table.
    std::size_t Kugel(int zeile) const { return zeilen_[static_cast<std::size_t>(zeile)]; }
    const TKugelListe& Kugeln() const { return *kugeln_; }
    bool Iterativ() const { return iterativ_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void Ordne();  // the rows anew from the list, the filter and the sort

    std::shared_ptr<const TKugelListe> kugeln_;
    bool iterativ_ = false;
    std::vector<TKugelSpalte> spalten_;
    std::vector<std::uint32_t> zeilen_;
    TKugelFilter filter_ = TKugelFilter::Alle;
    int sortSpalte_ = -1;  // file order
    Qt::SortOrder sortRichtung_ = Qt::AscendingOrder;
};

class TScanKugelModell;

class TQtKugelFenster : public QWidget {
    Q_OBJECT

public:
    TQtKugelFenster(IDialoge& dialoge, QWidget* parent = nullptr);
    void Zeige(std::shared_ptr<const TKugelListe> kugeln, bool iterativ);
    // The spheres of a scan instead (no filter: every one of them passed its checks).
    void ZeigeScan(std::shared_ptr<const TScanErgebnis> scan);
    bool ZeigtScan() const { return scan_; }
    // The width (pixels) that shows every column as its contents need.
    int Breite() const;
    TKugelModell& Modell() { return *modell_; }
    TScanKugelModell& ScanModell() { return *scanModell_; }
    // Asks for a file name and writes the rows shown, in the order shown, as CSV.
    void Speichern();

signals:
    // The user double-clicked this sphere (an index into the list shown).
    void KugelGewaehlt(std::size_t kugel);

private:
    void ZeigeStatus();

    IDialoge& dialoge_;
    TKugelModell* modell_ = nullptr;
    TScanKugelModell* scanModell_ = nullptr;
    bool scan_ = false;  // the table shows scanModell_
    QTableView* tabelle_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace zentrix
