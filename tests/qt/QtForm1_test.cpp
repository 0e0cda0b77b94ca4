// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window, offscreen: widgets found by object name, dialogs answered by a recorder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <utility>
#include <QAction>
#include <QToolBar>
#include <QStatusBar>
#include <QLabel>
#include <QStyleOptionButton>

#include "qt/QtDialoge.hpp"
#include "qt/QtForm1.hpp"
#include "QtHilfen.hpp"

using namespace zentrix;

namespace {

// The application exists only while tests run (test discovery at build time has no display).
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "Zentrix";
        static char* argv[] = {name, nullptr};
        // The tests' own settings: never the user's, and each test program's own (tests run side
        // by side, and some switch "Iterieren").
        QStandardPaths::setTestModeEnabled(true);
        app_ = new QApplication(argc, argv);
        einstellungen_ = new QTemporaryDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, einstellungen_->path());
        QSettings(QStringLiteral("Zentrix"), QStringLiteral("Zentrix")).clear();
        SetupApplication();
    }
    void TearDown() override {
        delete app_;
        delete einstellungen_;
    }

private:
    QApplication* app_ = nullptr;
    QTemporaryDir* einstellungen_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class QtForm1Test : public ::testing::Test {
protected:
    template <class T>
    T* Find(const char* name) {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList MemoLines() {
        QStringList zeilen;
        const QAbstractItemModel* m = Find<QTableView>("Memo1")->model();
        for (int r = 0; r < m->rowCount(); ++r) zeilen << m->index(r, 0).data().toString();
        return zeilen;
    }
    // Clicks a command's button and waits until the command has ended and is shown.
    void Klick(const char* button) {
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form.Beschaeftigt(); }, 20000)) << button;
    }
    QString Zelle(int row, int col) {
        return Find<QTableView>("StringGrid1")->model()->index(row, col).data().toString();
    }
    QString Kopf(int col) {
        return Find<QTableView>("StringGrid1")->model()->headerData(col, Qt::Horizontal).toString();
    }

    TRecordingDialoge dialoge;
    TQtForm1 form{dialoge, "."};
};

}  // namespace

TEST_F(QtForm1Test, LayoutAsDesigned) {
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Kugelmittelpunkt aus Punkten der Kugeloberfläche berechnen"));
    EXPECT_EQ(Find<QPushButton>("Button2")->text(), "Konvert");
    EXPECT_EQ(Find<QPushButton>("Button3")->text(), "Rechne Datei");
    EXPECT_TRUE(Find<QLineEdit>("Edit1")->font().bold());
    EXPECT_TRUE(Find<QRadioButton>("RadioGroup1Item0")->isChecked());
    EXPECT_EQ(Find<QRadioButton>("RadioGroup1Item7")->text(), "Nr Ri ZD D R");
    // Before the window is shown nothing is computed.
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "2.00");

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.size(), QSize(561, 345));
    EXPECT_EQ(form.minimumSize(), QSize(561, 345));
    auto* pages = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), "TabSheet1");
    EXPECT_EQ(pages->tabText(1), "TabSheet2");
    EXPECT_EQ(pages->currentIndex(), 0);
    const struct {
        const char* name;
        QRect entwurf;  // left, top, width, height (pixels at 96 dpi)
    } teile[] = {
        {"ToolBar1", {0, 0, 561, 29}},       {"PageControl1", {0, 29, 561, 297}}, {"StatusBar1", {0, 326, 561, 19}},
        {"Edit2", {8, 8, 425, 21}},          {"StringGrid1", {3, 48, 446, 113}},  {"Button1", {8, 184, 75, 25}},
        {"Edit1", {471, 159, 46, 21}},       {"Button3", {8, 215, 75, 25}},       {"Button2", {89, 184, 75, 25}},
        {"RadioGroup1", {455, 3, 98, 131}},  {"Button4", {89, 215, 75, 25}},
    };
    for (const auto& t : teile) {
        const QRect ist = Find<QWidget>(t.name)->geometry();
        auto* knopf = qobject_cast<QPushButton*>(Find<QWidget>(t.name));
        // A button whose text needs more is wider, no more than Qt's own size for it.
        if (knopf && ist.width() > 75) {
            EXPECT_LE(ist.width(), knopf->sizeHint().width()) << t.name;
        }
        EXPECT_EQ(knopf ? ist.adjusted(0, 0, 75 - ist.width(), 0) : ist, t.entwurf) << t.name;
    }
    EXPECT_EQ(Find<QLabel>("Label1")->pos(), QPoint(455, 140));
    // The report's columns line up: every character as wide as every other (what matters, not the
    // font's flag, which Qt reports false for some monospace fonts).
    const QFontMetrics fest(Find<QTableView>("Memo1")->font());
    for (const QChar c : QStringLiteral("iW."))
        EXPECT_EQ(fest.horizontalAdvance(c), fest.horizontalAdvance(QLatin1Char('0'))) << QString(c).toStdString();
    // No button's text is cut: it fits where the style draws it.
    for (const char* name : {"Button1", "Button2", "Button3", "Button4"}) {
        auto* knopf = Find<QPushButton>(name);
        QStyleOptionButton option;
        option.initFrom(knopf);
        option.text = knopf->text();
        const QRect innen = knopf->style()->subElementRect(QStyle::SE_PushButtonContents, &option, knopf);
        EXPECT_LE(knopf->fontMetrics().horizontalAdvance(knopf->text()), innen.width()) << name;
    }
}

// Larger, the right-hand panel stands at the right edge, the grid fills the room up to it and down
// to the buttons, and nothing overlaps.
TEST_F(QtForm1Test, LargerTheGridGrowsAndThePanelKeepsToTheRightEdge) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* seite = Find<QWidget>("TabSheet1");
    const int randRechts = seite->width() - Find<QWidget>("RadioGroup1")->geometry().right();
    form.resize(800, 600);
    QApplication::processEvents();
    ASSERT_EQ(form.size(), QSize(800, 600));
    const QRect gitter = Find<QWidget>("StringGrid1")->geometry(), panel = Find<QWidget>("RadioGroup1")->geometry();
    EXPECT_EQ(seite->width() - panel.right(), randRechts);
    EXPECT_EQ(Find<QWidget>("Label1")->x(), panel.x());
    EXPECT_EQ(Find<QWidget>("Edit1")->x(), panel.x() + 16);
    EXPECT_EQ(panel.x() - gitter.right() - 1, 6);  // the designed gap
    EXPECT_EQ(gitter.height(), 113 + 600 - 345);
    EXPECT_EQ(Find<QWidget>("Button1")->y() - gitter.bottom() - 1, 23);
    EXPECT_LE(Find<QWidget>("Button3")->geometry().bottom(), seite->height());
    const QList<QWidget*> teile = seite->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : teile)
        for (QWidget* b : teile)
            if (a != b && a->isVisible() && b->isVisible()) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(Find<QTableView>("Memo1")->geometry(), Find<QWidget>("TabSheet2")->rect());
    EXPECT_GT(Find<QWidget>("TabSheet2")->height(), 500);
    // Smaller than designed it does not get, also where the window manager would allow it.
    form.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(561, 345));
}

// Tab goes through the controls in their designed order and leaves the grid; Enter presses the
// focused button and does nothing in a field.
TEST_F(QtForm1Test, TabLeavesTheGridAndEnterPressesTheFocusedButton) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Find<QLineEdit>("Edit2")->setFocus();
    for (const char* name : {"StringGrid1", "Button1", "Edit1", "Button3", "Button2", "RadioGroup1Item0", "Button4"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), name);
    }
    auto* grid = Find<QTableView>("StringGrid1");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QTest::keyClick(grid, Qt::Key_Right);  // the arrow keys move between cells
    EXPECT_EQ(grid->currentIndex().column(), 2);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), "Button1");

    const std::size_t zeilen = form.Model().Memo1.size();
    QTest::keyClick(Find<QLineEdit>("Edit1"), Qt::Key_Return);
    EXPECT_FALSE(form.Beschaeftigt());
    EXPECT_EQ(form.Model().Memo1.size(), zeilen);
    QTest::keyClick(Find<QPushButton>("Button1"), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form.Beschaeftigt(); }, 20000));
    EXPECT_GT(form.Model().Memo1.size(), zeilen);
    EXPECT_EQ(Find<QLabel>("StatusText")->toolTip().toStdString(), "Rechne: 4 Punkte, m0 254.0 mm");
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), "Button1");  // for the next Enter

    // In the report Pos1 and Ende go to its first and last line, and Tab leaves it.
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    auto* memo = Find<QTableView>("Memo1");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_End);
    EXPECT_EQ(memo->currentIndex().row(), static_cast<int>(form.Model().Memo1.size()) - 1);
    QTest::keyClick(memo, Qt::Key_Home);
    EXPECT_EQ(memo->currentIndex().row(), 0);
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), memo);
}

// Each command's key, wherever the focus is in the window; its tooltip names it.
TEST_F(QtForm1Test, EachKeyRunsItsCommand) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const struct {
        QKeyCombination taste;
        const char* tipp;       // where its tooltip stands, and the key named there
        const char* statuszeile;  // the beginning of the status line afterwards ("": not a command)
    } tasten[] = {
        {Qt::Key_F5, "Button1 (F5)", "Rechne: 4 Punkte"},
        {Qt::Key_F6, "Button3 (F6)", "Rechne Datei: Kein Dateiname angegeben"},
        {Qt::Key_F7, "Button4 (F7)", "Polarauswertung: "},
        {Qt::Key_F8, "Button2 (F8)", "Konvert: "},
        {Qt::CTRL | Qt::Key_O, "Edit2 Strg+O", "Dateiwahl abgebrochen"},
        {Qt::CTRL | Qt::Key_I, "Iterieren (Strg+I)", ""},
        {Qt::CTRL | Qt::Key_G, "GrafikAktion (Strg+G)", ""},
    };
    for (const auto& t : tasten) {
        const QStringList tipp = QString::fromUtf8(t.tipp).split(QLatin1Char(' '));
        QObject* traeger = form.findChild<QObject*>(tipp[0]);
        ASSERT_NE(traeger, nullptr) << t.tipp;
        EXPECT_TRUE(traeger->property("toolTip").toString().endsWith(tipp[1])) << t.tipp;
        Find<QLineEdit>("Edit1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), t.taste.key(), t.taste.keyboardModifiers());
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form.Beschaeftigt(); }, 20000)) << t.tipp;
        if (*t.statuszeile) {
            EXPECT_TRUE(Find<QLabel>("StatusText")->toolTip().startsWith(QString::fromUtf8(t.statuszeile))) << t.tipp;
        }
    }
    EXPECT_EQ(dialoge.OpenFileCalls, 1);
    EXPECT_TRUE(form.Iterieren()->isChecked());
    form.Iterieren()->trigger();  // off again for the other tests
    EXPECT_NE(form.Grafik(), nullptr);
    // A cell being edited goes into the grid before the command reads it.
    auto* grid = Find<QTableView>("StringGrid1");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 3));
    grid->edit(grid->currentIndex());
    QTest::keyClicks(QApplication::focusWidget(), "71.643");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form.Beschaeftigt(); }, 20000));
    EXPECT_EQ(std::as_const(form.Model().Punkte)[1].Z, 71.643);
}

// Delete empties the selected cells; a point whose coordinates change, by typing, pasting or
// Delete, loses its residual. Numbers stand right-aligned, typed ones too.
TEST_F(QtForm1Test, DeleteAndChangedCoordinatesEmptyTheResidual) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* grid = Find<QTableView>("StringGrid1");
    QAbstractItemModel* m = grid->model();
    const TStringGrid& g = form.Model().StringGrid1;
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(m->index(1, 2), m->index(1, 3)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(g.Cells(1, 2), "  802192.254");
    EXPECT_EQ(g.Cells(2, 2), "");
    EXPECT_EQ(g.Cells(3, 2), "");
    EXPECT_EQ(g.Cells(4, 2), "");
    m->setData(m->index(2, 3), "71.643");
    EXPECT_EQ(g.Cells(4, 3), "");
    grid->setCurrentIndex(m->index(3, 1));
    QApplication::clipboard()->setText(QStringLiteral("802192,646"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(g.Cells(1, 4), "802192.646");
    EXPECT_EQ(g.Cells(4, 4), "");
    EXPECT_NE(g.Cells(4, 5), "");  // the unchanged point keeps its residual
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(m->index(2, c).data(Qt::TextAlignmentRole).toInt(), (Qt::AlignRight | Qt::AlignVCenter).toInt());
    EXPECT_TRUE(grid->font().bold());
}

// Rows by key and context menu; a failure shows no result, and Ctrl+C copies none.
TEST_F(QtForm1Test, RowsComeAndGoAndAFailureShowsNoResult) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* grid = Find<QTableView>("StringGrid1");
    QAbstractItemModel* m = grid->model();
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(grid->actions().size(), 2);
    EXPECT_EQ(grid->actions()[0]->text(), QString::fromUtf8("Zeilen löschen"));
    EXPECT_EQ(grid->actions()[1]->text(), QString::fromUtf8("Zeile einfügen"));
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(m->index(3, 1), m->index(4, 1)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_Minus, Qt::ControlModifier);  // points 3 and 4 go
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(Zelle(2, 0), QStringLiteral("P 2"));
    // Two points left: "Rechne" fails, the centre row and the residuals show nothing.
    EXPECT_EQ(Zelle(0, 1), QString());
    Klick("Button1");
    EXPECT_EQ(form.Model().StringGrid1.Cells(1, 1), "       0.000");  // what the solver left
    EXPECT_EQ(Zelle(0, 1), QString());
    EXPECT_EQ(Zelle(1, 4), QString());
    EXPECT_EQ(m->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(m->index(0, 1), m->index(1, 4)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\t\t\t\n802192.254\t585697.677\t71.443\t\n"));
    // A row added in front of point 2, then points on the sphere again: a result once more.
    grid->selectionModel()->select(m->index(2, 1), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier);
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(Zelle(2, 0), QStringLiteral("P 2"));
    EXPECT_EQ(Zelle(3, 0), QStringLiteral("P 3"));
    m->setData(m->index(2, 1), "802192.646");
    m->setData(m->index(2, 2), "585697.951");
    m->setData(m->index(2, 3), "71.484");
    Klick("Button1");
    EXPECT_EQ(Zelle(0, 1), QStringLiteral("  802192.503"));
    EXPECT_FALSE(m->index(0, 0).data(Qt::ForegroundRole).isValid());
}

// At the designed width a long summary is cut, whole as the tooltip, and the overview's offer stays.
TEST_F(QtForm1Test, TheStatusLineIsCutButTheOfferStays) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QString datei = QDir::temp().filePath(QStringLiteral("status.dat"));
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int k = 0; k < 1200; ++k) f.write(QStringLiteral("F%1 10 10 100 0.05\nF%1 11 10 100 0.05\nF%1 12 10 100\n").arg(k).toUtf8());
    }
    Find<QLineEdit>("Edit2")->setText(datei);
    form.Model().Edit2.Text = datei.toStdString();
    Klick("Button4");
    auto* status = Find<QLabel>("StatusText");
    EXPECT_TRUE(status->toolTip().startsWith(QString::fromUtf8("Polarauswertung: 1 200 Kugeln ausgewertet, 1 200 fehlgeschlagen")));
    EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();
    auto* angebot = Find<QLabel>("KugelnAngebot");
    EXPECT_TRUE(angebot->isVisible());
    EXPECT_TRUE(form.rect().contains(angebot->mapTo(&form, angebot->rect().bottomRight())));
    for (const char* endung : {"dat", "TXT", "LST"}) QFile::remove(QDir::temp().filePath(QStringLiteral("status.") + QLatin1String(endung)));
}

TEST_F(QtForm1Test, ActivationRunsOnceWhenFirstShown) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QAbstractItemModel* grid = Find<QTableView>("StringGrid1")->model();
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "3.642");
    ASSERT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(Kopf(0), "Punkt");
    EXPECT_EQ(Kopf(4), "vZ");
    EXPECT_EQ(Zelle(0, 0), "P 0");
    EXPECT_EQ(Zelle(1, 1), "  802192.254");
    EXPECT_FALSE(grid->flags(grid->index(1, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->flags(grid->index(1, 1)) & Qt::ItemIsEditable);
    const QStringList report = MemoLines();
    EXPECT_EQ(report.value(0), "");
    EXPECT_EQ(report.value(1), "Kugelzentrierung Punkt ");

    // Hiding and showing again (as around a dialog or another application) is no new activation.
    form.hide();
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(MemoLines(), report);
}

TEST_F(QtForm1Test, TypingIntoACellAndRechneRecomputes) {
    form.show();
    QAbstractItemModel* grid = Find<QTableView>("StringGrid1")->model();
    const QString centreBefore = Zelle(0, 3);
    const int linesBefore = MemoLines().size();
    grid->setData(grid->index(1, 3), "71.643");  // raise point 1 by 0.2 m
    EXPECT_EQ(form.Model().StringGrid1.Cells(3, 2), "71.643");
    // An editor closed without a change keeps the full value behind the cell.
    grid->setData(grid->index(0, 1), grid->data(grid->index(0, 1)));
    EXPECT_TRUE(form.Model().StringGrid1.Wert(1, 1).has_value());
    Klick("Button1");
    EXPECT_EQ(Zelle(1, 3), "      71.643");
    EXPECT_NE(Zelle(0, 3), centreBefore);
    EXPECT_GT(MemoLines().size(), linesBefore);
    EXPECT_TRUE(dialoge.Errors.empty());
}

TEST_F(QtForm1Test, AnErrorShowsTheErrorBoxAndTheWindowStaysUsable) {
    form.show();
    auto* edit1 = Find<QLineEdit>("Edit1");
    edit1->selectAll();
    QTest::keyClicks(edit1, "3,642");
    Klick("Button1");
    ASSERT_EQ(dialoge.Errors.size(), 1u);
    EXPECT_EQ(dialoge.Errors[0], "'3,642' ist kein gültiger Gleitkommawert.");
    edit1->selectAll();
    QTest::keyClicks(edit1, "3.642");
    Klick("Button1");
    EXPECT_EQ(dialoge.Errors.size(), 1u);
    EXPECT_EQ(Zelle(0, 0), "P 0");
    // A cell that is no number is named in the box and chosen in the grid.
    auto* grid = Find<QTableView>("StringGrid1");
    grid->model()->setData(grid->model()->index(2, 2), "abc");
    Klick("Button1");
    ASSERT_EQ(dialoge.Errors.size(), 2u);
    EXPECT_EQ(OrtText(dialoge.ErrorOrte[1]), "Zeile P 2, Spalte Y: „abc“");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 2));
}

TEST_F(QtForm1Test, DoubleClickOnTheFileFieldChoosesAFile) {
    form.show();
    dialoge.FileAnswers = {std::string("/tmp/kugel.kor")};
    QTest::mouseDClick(Find<QLineEdit>("Edit2"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "/tmp/kugel.kor");
    EXPECT_EQ(form.Model().Edit2.Text, "/tmp/kugel.kor");
}

TEST_F(QtForm1Test, DataFormatChoiceReachesTheModel) {
    QTest::mouseClick(Find<QRadioButton>("RadioGroup1Item4"), Qt::LeftButton);
    EXPECT_EQ(form.Model().RadioGroup1.ItemIndex, 4);
}

// The real error box: modal, the application's title, an error icon, the text with its period.
TEST(QtDialogeTest, ErrorBoxIsModalWithTitleIconAndText) {
    TQtDialoge dialoge;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    dialoge.ShowError("Datei nicht gefunden.");
    EXPECT_EQ(title, ApplicationTitle());
    EXPECT_EQ(text, "Datei nicht gefunden.");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

// "Rechne Datei" from the window: the file's points in the grid, the message box after a failure.
TEST_F(QtForm1Test, RechneDateiFillsTheGridAndShowsItsMessage) {
    form.show();
    const QString datei = QDir::temp().filePath(QStringLiteral("zentrix_qt_%1.kor").arg(QCoreApplication::applicationPid()));
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("7 1 0 0 0.05\r\n8 0 1 0 0.05\r\n");
    }
    auto* edit2 = Find<QLineEdit>("Edit2");
    QTest::keyClicks(edit2, datei);
    QTest::mouseClick(Find<QRadioButton>("RadioGroup1Item1"), Qt::LeftButton);
    Klick("Button3");
    QFile::remove(datei);
    EXPECT_EQ(dialoge.Messages, std::vector<std::string>{"Kugelmittelnpunkt Fehler"});
    ASSERT_EQ(Find<QTableView>("StringGrid1")->model()->rowCount(), 3);
    EXPECT_EQ(Kopf(1), "Y");
    EXPECT_EQ(Kopf(4), "vdH");
    EXPECT_EQ(Zelle(1, 0), "7");
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "0.05");
    EXPECT_TRUE(MemoLines().isEmpty());  // the report was cleared and the failure writes none
}

// "Iterieren": a checkable tool bar action whose state the user's settings keep; the converged
// solver then computes, and the residual of a likely outlier is highlighted.
TEST_F(QtForm1Test, IterierenIsKeptInTheSettingsAndMarksTheOutlier) {
    QAction* iterieren = form.Iterieren();
    ASSERT_NE(iterieren, nullptr);
    EXPECT_TRUE(Find<QToolBar>("ToolBar1")->actions().contains(iterieren));
    EXPECT_EQ(iterieren->text(), "Iterieren");
    EXPECT_EQ(iterieren->toolTip(), "Ausgleichung bis zur Konvergenz rechnen (Strg+I)");
    EXPECT_TRUE(iterieren->isCheckable());
    EXPECT_FALSE(iterieren->isChecked());
    iterieren->trigger();
    EXPECT_TRUE(form.Model().Iterieren);

    TRecordingDialoge d;
    TQtForm1 zweites(d, ".");
    EXPECT_TRUE(zweites.Iterieren()->isChecked());  // from the settings
    zweites.show();
    EXPECT_TRUE(zweites.Model().Memo1.at(4).starts_with("Ausgleichung iterativ"));

    // Eight points on a sphere of radius 0.5 around (10, 20, 5), the fourth 20 mm outside it.
    ASSERT_NO_FATAL_FAILURE(AchtPunkte(zweites));
    EXPECT_EQ(zweites.Model().AusreisserZeile, 5);
    const QAbstractItemModel* grid = zweites.findChild<QTableView*>(QStringLiteral("StringGrid1"))->model();
    EXPECT_EQ(grid->index(4, 4).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 170, 170));
    EXPECT_FALSE(grid->index(3, 4).data(Qt::BackgroundRole).isValid());
    iterieren->trigger();  // off again for the other tests
    EXPECT_FALSE(QSettings(QStringLiteral("Zentrix"), QStringLiteral("Zentrix")).value("Iterieren").toBool());
}

// A long command runs beside the window: input closed, a busy cursor and the progress in the
// status bar while it runs; a hundred thousand points then in the grid, the report in its list.
TEST_F(QtForm1Test, ALongCommandRunsBesideTheWindowWithItsProgress) {
    form.show();
    const QString datei = QDir::temp().filePath(QStringLiteral("zentrix_qt_gross_%1.kor").arg(QCoreApplication::applicationPid()));
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray text;
        for (int i = 1; i <= 100000; ++i) {
            const double a = i * 0.001, b = 0.2 + (i % 97) * 0.01;
            text += QByteArray::number(i) + ' ' + QByteArray::number(10 + std::cos(b) * std::cos(a), 'f', 4) + ' ' +
                    QByteArray::number(20 + std::cos(b) * std::sin(a), 'f', 4) + ' ' +
                    QByteArray::number(5 + std::sin(b), 'f', 4) + " 1\n";
        }
        f.write(text);
    }
    form.Model().Edit2.Text = datei.toStdString();
    QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_TRUE(form.Beschaeftigt());
    EXPECT_FALSE(Find<QTabWidget>("PageControl1")->isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_TRUE(Find<QProgressBar>("Fortschritt")->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form.Beschaeftigt(); }, 20000));
    QFile::remove(datei);
    EXPECT_TRUE(Find<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Find<QProgressBar>("Fortschritt")->isVisible());
    EXPECT_EQ(Find<QTableView>("StringGrid1")->model()->rowCount(), 100001);
    EXPECT_EQ(Zelle(100000, 0), "100000");
    EXPECT_EQ(Find<QTableView>("Memo1")->model()->rowCount(), static_cast<int>(form.Model().Memo1.size()));
    EXPECT_GT(form.Model().Memo1.size(), 100000u);
    EXPECT_TRUE(dialoge.Errors.empty());
}
