#include "qt/QtPlatz.hpp"

#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

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

namespace {

bool Frei(const QRect& r, const std::vector<QRect>& belegt) {
    return std::none_of(belegt.begin(), belegt.end(), [&r](const QRect& b) { return b.intersects(r); });
}

}  // namespace

QRect PlatzNeben(const QRect& haupt, QSize wunsch, const QMargins& rahmen, const QRect& schirm,
                 const std::vector<QRect>& belegt) {
    const QRect neben = PlatzNeben(haupt, wunsch, rahmen, schirm);
    if (Frei(neben.marginsAdded(rahmen), belegt)) return neben;
    QRect bereich = schirm.adjusted(PlatzRand, PlatzRand, -PlatzRand, -PlatzRand);
    if (bereich.width() < 2 * PlatzRand || bereich.height() < 2 * PlatzRand) bereich = schirm;
    // Below the main window, at its left edge, where the frame keeps at least half the wanted height.
    const int rahmenB = rahmen.left() + rahmen.right(), rahmenH = rahmen.top() + rahmen.bottom();
    const int oben = haupt.y() + haupt.height() + PlatzAbstand;
    const int links = std::max(haupt.x(), bereich.x());
    const int b = std::min(wunsch.width() + rahmenB, bereich.x() + bereich.width() - links);
    const int h = std::min(wunsch.height() + rahmenH, bereich.y() + bereich.height() - oben);
    if (b > rahmenB && 2 * (h - rahmenH) >= wunsch.height()) {
        const QRect unten(links, oben, b, h);
        if (Frei(unten, belegt)) return unten.marginsRemoved(rahmen);
    }
    // Offset from the ones open: the corners a step apart, on the screen (shrunk where the shift
    // would take it beyond the right or bottom edge, moved back to the area's top left where it
    // would be shrunk below half its size).
    const QRect aussen = neben.marginsAdded(rahmen);
    auto abseits = [&belegt](const QPoint& ecke) {
        return std::none_of(belegt.begin(), belegt.end(), [&ecke](const QRect& r) {
            return std::abs(r.x() - ecke.x()) < PlatzVersatz && std::abs(r.y() - ecke.y()) < PlatzVersatz;
        });
    };
    QPoint ecke = aussen.topLeft();
    for (int k = 1; k <= 16 && !abseits(ecke); ++k) {
        ecke = aussen.topLeft() + QPoint(k * PlatzVersatz, k * PlatzVersatz);
        const int rechts = bereich.x() + bereich.width(), unterkante = bereich.y() + bereich.height();
        if (rechts - ecke.x() < aussen.width() / 2 || unterkante - ecke.y() < aussen.height() / 2)
            ecke = bereich.topLeft() + QPoint((k % 8) * PlatzVersatz, (k % 8) * PlatzVersatz);
    }
    QRect platz(ecke, aussen.size());
    platz.setRight(std::min(platz.right(), bereich.x() + bereich.width() - 1));
    platz.setBottom(std::min(platz.bottom(), bereich.y() + bereich.height() - 1));
    return platz.marginsRemoved(rahmen);
}

void PlatziereNeben(QWidget* fenster, const QWidget* haupt, QSize wunsch) {
    // Before the window is first shown its frame is not known: the margins are then zero and the
    // screen's margin stands in for them.
    const QRect innen = fenster->geometry(), aussen = fenster->frameGeometry();
    const QMargins rahmen(innen.x() - aussen.x(), innen.y() - aussen.y(),
                          aussen.x() + aussen.width() - innen.x() - innen.width(),
                          aussen.y() + aussen.height() - innen.y() - innen.height());
    const QScreen* schirm = haupt->screen();
    // The other side windows of the main window that are open.
    std::vector<QRect> belegt;
    for (const QWidget* w : haupt->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w != fenster && w->isWindow() && w->isVisible()) belegt.push_back(w->frameGeometry());
    fenster->setGeometry(PlatzNeben(haupt->frameGeometry(), wunsch, rahmen, schirm->availableGeometry(), belegt));
}

}  // namespace zentrix
