// Where a side window of the program (the picture, the manual) opens: beside the main window, on
// the screen that shows it, and wholly on that screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace zentrix {

// Kept free at every edge of the screen's available area (pixels): the window manager's frame
// around a window, which some window managers do not report to the program.
constexpr int PlatzRand = 40;
// Between the main window and a side window (pixels).
constexpr int PlatzAbstand = 8;

// The geometry (of the client area, for QWidget::setGeometry) of a side window that wants the
// client size wunsch, given the main window's frame geometry haupt, the side window's frame
// margins as far as they are known (zero before it is first shown) and the available geometry of
// the main window's screen; all in the screen's logical pixels. The frame stays inside the screen
// less PlatzRand on every side, shrunk where it is larger. It goes to the right of the main
// window where there is room, else to the left, else narrower to the side with more room where
// that holds half its width, else over the main window at the side with more room; its top level
// with the main window's where the screen allows.
QRect PlatzNeben(const QRect& haupt, QSize wunsch, const QMargins& rahmen, const QRect& schirm);

// Where a side window goes among those already open (their frame geometries in belegt): the place
// of PlatzNeben where it covers none of them; else below the main window where the wanted size
// fits there free (at least half its height); else that place shifted right and down by
// PlatzVersatz, as often as it takes for its top left corner to stand apart from every open
// window's (so that each title bar can be seen), and kept on the screen.
QRect PlatzNeben(const QRect& haupt, QSize wunsch, const QMargins& rahmen, const QRect& schirm,
                 const std::vector<QRect>& belegt);
// The step between side windows that find no free place (pixels).
constexpr int PlatzVersatz = 32;

// Places fenster (a top-level window) by PlatzNeben beside haupt on haupt's screen, with the
// client size wunsch or smaller, apart from the side windows of haupt that are open.
void PlatziereNeben(QWidget* fenster, const QWidget* haupt, QSize wunsch);

}  // namespace zentrix
