// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtKugeln.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "qt/QtScanKugeln.hpp"
#include "scan/ScanTabelle.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IstZahlenspalte(TKugelSpalte s) {
    // Text columns are left-aligned, numbers right-aligned.
    return s != TKugelSpalte::Name && s != TKugelSpalte::Ergebnis && s != TKugelSpalte::Radius;
}

}  // namespace

TKugelModell::TKugelModell(QObject* parent)
    : QAbstractTableModel(parent), kugeln_(std::make_shared<TKugelListe>()) {}

void TKugelModell::Zeige(std::shared_ptr<const TKugelListe> kugeln, bool iterativ) {
    beginResetModel();
    kugeln_ = std::move(kugeln);
    iterativ_ = iterativ;
    spalten_ = KugelSpalten(iterativ);
    Ordne();
    endResetModel();
}

void TKugelModell::Filter(TKugelFilter filter) {
    beginResetModel();
    filter_ = filter;
    Ordne();
    endResetModel();
}

void TKugelModell::Ordne() {
    const TKugelListe& k = *kugeln_;
    zeilen_.clear();
    for (std::uint32_t i = 0; i < k.size(); ++i)
        if (KugelGezeigt(k[i], filter_)) zeilen_.push_back(i);
    if (sortSpalte_ < 0 || sortSpalte_ >= static_cast<int>(spalten_.size())) return;
    const TKugelSpalte s = spalten_[static_cast<std::size_t>(sortSpalte_)];
    // Rows without a value last either way; the others stable (rows that sort alike stay in file
    // order), descending with the values turned round.
    const auto mitWert = std::stable_partition(zeilen_.begin(), zeilen_.end(),
                                               [&k, s](std::uint32_t i) { return KugelHatWert(k[i], s); });
    const bool ab = sortRichtung_ == Qt::DescendingOrder;
    std::stable_sort(zeilen_.begin(), mitWert, [&k, s, ab](std::uint32_t a, std::uint32_t b) {
        return ab ? KugelVor(k[b], k[a], s) : KugelVor(k[a], k[b], s);
    });
}

int TKugelModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(zeilen_.size());
}

int TKugelModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(spalten_.size());
}

QVariant TKugelModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const TKugelEintrag& e = (*kugeln_)[Kugel(index.row())];
    const TKugelSpalte s = spalten_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return Q(KugelZelle(e, s));
        case Qt::TextAlignmentRole:
            return IstZahlenspalte(s) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (Fehlgeschlagen(e)) return QColor(170, 0, 0);
            if (e.Unsicher) return QColor(120, 40, 170);  // computed, but the data do not support it
            if (e.Ausreisser > 0 || (e.Radius && e.Radius->Abweichend)) return QColor(160, 90, 0);
            return {};
        default: return {};
    }
}

QVariant TKugelModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount()) return {};
    return QString::fromUtf8(KugelKopf(spalten_[static_cast<std::size_t>(section)]));
}

void TKugelModell::sort(int column, Qt::SortOrder order) {
    beginResetModel();
    sortSpalte_ = column;
    sortRichtung_ = order;
    Ordne();
    endResetModel();
}

TQtKugelFenster::TQtKugelFenster(IDialoge& dialoge, QWidget* parent) : QWidget(parent, Qt::Window), dialoge_(dialoge) {
    setObjectName(QStringLiteral("Kugeln"));
    setWindowTitle(QStringLiteral("Kugeln der Polarauswertung"));
    modell_ = new TKugelModell(this);
    scanModell_ = new TScanKugelModell(this);
    tabelle_ = new QTableView(this);
    tabelle_->setObjectName(QStringLiteral("Kugeltabelle"));
    tabelle_->setModel(modell_);
    tabelle_->setSortingEnabled(true);
    tabelle_->horizontalHeader()->setSortIndicatorShown(true);
    tabelle_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabelle_->setWordWrap(false);
    tabelle_->setTextElideMode(Qt::ElideRight);
    tabelle_->verticalHeader()->setVisible(false);
    // Every row as high as the first: 200 000 rows are not measured one by one.
    tabelle_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabelle_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(tabelle_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { emit KugelGewaehlt(scan_ ? scanModell_->Kugel(i.row()) : modell_->Kugel(i.row())); });

    filter_ = new QComboBox(this);
    filter_->setObjectName(QStringLiteral("Filter"));
    filter_->addItem(QStringLiteral("Alle Kugeln"), static_cast<int>(TKugelFilter::Alle));
    filter_->addItem(QStringLiteral("nur Fehlschläge"), static_cast<int>(TKugelFilter::Fehlschlaege));
    filter_->addItem(QStringLiteral("Fehlschläge und unsichere"), static_cast<int>(TKugelFilter::FehlschlaegeUndUnsichere));
    connect(filter_, &QComboBox::currentIndexChanged, this, [this](int i) {
        modell_->Filter(static_cast<TKugelFilter>(filter_->itemData(i).toInt()));
        ZeigeStatus();
    });
    auto* speichern = new QPushButton(QStringLiteral("Speichern …"), this);
    speichern->setObjectName(QStringLiteral("KugelnSpeichern"));
    connect(speichern, &QPushButton::clicked, this, [this] { Speichern(); });
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("KugelStatus"));

    auto* oben = new QHBoxLayout;
    oben->addWidget(filter_);
    oben->addStretch(1);
    oben->addWidget(speichern);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben);
    spalte->addWidget(tabelle_, 1);
    spalte->addWidget(status_);
    resize(900, 500);
}

void TQtKugelFenster::ZeigeScan(std::shared_ptr<const TScanErgebnis> scan) {
    setWindowTitle(QStringLiteral("Kugeln des Scans"));
    scanModell_->Zeige(std::move(scan));
    if (!scan_) {
        scan_ = true;
        tabelle_->setModel(scanModell_);
        tabelle_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    filter_->hide();
    if (scanModell_->rowCount() > 0) tabelle_->resizeColumnsToContents();
    ZeigeStatus();
}

int TQtKugelFenster::Breite() const {
    int breite = 2 * tabelle_->frameWidth() + tabelle_->verticalScrollBar()->sizeHint().width() + 24;
    for (int c = 0; c < tabelle_->model()->columnCount(); ++c) breite += tabelle_->columnWidth(c);
    return breite;
}

void TQtKugelFenster::Zeige(std::shared_ptr<const TKugelListe> kugeln, bool iterativ) {
    setWindowTitle(QStringLiteral("Kugeln der Polarauswertung"));
    if (scan_) {
        scan_ = false;
        tabelle_->setModel(modell_);
        tabelle_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    filter_->show();
    modell_->Zeige(std::move(kugeln), iterativ);
    if (modell_->rowCount() > 0) tabelle_->resizeColumnsToContents();
    // A long reason would push the figures out of sight: it is shown cut, whole as the tooltip.
    const int ergebnis = static_cast<int>(TKugelSpalte::Ergebnis);
    tabelle_->setColumnWidth(ergebnis, std::min(tabelle_->columnWidth(ergebnis), 20 * fontMetrics().averageCharWidth()));
    ZeigeStatus();
}

void TQtKugelFenster::ZeigeStatus() {
    if (scan_) {
        const TScanErgebnis& e = scanModell_->Scan();
        status_->setText(QStringLiteral("%1 %2 mit Radius %3 m in %4 Punkten, %5 Kandidaten verworfen")
                             .arg(Q(Anzahl(e.Kugeln.size())),
                                  e.Kugeln.size() == 1 ? QStringLiteral("Kugel") : QStringLiteral("Kugeln"),
                                  Q(RealToText(e.R)), Q(Anzahl(e.Gelesen)), Q(Anzahl(e.Verworfen.size()))));
        return;
    }
    const TKugelListe& k = modell_->Kugeln();
    const auto fehl = std::count_if(k.begin(), k.end(), Fehlgeschlagen);
    const auto ausreisser =
        std::count_if(k.begin(), k.end(), [](const TKugelEintrag& e) { return e.Ausreisser > 0; });
    const auto unsicher = std::count_if(k.begin(), k.end(), [](const TKugelEintrag& e) { return e.Unsicher; });
    QString text = QStringLiteral("%1 Zeilen von %2 Kugeln, %3 fehlgeschlagen, %4 unsicher")
                       .arg(Q(Anzahl(static_cast<std::size_t>(modell_->rowCount()))), Q(Anzahl(k.size())),
                            Q(Anzahl(static_cast<std::size_t>(fehl))), Q(Anzahl(static_cast<std::size_t>(unsicher))));
    if (modell_->Iterativ()) text += QStringLiteral(", %1 mit Ausreißer").arg(Q(Anzahl(static_cast<std::size_t>(ausreisser))));
    status_->setText(text);
}

void TQtKugelFenster::Speichern() {
    const std::optional<std::string> datei = dialoge_.SaveFile("kugeln.csv");
    if (!datei) return;
    std::string grund;
    const std::string csv = scan_ ? ScanKugelnCsv(scanModell_->Scan().Kugeln, scanModell_->Zeilen())
                                  : KugelnCsv(modell_->Kugeln(), modell_->Iterativ(), modell_->Zeilen());
    if (SaveText(*datei, csv, &grund) != 0) {
        TOrt ort;
        ort.Datei = *datei;
        dialoge_.ShowError("Datei " + *datei + " kann nicht geschrieben werden. " + grund + ".", ort);
    }
}

}  // namespace zentrix
