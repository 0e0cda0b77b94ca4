#include "qt/QtStatusText.hpp"

#include <QFontMetrics>
#include <QResizeEvent>

namespace zentrix {

TQtStatusText::TQtStatusText(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TQtStatusText::Setze(const QString& text) {
    ganz_ = text;
    setToolTip(text);
    Kuerze();
}

QSize TQtStatusText::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

QSize TQtStatusText::sizeHint() const { return {fontMetrics().horizontalAdvance(ganz_), QLabel::sizeHint().height()}; }

void TQtStatusText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Kuerze();
}

void TQtStatusText::Kuerze() {
    const int breite = contentsRect().width();
    setText(breite > 0 ? fontMetrics().elidedText(ganz_, Qt::ElideRight, breite) : ganz_);
}

}  // namespace zentrix
