// Side windows on the screen: where the picture (and the manual) open beside the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QScreen>
#include <QTest>

#include "qt/QtForm1.hpp"
#include "qt/QtGrafikFenster.hpp"
#include "qt/QtPlatz.hpp"

using namespace zentrix;

TEST(QtPlatz, BesideTheMainWindowAndWhollyOnTheScreen) {
    struct TFall {
        QRect schirm, haupt;
        QMargins rahmen;
        QRect erwartet;  // the client area
    };
    const QSize wunsch(760, 470);
    const TFall faelle[] = {
        // Room to the right: there, at the top margin.
        {{0, 0, 1920, 1080}, {0, 0, 561, 374}, {}, {569, 40, 760, 470}},
        // A known frame (title bar 20 pixels) counts into the margin.
        {{0, 0, 1920, 1080}, {0, 0, 561, 374}, {4, 20, 4, 4}, {573, 60, 760, 470}},
        // Room to the left only.
        {{0, 0, 1920, 1080}, {1200, 100, 600, 400}, {}, {432, 100, 760, 470}},
        // Main window low on the screen: the side window moves up.
        {{0, 0, 1920, 1080}, {100, 900, 561, 374}, {}, {669, 570, 760, 470}},
        // 1280 x 900 at scale factor 2: no room beside, shrunk to the screen less the margin.
        {{0, 0, 640, 450}, {0, 0, 561, 374}, {}, {40, 40, 560, 370}},
        // The main window on a second screen: that screen's area; narrower beside it.
        {{1920, 0, 1280, 1024}, {1950, 500, 561, 374}, {}, {2519, 500, 641, 470}},
    };
    for (const TFall& f : faelle) {
        const QRect platz = PlatzNeben(f.haupt, wunsch, f.rahmen, f.schirm);
        EXPECT_EQ(platz, f.erwartet) << f.haupt.x() << "," << f.haupt.y() << " on " << f.schirm.width();
        EXPECT_TRUE(f.schirm.adjusted(PlatzRand, PlatzRand, -PlatzRand, -PlatzRand)
                        .contains(platz.marginsAdded(f.rahmen)));
    }
}

// The main window at the screen's right edge: the picture must not open beyond it.
TEST(QtPlatz, ThePictureWindowsFrameLiesOnTheScreen) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect schirm = form.screen()->availableGeometry();
    form.move(schirm.right() - form.frameGeometry().width(), schirm.bottom() - form.frameGeometry().height());
    form.GrafikAktion()->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Grafik()));
    EXPECT_TRUE(schirm.contains(form.Grafik()->frameGeometry())) << form.Grafik()->frameGeometry().x();
}
