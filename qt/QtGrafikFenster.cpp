// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtGrafikFenster.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/QtGrafik.hpp"

namespace zentrix {

namespace {

// The drawing area: paints the picture into its whole size.
class TBild : public QWidget {
public:
    TBild(const TGrafik& grafik, QWidget* parent) : QWidget(parent), grafik_(grafik) {
        setObjectName(QStringLiteral("GrafikBild"));
        setMinimumSize(320, 200);  // small enough for a small screen at a large scale factor
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter m(this);
        ZeichneGrafik(m, grafik_, QRectF(rect()));
    }

private:
    const TGrafik& grafik_;
};

}  // namespace

TQtGrafikFenster::TQtGrafikFenster(IDialoge& dialoge, QWidget* parent)
    : QWidget(parent, Qt::Window), dialoge_(dialoge) {
    setObjectName(QStringLiteral("Grafik"));
    setWindowTitle(QStringLiteral("Grafik – Kugelmittelpunkt"));
    bild_ = new TBild(grafik_, this);
    auto* speichern = new QPushButton(QString::fromUtf8("Speichern …"), this);
    speichern->setObjectName(QStringLiteral("GrafikSpeichern"));
    speichern->setToolTip(QStringLiteral("Die Grafik als PNG-Bild oder SVG-Zeichnung speichern"));
    connect(speichern, &QPushButton::clicked, this, [this] { Speichern(); });
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(speichern);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(bild_, 1);
    layout->addLayout(knoepfe);
    resize(760, 470);  // beside the main window on a common screen
}

void TQtGrafikFenster::Zeige(TGrafik grafik) {
    grafik_ = std::move(grafik);
    bild_->update();
}

void TQtGrafikFenster::Speichern() {
    const std::optional<std::string> datei = dialoge_.SaveFile("kugel.png");
    if (!datei) return;
    if (const std::string fehler = SpeichereGrafik(grafik_, *datei); !fehler.empty()) dialoge_.ShowError(fehler);
}

}  // namespace zentrix
