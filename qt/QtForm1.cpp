// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtForm1.hpp"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QResizeEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QTranslator>
#include <QVBoxLayout>

#include "qt/QtBerichtAnsicht.hpp"
#include "qt/QtGrafikFenster.hpp"
#include "qt/QtKugeln.hpp"
#include "qt/QtHandbuch.hpp"
#include "qt/QtModelle.hpp"
#include "qt/QtPlatz.hpp"
#include "qt/QtStatusText.hpp"
#include "window/Zwischenablage.hpp"

namespace zentrix {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The user's settings of Zentrix (tests switch QStandardPaths to its test mode first).
QSettings Einstellungen() { return QSettings(QStringLiteral("Zentrix"), QStringLiteral("Zentrix")); }

QFont Bold(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

// The width a button's text needs in its font with the style's margins (pixels). Not the size
// hint: that is at least 80 pixels for any text in the common styles.
int TextBreite(QPushButton* knopf) {
    QStyleOptionButton option;
    option.initFrom(knopf);
    if (knopf->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    const QSize text = knopf->fontMetrics().size(Qt::TextShowMnemonic, knopf->text());
    // Asked without the text itself, the style adds its margins but no least width.
    return knopf->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, knopf).width();
}

// The selected block of the table: columns left to right, table rows top to bottom (invalid when
// nothing is selected).
QRect Gewaehlt(const QTableView* tabelle) {
    QRect block;
    for (const QModelIndex& i : tabelle->selectionModel()->selectedIndexes())
        block = block.united(QRect(i.column(), i.row(), 1, 1));
    return block;
}

}  // namespace

QString SetupApplication() {
    static QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);

    // "Tahoma" is not a Linux font; Wine's free metric-compatible Tahoma is the closest match.
    // Without it Qt falls back to DejaVu Sans. Only the regular face is loaded: Wine's bold face
    // draws no heavier than the regular one at 8 points, while Qt's emboldening of the regular
    // face shows the bold fields as bold.
    const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(tahoma)) QFontDatabase::addApplicationFont(tahoma);
    QFont font(QStringLiteral("Tahoma"), 8);
    QApplication::setFont(font);
    return QFontInfo(font).family();
}

TQtForm1::TQtForm1(IDialoge& dialoge, const std::string& testDirectory, QWidget* parent)
    : QMainWindow(parent), dialoge_(dialoge), model_(dialoge, testDirectory) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(FormCaption));
    BaueWerkzeugleiste();
    BaueHilfe();
    BaueStatusleiste();
    setAcceptDrops(true);

    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(pageControl_);
    auto* tabSheet1 = new QWidget;
    tabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* tabSheet2 = new QWidget;
    tabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    pageControl_->addTab(tabSheet1, QStringLiteral("TabSheet1"));
    pageControl_->addTab(tabSheet2, QStringLiteral("TabSheet2"));
    BaueSeite1(tabSheet1);
    BaueBericht(tabSheet2);

    // Progress from the worker thread, shown on the window's thread; a report only when it says
    // something new.
    model_.Fortschritt = [this](const std::string& schritt, int prozent) {
        if (schritt == letzterSchritt_ && prozent == letzteProzent_) return;
        letzterSchritt_ = schritt;
        letzteProzent_ = prozent;
        QMetaObject::invokeMethod(
            this, [this, text = Q(schritt), prozent] { ZeigeFortschritt(text, prozent); }, Qt::QueuedConnection);
    };

    // The first page's widgets follow the window's size.
    tabSheet1->installEventFilter(this);

    // The designed client size is the smallest; wider only where widened buttons need it.
    const int knoepfeRechts = std::max(button2_->x() + button2_->width(), button4_->x() + button4_->width());
    setMinimumSize(561 + std::max(0, knoepfeRechts - (455 + 98)), 345);
    resize(561, 345);
    move(0, 0);
    Refresh();
}

void TQtForm1::BaueWerkzeugleiste() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFixedHeight(29);
    addToolBar(toolBar_);
    iterieren_ = toolBar_->addAction(QStringLiteral("Iterieren"));
    iterieren_->setObjectName(QStringLiteral("Iterieren"));
    iterieren_->setCheckable(true);
    iterieren_->setToolTip(QStringLiteral("Ausgleichung bis zur Konvergenz rechnen (Strg+I)"));
    iterieren_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));  // in the main window, not while a command runs
    iterieren_->setChecked(Einstellungen().value(QStringLiteral("Iterieren"), false).toBool());
    model_.Iterieren = iterieren_->isChecked();
    connect(iterieren_, &QAction::toggled, this, [this](bool an) {
        model_.Iterieren = an;
        Einstellungen().setValue(QStringLiteral("Iterieren"), an);
    });
    grafikAktion_ = toolBar_->addAction(QStringLiteral("Grafik"));
    grafikAktion_->setObjectName(QStringLiteral("GrafikAktion"));
    grafikAktion_->setToolTip(QStringLiteral("Die letzte Berechnung als Grafik zeigen (Strg+G)"));
    grafikAktion_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    grafikAktion_->setShortcutContext(Qt::ApplicationShortcut);  // from the side windows too
    connect(grafikAktion_, &QAction::triggered, this, [this] { ZeigeGrafik(); });
    kugelnAktion_ = toolBar_->addAction(QStringLiteral("Kugeln"));
    kugelnAktion_->setObjectName(QStringLiteral("KugelnAktion"));
    kugelnAktion_->setToolTip(QStringLiteral("Alle Kugeln der letzten Polarauswertung oder des letzten Scans in einer Tabelle zeigen (Strg+K)"));
    kugelnAktion_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    kugelnAktion_->setShortcutContext(Qt::ApplicationShortcut);
    connect(kugelnAktion_, &QAction::triggered, this, [this] { ZeigeKugeln(); });
}

// "Hilfe" at the tool bar's right end; F1 opens the manual from every window of the program, also
// while a command runs.
void TQtForm1::BaueHilfe() {
    auto* abstand = new QWidget(toolBar_);
    abstand->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(abstand);
    hilfeAktion_ = toolBar_->addAction(QStringLiteral("Hilfe"));
    hilfeAktion_->setObjectName(QStringLiteral("HilfeAktion"));
    hilfeAktion_->setToolTip(QStringLiteral("Das Handbuch zeigen (F1)"));
    hilfeAktion_->setShortcut(QKeySequence::HelpContents);
    hilfeAktion_->setShortcutContext(Qt::ApplicationShortcut);
    addAction(hilfeAktion_);  // the tool bar is closed while a command runs, the window is not
    connect(hilfeAktion_, &QAction::triggered, this, [this] { ZeigeHandbuch(); });
}

void TQtForm1::BaueStatusleiste() {
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setFixedHeight(19);
    statusBar->setSizeGripEnabled(false);
    setStatusBar(statusBar);
    // While a command runs: what it is doing, and how far it is (or that it is busy).
    statusText_ = new TQtStatusText(statusBar);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    // After a polar evaluation with failures: the overview a click away, at the right where the
    // summary cannot push it out of sight.
    kugelnAngebot_ = new QLabel(QStringLiteral("<a href=\"kugeln\">Kugeln zeigen</a>"), statusBar);
    kugelnAngebot_->setObjectName(QStringLiteral("KugelnAngebot"));
    kugelnAngebot_->setTextFormat(Qt::RichText);
    kugelnAngebot_->hide();
    connect(kugelnAngebot_, &QLabel::linkActivated, this, [this] { ZeigeKugeln(); });
    statusBar->addPermanentWidget(kugelnAngebot_);
    statusBar->addWidget(statusText_, 1);
    fortschritt_ = new QProgressBar(statusBar);
    fortschritt_->setObjectName(QStringLiteral("Fortschritt"));
    fortschritt_->setMaximumHeight(15);
    fortschritt_->setFixedWidth(160);
    fortschritt_->setTextVisible(false);
    fortschritt_->hide();
    statusBar->addPermanentWidget(fortschritt_);
    abbrechen_ = new QPushButton(QStringLiteral("Abbrechen"), statusBar);
    abbrechen_->setObjectName(QStringLiteral("Abbrechen"));
    abbrechen_->setToolTip(QStringLiteral("Die Auswertung des Scans abbrechen (Esc)"));
    abbrechen_->setMaximumHeight(17);
    abbrechen_->hide();
    connect(abbrechen_, &QPushButton::clicked, this, [this] { ScanAbbrechen(); });
    statusBar->addPermanentWidget(abbrechen_);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, [this] { ScanAbbrechen(); });
}

// The first page in its tab order: file field, grid, the buttons, the reflector height and the
// data formats.
void TQtForm1::BaueSeite1(QWidget* seite) {
    edit2_ = new QLineEdit(seite);
    edit2_->setObjectName(QStringLiteral("Edit2"));
    edit2_->setFont(Bold(edit2_));
    edit2_->setAcceptDrops(false);  // a dropped file goes to the window, which takes its name
    edit2_->setToolTip(QStringLiteral("Datei wählen: Doppelklick oder Strg+O"));
    edit2_->installEventFilter(this);
    connect(edit2_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit2.Text = t.toStdString(); });
    auto* dateiWaehlen = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(dateiWaehlen, &QShortcut::activated, this, [this] { Run(&TForm1::DateiWaehlen); });

    BaueGitter(seite);

    // The designer's Button1Click .. Button4Click: each button runs its named command.
    button1_ = Knopf(seite, "Button1", "Rechne", Qt::Key_F5, &TForm1::Rechne);

    label1_ = new QLabel(QString::fromUtf8("Reflektorhöhe"), seite);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->adjustSize();

    edit1_ = new QLineEdit(seite);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->resize(46, 21);
    edit1_->setFont(Bold(edit1_));
    edit1_->setAcceptDrops(false);
    connect(edit1_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit1.Text = t.toStdString(); });

    button3_ = Knopf(seite, "Button3", "Rechne Datei", Qt::Key_F6, &TForm1::RechneDatei);
    button2_ = Knopf(seite, "Button2", "Konvert", Qt::Key_F8, &TForm1::Konvert);
    BaueDatenformat(seite);
    button4_ = Knopf(seite, "Button4", "Polarauswertung", Qt::Key_F7, &TForm1::Polarauswertung);
    // "Scan auswerten" asks for the cloud on this thread first: its own slot, not a handler.
    button5_ = new QPushButton(QStringLiteral("Scan auswerten"), seite);
    button5_->setObjectName(QStringLiteral("Button5"));
    button5_->setAutoDefault(true);
    button5_->resize(std::max(75, TextBreite(button5_)), 25);
    button5_->setToolTip(QStringLiteral("Alle Kugeln mit dem Radius der Reflektorhöhe in einer Punktwolke finden (F9)"));
    connect(button5_, &QPushButton::clicked, this, [this] { ScanStarten(); });
    auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(f9, &QShortcut::activated, button5_, &QPushButton::click);
    standpunktLabel_ = new QLabel(QStringLiteral("Standpunkt"), seite);
    standpunktLabel_->setObjectName(QStringLiteral("StandpunktLabel"));
    standpunktLabel_->adjustSize();
    standpunkt_ = new QLineEdit(seite);
    standpunkt_->setObjectName(QStringLiteral("Standpunkt"));
    standpunkt_->setToolTip(QStringLiteral("Standpunkt des Scanners X Y Z (Meter) im System der Wolke; 0 0 0: ihr Ursprung"));
    standpunkt_->setAcceptDrops(false);
    connect(standpunkt_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Standpunkt.Text = t.toStdString(); });
    standpunktLabel_->setBuddy(standpunkt_);
    OrdneSeite1();

    QWidget::setTabOrder(edit2_, grid_);
    QWidget::setTabOrder(grid_, button1_);
    QWidget::setTabOrder(button1_, edit1_);
    QWidget::setTabOrder(edit1_, button3_);
    QWidget::setTabOrder(button3_, button2_);
    QWidget::setTabOrder(button2_, datenformat_->button(0));
    QWidget::setTabOrder(datenformat_->button(0), button4_);
    QWidget::setTabOrder(button4_, button5_);
    QWidget::setTabOrder(button5_, standpunkt_);
}

QPushButton* TQtForm1::Knopf(QWidget* seite, const char* name, const char* text, Qt::Key taste,
                             void (TForm1::*handler)()) {
    auto* knopf = new QPushButton(QString::fromUtf8(text), seite);
    knopf->setObjectName(QString::fromUtf8(name));
    // Enter on the focused button presses it. Outside a dialog no button becomes the default one
    // that Enter in a field would press.
    knopf->setAutoDefault(true);
    knopf->resize(std::max(75, TextBreite(knopf)), 25);
    knopf->setToolTip(QStringLiteral("%1 (%2)").arg(knopf->text(), QKeySequence(taste).toString()));
    connect(knopf, &QPushButton::clicked, this, [this, handler] { Run(handler); });
    // The key works wherever the focus is in the main window; a disabled button (while a command
    // runs) does nothing.
    auto* kurz = new QShortcut(QKeySequence(taste), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(kurz, &QShortcut::activated, knopf, &QPushButton::click);
    return knopf;
}

void TQtForm1::OrdneSeite1() {
    // What the window has grown beyond its designed 561 x 345 pixels (the pages 561 x 297 pixels
    // less the tabs and frame); nothing while it is smaller, before it has grown back.
    const int dx = std::max(0, pageControl_->width() - 561);
    const int dy = std::max(0, pageControl_->height() - 297);
    // The file field and the grid anchored left and right, up to the panel.
    edit2_->setGeometry(8, 8, 425 + dx, 21);
    grid_->setGeometry(3, 48, 446 + dx, 113 + dy);
    // The panel at the right edge.
    radioGroup_->move(455 + dx, 3);
    label1_->move(455 + dx, 140);
    edit1_->move(471 + dx, 159);
    // Two columns of buttons below the grid, the right one 6 pixels right of the wider left one.
    const int rechts = 8 + std::max(button1_->width(), button3_->width()) + 6;
    button1_->move(8, 184 + dy);
    button3_->move(8, 215 + dy);
    button2_->move(rechts, 184 + dy);
    button4_->move(rechts, 215 + dy);
    // The scan's button and its station field in a third column, the field up to the panel.
    const int dritte = rechts + std::max(button2_->width(), button4_->width()) + 6;
    button5_->move(dritte, 184 + dy);
    standpunktLabel_->move(dritte, 217 + dy + (21 - standpunktLabel_->height()) / 2);
    const int feld = dritte + standpunktLabel_->width() + 4;
    standpunkt_->setGeometry(feld, 217 + dy, std::max(60, 449 + dx - feld), 21);
}

// The grid shows the window model's cells through a table model: only the rows in view are drawn,
// whatever the number of points.
void TQtForm1::BaueGitter(QWidget* seite) {
    gitter_ = new TGitterModell(model_, palette().brush(QPalette::Button), this);
    grid_ = new QTableView(seite);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setModel(gitter_);
    grid_->setGeometry(3, 48, 446, 113);
    grid_->setFont(Bold(grid_));
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->verticalHeader()->setMinimumSectionSize(20);
    grid_->horizontalHeader()->setDefaultSectionSize(80);
    grid_->horizontalHeader()->setFixedHeight(20);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setMinimumSectionSize(8);
    grid_->setTabKeyNavigation(false);  // Tab goes on to the next control, the arrow keys move between cells
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    // A spreadsheet's copy and paste.
    auto* zellenKopieren = new QShortcut(QKeySequence::Copy, grid_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(zellenKopieren, &QShortcut::activated, this, [this] { KopiereZellen(); });
    auto* zellenEinfuegen = new QShortcut(QKeySequence::Paste, grid_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(zellenEinfuegen, &QShortcut::activated, this, [this] { FuegeZellenEin(); });
    auto* zellenLoeschen = new QShortcut(QKeySequence::Delete, grid_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(zellenLoeschen, &QShortcut::activated, this, [this] { LoescheZellen(); });
    BaueZeilenmenue();
}

// "Zeilen löschen" (Strg+Minus) and "Zeile einfügen" (Strg+Plus) for the chosen rows, by key in the
// grid and in its context menu.
void TQtForm1::BaueZeilenmenue() {
    auto zeilen = [this](void (TForm1::*befehl)()) {
        QRect b = Gewaehlt(grid_);
        if (!b.isValid() && grid_->currentIndex().isValid()) b = QRect(0, grid_->currentIndex().row(), 1, 1);
        // Table row r is grid row r + 1; nothing chosen: none (a row is then added at the end).
        model_.GewaehlteZeilen = b.isValid() ? TForm1::TZeilen{b.top() + 1, b.bottom() + 1} : TForm1::TZeilen{};
        Run(befehl);
    };
    zeilenLoeschen_ = new QAction(QString::fromUtf8("Zeilen löschen"), grid_);
    zeilenLoeschen_->setObjectName(QStringLiteral("ZeilenLoeschen"));
    zeilenLoeschen_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    zeilenLoeschen_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(zeilenLoeschen_, &QAction::triggered, this, [zeilen] { zeilen(&TForm1::ZeilenLoeschen); });
    zeileEinfuegen_ = new QAction(QString::fromUtf8("Zeile einfügen"), grid_);
    zeileEinfuegen_->setObjectName(QStringLiteral("ZeileEinfuegen"));
    // "+" is a key of its own on a German keyboard, Shift+"=" on an English one.
    zeileEinfuegen_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zeileEinfuegen_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(zeileEinfuegen_, &QAction::triggered, this, [zeilen] { zeilen(&TForm1::ZeilenEinfuegen); });
    grid_->addAction(zeilenLoeschen_);
    grid_->addAction(zeileEinfuegen_);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TQtForm1::BaueDatenformat(QWidget* seite) {
    radioGroup_ = new QGroupBox(QStringLiteral("Datenformat"), seite);
    radioGroup_->setObjectName(QStringLiteral("RadioGroup1"));
    radioGroup_->resize(98, 131);
    auto* radioLayout = new QVBoxLayout(radioGroup_);
    radioLayout->setContentsMargins(6, 2, 2, 2);
    radioLayout->setSpacing(0);
    datenformat_ = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(model_.RadioGroup1.Items.size()); ++i) {
        auto* item = new QRadioButton(Q(model_.RadioGroup1.Items[static_cast<std::size_t>(i)]), radioGroup_);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        radioLayout->addWidget(item);
        datenformat_->addButton(item, i);
    }
    connect(datenformat_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !refreshing_) model_.RadioGroup1.ItemIndex = id;
    });
}

// The report: one row a line, as many lines as the commands give.
void TQtForm1::BaueBericht(QWidget* seite) {
    bericht_ = new TBerichtModell(model_, this);
    memo_ = new TBerichtAnsicht(seite);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setModel(bericht_);
    memo_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    memo_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A fixed-width font at the window's size: the report's columns line up.
    QFont fest = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fest.setPointSizeF(font().pointSizeF());
    memo_->setFont(fest);
    bericht_->Zeichenmass(memo_->fontMetrics().horizontalAdvance(QLatin1Char('0')), memo_->fontMetrics().height() + 2);
    memo_->Masse(bericht_->Zeilenhoehe(), bericht_->Breite());
    auto* kopieren = new QShortcut(QKeySequence::Copy, memo_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(kopieren, &QShortcut::activated, this, [this] { KopiereBericht(); });
    auto* memoLayout = new QVBoxLayout(seite);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(memo_);
}

bool TQtForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit2_ && event->type() == QEvent::MouseButtonDblClick) {
        Run(&TForm1::DateiWaehlen);  // the designer's Edit2DblClick
        return true;
    }
    if (event->type() == QEvent::Resize && watched == pageControl_->widget(0)) OrdneSeite1();
    return QMainWindow::eventFilter(watched, event);
}

void TQtForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // A window manager that ignores the minimum size may make the window smaller: it grows back
    // (after this event, not inside it).
    if (event->size().expandedTo(minimumSize()) != event->size())
        QMetaObject::invokeMethod(this, [this] { resize(size().expandedTo(minimumSize())); }, Qt::QueuedConnection);
}

void TQtForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The activation: once, when the window is first shown. Closing a message box or the file
    // dialog, or coming back from another application, is no new activation.
    if (!activated_) {
        activated_ = true;
        Run(&TForm1::Startrechnung);  // the designer's FormActivate
    }
}

TQtForm1::~TQtForm1() {
    if (arbeiter_) arbeiter_->wait();  // the model must outlive the command working on it
    // The views go before the window model they show (the widgets would ask it while they close).
    delete pageControl_;
}

void TQtForm1::closeEvent(QCloseEvent* event) {
    if (!arbeiter_) {
        QMainWindow::closeEvent(event);
        return;
    }
    // Nothing is cut off halfway: the window closes when the command has ended.
    schliessen_ = true;
    statusText_->Setze(QString::fromUtf8("Das Fenster schließt, sobald der Befehl fertig ist …"));
    event->ignore();
}

void TQtForm1::Run(void (TForm1::*handler)()) {
    if (arbeiter_) return;  // one command at a time
    // The activation, the file dialog and the grid's rows belong to the window's own thread.
    if (handler == &TForm1::Startrechnung || handler == &TForm1::DateiWaehlen || handler == &TForm1::ZeilenLoeschen ||
        handler == &TForm1::ZeilenEinfuegen) {
        model_.Dispatch(handler);
        Refresh();
        statusText_->Setze(Q(model_.Statuszeile));
        return;
    }
    // A cell being edited goes into the grid first, as when a button is clicked (the editor loses
    // the focus and writes its text).
    if (QWidget* fokus = QApplication::focusWidget(); fokus && grid_->viewport()->isAncestorOf(fokus)) grid_->setFocus();
    befehl_ = handler;
    Beginne();
    arbeiter_ = QThread::create([this, handler] { gelungen_ = model_.Dispatch(handler); });
    connect(arbeiter_, &QThread::finished, this, &TQtForm1::Beende);
    arbeiter_->start();
}

void TQtForm1::Beginne() {
    // The rows in view and a screenful around them stay as they are shown.
    auto sichtbar = [](QAbstractItemView* v, int rand) {
        const int erste = v->indexAt(QPoint(0, 0)).row();
        const int letzte = v->indexAt(QPoint(0, v->viewport()->height() - 1)).row();
        const int von = std::max(0, erste) - rand;
        return std::pair{von, (letzte < 0 ? von + 2 * rand : letzte) + rand + 1};
    };
    const auto [gv, gb] = sichtbar(grid_, 50);
    gitter_->Einfrieren(gv, gb);
    const auto [mv, mb] = sichtbar(memo_, 100);
    bericht_->Einfrieren(mv, mb);
    letzterSchritt_.clear();
    letzteProzent_ = -2;
    dialoge_.NeueAuswertung();
    fokus_ = QApplication::focusWidget();  // closing the input takes the focus away
    pageControl_->setEnabled(false);
    toolBar_->setEnabled(false);
    for (QAction* a : {grafikAktion_, kugelnAktion_}) a->setEnabled(false);  // their keys work everywhere
    if (befehl_ == &TForm1::ScanAuswerten) abbrechen_->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    statusText_->Setze(QString::fromUtf8("Bitte warten …"));
    kugelnAngebot_->hide();
    fortschritt_->setRange(0, 0);
    fortschritt_->show();
}

void TQtForm1::Beende() {
    arbeiter_->wait();
    arbeiter_->deleteLater();
    arbeiter_ = nullptr;
    gitter_->Auftauen();
    Refresh();
    pageControl_->setEnabled(true);
    toolBar_->setEnabled(true);
    for (QAction* a : {grafikAktion_, kugelnAktion_}) a->setEnabled(true);
    // The focus comes back where it was (to the button pressed with Enter, say), or goes to the
    // cell or field an error named.
    if (fokus_ && isAncestorOf(fokus_)) fokus_->setFocus();
    ZeigeFehlerort();
    QApplication::restoreOverrideCursor();
    fortschritt_->hide();
    abbrechen_->hide();
    // What the command did, or the error that ended it.
    statusText_->Setze(Q(model_.Statuszeile));
    if (befehl_ == &TForm1::Polarauswertung && gelungen_) SageAuswertung();
    if (befehl_ == &TForm1::KugelZeigen && gelungen_ && model_.Uebersicht == TForm1::TUebersicht::Polar)
        ZeigeKugelbericht();
    // A scan's spheres are its result: the overview shows them at once.
    if (befehl_ == &TForm1::ScanAuswerten && gelungen_ && model_.Uebersicht == TForm1::TUebersicht::Scan &&
        !model_.Scan->Kugeln.empty() && !model_.Scan->Abgebrochen)
        ZeigeKugeln();
    emit Fertig();
    if (schliessen_) close();
}

void TQtForm1::ScanStarten() {
    if (arbeiter_) return;
    // The file dialog belongs to the window's thread; the evaluation runs beside it.
    model_.Dispatch(&TForm1::ScanWaehlen);
    Refresh();
    statusText_->Setze(Q(model_.Statuszeile));
    model_.ScanAbbrechen = false;
    if (model_.ScanGewaehlt) Run(&TForm1::ScanAuswerten);
}

void TQtForm1::ScanAbbrechen() {
    if (!arbeiter_ || befehl_ != &TForm1::ScanAuswerten) return;
    model_.ScanAbbrechen = true;
    statusText_->Setze(QString::fromUtf8("Scan auswerten: wird abgebrochen …"));
}

void TQtForm1::ZeigeFortschritt(const QString& schritt, int prozent) {
    if (!arbeiter_) return;  // a late report of a command that has ended
    if (!model_.ScanAbbrechen) statusText_->Setze(schritt);
    if (prozent < 0) {
        fortschritt_->setRange(0, 0);  // busy, without a share
    } else {
        fortschritt_->setRange(0, 100);
        fortschritt_->setValue(prozent);
    }
    fortschritt_->show();
}

void TQtForm1::Refresh() {
    refreshing_ = true;
    if (edit1_->text().toStdString() != model_.Edit1.Text) edit1_->setText(Q(model_.Edit1.Text));
    if (edit2_->text().toStdString() != model_.Edit2.Text) edit2_->setText(Q(model_.Edit2.Text));
    if (standpunkt_->text().toStdString() != model_.Standpunkt.Text) standpunkt_->setText(Q(model_.Standpunkt.Text));
    if (QAbstractButton* b = datenformat_->button(model_.RadioGroup1.ItemIndex)) b->setChecked(true);
    gitter_->Neu();
    RefreshMemo();
    if (grafik_) grafik_->Zeige(GrafikAus(model_));
    if (kugeln_ && befehl_ == &TForm1::Polarauswertung) kugeln_->Zeige(model_.Kugeln, model_.KugelnIterativ);
    if (kugeln_ && befehl_ == &TForm1::ScanAuswerten && model_.Uebersicht == TForm1::TUebersicht::Scan)
        kugeln_->ZeigeScan(model_.Scan);
    refreshing_ = false;
}

void TQtForm1::RefreshMemo() {
    // A new report is shown from its start; lines added to the report, from the first new one.
    const std::size_t erste = model_.Memo1Cleared != memoCleared_ || model_.Memo1.size() < memoShown_ ? 0 : memoShown_;
    bericht_->Auftauen();
    memo_->Masse(bericht_->Zeilenhoehe(), bericht_->Breite());
    memoCleared_ = model_.Memo1Cleared;
    memoShown_ = model_.Memo1.size();
    if (memoShown_ > 0)
        memo_->scrollTo(bericht_->index(static_cast<int>(std::min(erste, memoShown_ - 1))), QAbstractItemView::PositionAtTop);
}

void TQtForm1::SageAuswertung() {
    const TKugelListe& k = *model_.Kugeln;
    if (k.empty() && model_.Ergebnisse.empty()) return;  // the evaluation ended with an error
    QString text = Q(KugelZusammenfassung(k, model_.KugelnIterativ));
    if (const int still = dialoge_.Unterdrueckt(); still > 0)
        text += QStringLiteral(" (%1 weitere Meldungen nicht gezeigt)").arg(Q(Anzahl(static_cast<std::size_t>(still))));
    statusText_->Setze(text);  // cut where the window is too narrow for it, whole as the tooltip
    // Where spheres failed, the overview is a click away.
    kugelnAngebot_->setVisible(std::any_of(k.begin(), k.end(), Fehlgeschlagen));
}

void TQtForm1::ZeigeKugeln() {
    if (!kugeln_) {
        kugeln_ = new TQtKugelFenster(dialoge_, this);
        PlatziereNeben(kugeln_, this, kugeln_->size());
        connect(kugeln_, &TQtKugelFenster::KugelGewaehlt, this, [this](std::size_t kugel) {
            if (arbeiter_) return;
            model_.GewaehlteKugel = kugel;
            Run(&TForm1::KugelZeigen);
        });
    }
    if (model_.Uebersicht == TForm1::TUebersicht::Scan) {
        kugeln_->ZeigeScan(model_.Scan);
        // A scan has few spheres and many columns: as wide as they are where the screen allows.
        if (!kugeln_->isVisible() || kugeln_->width() < kugeln_->Breite())
            PlatziereNeben(kugeln_, this, QSize(std::max(kugeln_->width(), kugeln_->Breite()), kugeln_->height()));
    } else {
        kugeln_->Zeige(model_.Kugeln, model_.KugelnIterativ);
    }
    kugeln_->show();
    kugeln_->raise();
    kugeln_->activateWindow();
}

void TQtForm1::ZeigeFehlerort() {
    const TOrt& ort = model_.LetzterFehlerOrt;
    if (ort.GitterZeile >= 1 && ort.GitterZeile <= gitter_->rowCount() && ort.GitterSpalte >= 0) {
        // Table row r is grid row r + 1 (row 0 is the header).
        const QModelIndex zelle = gitter_->index(ort.GitterZeile - 1, ort.GitterSpalte);
        pageControl_->setCurrentIndex(0);
        grid_->setCurrentIndex(zelle);
        grid_->selectionModel()->select(zelle, QItemSelectionModel::ClearAndSelect);
        grid_->scrollTo(zelle);
        grid_->setFocus();
    } else if (ort.Zelle == "Feld Reflektorhöhe") {
        pageControl_->setCurrentIndex(0);
        edit1_->setFocus();
        edit1_->selectAll();
    }
}

void TQtForm1::ZeigeKugelbericht() {
    // The chosen sphere's own report lines in the report; none where it wrote none (the status
    // line says so).
    const TKugelListe& k = *model_.Kugeln;
    const std::size_t i = model_.GewaehlteKugel;
    memo_->selectionModel()->clearSelection();
    if (i >= k.size() || k[i].BerichtZeilen == 0 || k[i].Bericht >= model_.Memo1.size()) return;
    const std::size_t von = k[i].Bericht;
    const std::size_t bis = std::min(von + k[i].BerichtZeilen, model_.Memo1.size());
    memo_->selectionModel()->select(QItemSelection(bericht_->index(static_cast<int>(von)),
                                                   bericht_->index(static_cast<int>(bis - 1))),
                                    QItemSelectionModel::ClearAndSelect);
    memo_->scrollTo(bericht_->index(static_cast<int>(von)), QAbstractItemView::PositionAtTop);
}

void TQtForm1::ZeigeGrafik() {
    if (!grafik_) {
        grafik_ = new TQtGrafikFenster(dialoge_, this);
        PlatziereNeben(grafik_, this, grafik_->size());
    }
    grafik_->Zeige(GrafikAus(model_));
    grafik_->show();
    grafik_->raise();
    grafik_->activateWindow();
}

void TQtForm1::ZeigeHandbuch() {
    if (!handbuch_) {
        handbuch_ = new TQtHandbuch(this);
        // A page about as wide as the pictures in it, as tall as the screen allows.
        PlatziereNeben(handbuch_, this, QSize(760, 1000));
    }
    handbuch_->show();
    handbuch_->raise();
    handbuch_->activateWindow();
}

void TQtForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!arbeiter_ && !urls.isEmpty() && urls.front().isLocalFile()) event->acceptProposedAction();
}

void TQtForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (arbeiter_ || urls.isEmpty() || !urls.front().isLocalFile()) return;
    model_.Edit2.Text = QFileInfo(urls.front().toLocalFile()).absoluteFilePath().toStdString();
    Refresh();
    event->acceptProposedAction();
}

void TQtForm1::KopiereZellen() {
    // Table row r is grid row r + 1 (row 0 is the header).
    if (const QRect b = Gewaehlt(grid_); b.isValid())
        QApplication::clipboard()->setText(
            Q(zentrix::KopiereZellen(model_.StringGrid1, b.left(), b.top() + 1, b.right(), b.bottom() + 1,
                                     model_.MittelpunktGueltig)));
}

void TQtForm1::FuegeZellenEin() {
    const QModelIndex hier = grid_->currentIndex();
    const int col = hier.isValid() ? hier.column() : 1, row = hier.isValid() ? hier.row() + 1 : 1;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return;
    FuegeEin(model_.StringGrid1, col, row, text.toStdString());
    gitter_->Neu();
}

void TQtForm1::LoescheZellen() {
    if (const QRect b = Gewaehlt(grid_); b.isValid()) {
        zentrix::LoescheZellen(model_.StringGrid1, b.left(), b.top() + 1, b.right(), b.bottom() + 1);
        gitter_->Neu();
    }
}

void TQtForm1::KopiereBericht() {
    // The selected lines, in the order of the report.
    QModelIndexList gewaehlt = memo_->selectionModel()->selectedRows();
    std::sort(gewaehlt.begin(), gewaehlt.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList zeilen;
    for (const QModelIndex& i : gewaehlt) zeilen << i.data().toString();
    if (!zeilen.isEmpty()) QApplication::clipboard()->setText(zeilen.join(QLatin1Char('\n')));
}

}  // namespace zentrix
