#include "qt/QtPlatz.hpp"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zentrix {

QRect PlatzNeben(const QRect& haupt, QSize wunsch, const QMargins& rahmen, const QRect& schirm) {
    QRect bereich = schirm.adjusted(PlatzRand, PlatzRand, -PlatzRand, -PlatzRand);
    if (bereich.width() < 2 * PlatzRand || bereich.height() < 2 * PlatzRand) bereich = schirm;  // a tiny screen
    // The frame's size: the wanted client area and the frame, no larger than the area.
    const int rahmenB = rahmen.left() + rahmen.right(), rahmenH = rahmen.top() + rahmen.bottom();
    int b = std::min(wunsch.width() + rahmenB, bereich.width());
    const int h = std::min(wunsch.height() + rahmenH, bereich.height());
    // Edges as positions: a window of width b at x covers x .. x + b.
    const int links = bereich.x(), rechts = bereich.x() + bereich.width();
    const int hauptRechts = haupt.x() + haupt.width();
    const int rechtsFrei = rechts - hauptRechts - PlatzAbstand, linksFrei = haupt.x() - PlatzAbstand - links;
    int x = 0;
    if (b <= rechtsFrei) {
        x = std::max(hauptRechts + PlatzAbstand, links);
    } else if (b <= linksFrei) {
        x = std::min(haupt.x() - PlatzAbstand - b, rechts - b);
    } else if (std::max(rechtsFrei, linksFrei) >= b / 2) {
        // Narrower beside it rather than over it, where at least half the width fits.
        b = std::max(rechtsFrei, linksFrei);
        x = rechtsFrei >= linksFrei ? hauptRechts + PlatzAbstand : links;
    } else {
        x = rechts - hauptRechts >= haupt.x() - links ? rechts - b : links;
    }
    const int y = std::clamp(haupt.y(), bereich.y(), bereich.y() + bereich.height() - h);
    return QRect(x + rahmen.left(), y + rahmen.top(), std::max(1, b - rahmenB), std::max(1, h - rahmenH));
}

void PlatziereNeben(QWidget* fenster, const QWidget* haupt, QSize wunsch) {
    // Before the window is first shown its frame is not known: the margins are then zero and the
    // screen's margin stands in for them.
    const QRect innen = fenster->geometry(), aussen = fenster->frameGeometry();
    const QMargins rahmen(innen.x() - aussen.x(), innen.y() - aussen.y(),
                          aussen.x() + aussen.width() - innen.x() - innen.width(),
                          aussen.y() + aussen.height() - innen.y() - innen.height());
    const QScreen* schirm = haupt->screen();
    fenster->setGeometry(PlatzNeben(haupt->frameGeometry(), wunsch, rahmen, schirm->availableGeometry()));
}

}  // namespace zentrix
