// The manual: F1 and "Hilfe" show it in a window of its own, with its pictures, on the screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFragment>
#include <QToolBar>
#include <QScrollBar>
#include <QToolButton>

#include "qt/QtForm1.hpp"
#include "qt/QtHandbuch.hpp"

using namespace zentrix;

namespace {

// Every picture the manual shows, loaded from the program's resources.
int BilderImHandbuch(QTextBrowser* text) {
    int bilder = 0;
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next()) {
        for (auto f = b.begin(); !f.atEnd(); ++f) {
            const QTextCharFormat format = f.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QString name = format.toImageFormat().name();
            const QByteArray daten = text->loadResource(QTextDocument::ImageResource, QUrl(name)).toByteArray();
            EXPECT_FALSE(QImage::fromData(daten).isNull()) << name.toStdString();
            ++bilder;
        }
    }
    return bilder;
}

}  // namespace

TEST(QtHandbuch, F1AndHilfeOpenTheManualWithItsPictures) {
    TRecordingDialoge d;
    TQtForm1 form(d, ".");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.Handbuch(), nullptr);
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_NE(form.Handbuch(), nullptr);
    EXPECT_TRUE(form.Handbuch()->isVisible());
    EXPECT_TRUE(form.screen()->availableGeometry().contains(form.Handbuch()->frameGeometry()));
    auto* text = form.Handbuch()->findChild<QTextBrowser*>(QStringLiteral("Handbuch"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Iterieren")));
    EXPECT_GE(BilderImHandbuch(text), 4);

    form.Handbuch()->close();
    EXPECT_TRUE(form.HilfeAktion()->toolTip().contains(QStringLiteral("F1")));
    auto* knopf = qobject_cast<QToolButton*>(form.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->widgetForAction(form.HilfeAktion()));
    ASSERT_NE(knopf, nullptr);
    QTest::mouseClick(knopf, Qt::LeftButton);
    EXPECT_TRUE(form.Handbuch()->isVisible());
}

// The table of contents is clickable: every link "#anker" names a heading of the manual, and
// following one scrolls there.
TEST(QtHandbuch, TheTableOfContentsLeadsToEveryChapter) {
    EXPECT_EQ(Anker(QString::fromUtf8("9 Das Stapelwerkzeug zentrix-cli")), QStringLiteral("9-das-stapelwerkzeug-zentrix-cli"));
    EXPECT_EQ(Anker(QString::fromUtf8("10 Meldungen und Fehler – was sie bedeuten")),
              QStringLiteral("10-meldungen-und-fehler--was-sie-bedeuten"));
    TQtHandbuch handbuch;
    handbuch.resize(600, 400);
    handbuch.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&handbuch));
    QTextBrowser* text = handbuch.Text();
    QStringList links, anker;
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next())
        for (auto f = b.begin(); !f.atEnd(); ++f) {
            const QTextCharFormat format = f.fragment().charFormat();
            if (format.anchorHref().startsWith(QLatin1Char('#'))) links << format.anchorHref().mid(1);
            anker << format.anchorNames();
        }
    ASSERT_GE(links.size(), 11);  // the table of contents and references in the text
    for (const QString& l : links) EXPECT_TRUE(anker.contains(l)) << l.toStdString();
    // A click on a link: the browser hands it on resolved against the manual's own address.
    emit text->anchorClicked(text->source().resolved(QUrl(QLatin1Char('#') + links.back())));
    EXPECT_GT(text->verticalScrollBar()->value(), 0);
}
