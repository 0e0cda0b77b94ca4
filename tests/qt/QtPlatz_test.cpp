// Side windows on the screen: where the picture (and the manual) open beside the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <vector>

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

// Side windows already open: a free place beside or below the main window, else offset from them,
// at 1280 x 900 (the picture, the overview and the manual open one after another).
TEST(QtPlatz, SideWindowsOpenApartFromTheOnesOpen) {
    const QRect schirm(0, 0, 1280, 900), haupt(0, 0, 561, 374);
    const QMargins rahmen(4, 20, 4, 4);
    std::vector<QRect> belegt;
    const QSize wuensche[] = {{760, 470}, {900, 500}, {760, 1000}, {400, 300}};
    for (const QSize& wunsch : wuensche) {
        const QRect aussen = PlatzNeben(haupt, wunsch, rahmen, schirm, belegt).marginsAdded(rahmen);
        EXPECT_TRUE(schirm.adjusted(PlatzRand, PlatzRand, -PlatzRand, -PlatzRand).contains(aussen)) << wunsch.width();
        // Each title bar stays in sight: no two corners within a step of each other.
        for (const QRect& r : belegt)
            EXPECT_TRUE(std::abs(r.x() - aussen.x()) >= PlatzVersatz || std::abs(r.y() - aussen.y()) >= PlatzVersatz)
                << wunsch.width();
        belegt.push_back(aussen);
    }
    // The first goes beside the main window; the overview fits nowhere free: a step off the picture.
    EXPECT_EQ(belegt[0].topLeft(), QPoint(569, 40));
    EXPECT_EQ(belegt[1].topLeft(), QPoint(569 + PlatzVersatz, 40 + PlatzVersatz));
    // Room below the main window: the second goes there.
    EXPECT_EQ(PlatzNeben(haupt, {300, 200}, {}, {0, 0, 1920, 1080}, {QRect(569, 40, 300, 200)}).topLeft(), QPoint(40, 382));
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
