#include "window/QtForm1.hpp"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTranslator>
#include <QVBoxLayout>

namespace zentrix {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The user's settings of Zentrix (tests switch QStandardPaths to its test mode first).
QSettings Einstellungen() { return QSettings(QStringLiteral("Zentrix"), QStringLiteral("Zentrix")); }

// The residual cell of the point the outlier test marks.
const QColor AusreisserFarbe(255, 170, 170);

QFont Bold(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
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
    : QMainWindow(parent), model_(dialoge, testDirectory) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(FormCaption));

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setFixedHeight(29);
    addToolBar(toolBar);
    iterieren_ = toolBar->addAction(QStringLiteral("Iterieren"));
    iterieren_->setObjectName(QStringLiteral("Iterieren"));
    iterieren_->setCheckable(true);
    iterieren_->setToolTip(QStringLiteral("Ausgleichung bis zur Konvergenz rechnen"));
    iterieren_->setChecked(Einstellungen().value(QStringLiteral("Iterieren"), false).toBool());
    model_.Iterieren = iterieren_->isChecked();
    connect(iterieren_, &QAction::toggled, this, [this](bool an) {
        model_.Iterieren = an;
        Einstellungen().setValue(QStringLiteral("Iterieren"), an);
    });
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setFixedHeight(19);
    statusBar->setSizeGripEnabled(false);
    setStatusBar(statusBar);

    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(pageControl_);
    auto* tabSheet1 = new QWidget;
    tabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* tabSheet2 = new QWidget;
    tabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    pageControl_->addTab(tabSheet1, QStringLiteral("TabSheet1"));
    pageControl_->addTab(tabSheet2, QStringLiteral("TabSheet2"));

    edit2_ = new QLineEdit(tabSheet1);
    edit2_->setObjectName(QStringLiteral("Edit2"));
    edit2_->setGeometry(8, 8, 425, 21);
    edit2_->setFont(Bold(edit2_));
    edit2_->installEventFilter(this);
    connect(edit2_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit2.Text = t.toStdString(); });

    grid_ = new QTableWidget(tabSheet1);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setGeometry(3, 48, 446, 113);
    grid_->setFont(Bold(grid_));
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->verticalHeader()->setMinimumSectionSize(20);
    grid_->horizontalHeader()->setDefaultSectionSize(80);
    grid_->horizontalHeader()->setFixedHeight(20);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setMinimumSectionSize(8);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (refreshing_) return;
        const int col = item->column(), row = item->row() + 1;
        if (row < model_.StringGrid1.RowCount() && col < model_.StringGrid1.ColCount())
            model_.StringGrid1.Cells(col, row) = item->text().toStdString();
    });

    auto* button1 = new QPushButton(QStringLiteral("Rechne"), tabSheet1);
    button1->setObjectName(QStringLiteral("Button1"));
    button1->setGeometry(8, 184, 75, 25);
    connect(button1, &QPushButton::clicked, this, [this] { Run(&TForm1::Button1Click); });

    auto* label1 = new QLabel(QString::fromUtf8("Reflektorhöhe"), tabSheet1);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->move(455, 140);
    label1->adjustSize();

    edit1_ = new QLineEdit(tabSheet1);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(471, 159, 46, 21);
    edit1_->setFont(Bold(edit1_));
    connect(edit1_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit1.Text = t.toStdString(); });

    auto* button3 = new QPushButton(QStringLiteral("Rechne Datei"), tabSheet1);
    button3->setObjectName(QStringLiteral("Button3"));
    button3->setGeometry(8, 215, 75, 25);
    connect(button3, &QPushButton::clicked, this, [this] { Run(&TForm1::Button3Click); });

    auto* button2 = new QPushButton(QStringLiteral("Konvert"), tabSheet1);
    button2->setObjectName(QStringLiteral("Button2"));
    button2->setGeometry(89, 184, 75, 25);
    connect(button2, &QPushButton::clicked, this, [this] { Run(&TForm1::Button2Click); });

    auto* radioGroup = new QGroupBox(QStringLiteral("Datenformat"), tabSheet1);
    radioGroup->setObjectName(QStringLiteral("RadioGroup1"));
    radioGroup->setGeometry(455, 3, 98, 131);
    auto* radioLayout = new QVBoxLayout(radioGroup);
    radioLayout->setContentsMargins(6, 2, 2, 2);
    radioLayout->setSpacing(0);
    datenformat_ = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(model_.RadioGroup1.Items.size()); ++i) {
        auto* item = new QRadioButton(Q(model_.RadioGroup1.Items[static_cast<std::size_t>(i)]), radioGroup);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        radioLayout->addWidget(item);
        datenformat_->addButton(item, i);
    }
    connect(datenformat_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !refreshing_) model_.RadioGroup1.ItemIndex = id;
    });

    auto* button4 = new QPushButton(QStringLiteral("Polarauswertung"), tabSheet1);
    button4->setObjectName(QStringLiteral("Button4"));
    button4->setGeometry(89, 215, 75, 25);
    connect(button4, &QPushButton::clicked, this, [this] { Run(&TForm1::Button4Click); });

    QWidget::setTabOrder(edit2_, grid_);
    QWidget::setTabOrder(grid_, button1);
    QWidget::setTabOrder(button1, edit1_);
    QWidget::setTabOrder(edit1_, button3);
    QWidget::setTabOrder(button3, button2);
    QWidget::setTabOrder(button2, datenformat_->button(0));
    QWidget::setTabOrder(datenformat_->button(0), button4);

    memo_ = new QPlainTextEdit(tabSheet2);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* memoLayout = new QVBoxLayout(tabSheet2);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(memo_);

    // The grid keeps its distance to the right edge of the page when the window widens.
    tabSheet1->installEventFilter(this);

    resize(561, 345);
    move(0, 0);
    Refresh();
}

bool TQtForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit2_ && event->type() == QEvent::MouseButtonDblClick) {
        Run(&TForm1::Edit2DblClick);
        return true;
    }
    if (event->type() == QEvent::Resize && watched == pageControl_->widget(0)) {
        // Anchored left, top and right: 446 pixels wide in the designed 561-pixel window.
        auto* page = static_cast<QWidget*>(watched);
        const int designedPageWidth = 561 - (pageControl_->width() - page->width());
        grid_->resize(std::max(40, 446 + page->width() - designedPageWidth), grid_->height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TQtForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The activation: once, when the window is first shown. Closing a message box or the file
    // dialog, or coming back from another application, is no new activation.
    if (!activated_) {
        activated_ = true;
        Run(&TForm1::FormActivate);
    }
}

void TQtForm1::Run(void (TForm1::*handler)()) {
    model_.Dispatch(handler);
    Refresh();
}

void TQtForm1::Refresh() {
    refreshing_ = true;
    if (edit1_->text().toStdString() != model_.Edit1.Text) edit1_->setText(Q(model_.Edit1.Text));
    if (edit2_->text().toStdString() != model_.Edit2.Text) edit2_->setText(Q(model_.Edit2.Text));
    if (QAbstractButton* b = datenformat_->button(model_.RadioGroup1.ItemIndex)) b->setChecked(true);
    RefreshGrid();
    RefreshMemo();
    refreshing_ = false;
}

void TQtForm1::RefreshGrid() {
    const TStringGrid& g = model_.StringGrid1;
    grid_->setColumnCount(g.ColCount());
    grid_->setRowCount(g.RowCount() - 1);
    QStringList headers;
    for (int c = 0; c < g.ColCount(); ++c) headers << Q(g.Cells(c, 0));
    grid_->setHorizontalHeaderLabels(headers);
    const QBrush fixed = palette().brush(QPalette::Button);
    for (int r = 1; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c) {
            const QString text = Q(g.Cells(c, r));
            QTableWidgetItem* item = grid_->item(r - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c == 0) {  // the fixed column of labels
                    item->setFlags(Qt::ItemIsEnabled);
                    item->setBackground(fixed);
                }
                grid_->setItem(r - 1, c, item);
            }
            if (item->text() != text) item->setText(text);
            if (c == 4) item->setBackground(r == model_.AusreisserZeile ? QBrush(AusreisserFarbe) : QBrush());
        }
    }
}

void TQtForm1::RefreshMemo() {
    const TMemoLines& lines = model_.Memo1;
    if (model_.Memo1Cleared != memoCleared_ || lines.size() < memoShown_ ||
        memo_->document()->isEmpty()) {
        QStringList all;
        for (const auto& l : lines) all << Q(l);
        memo_->setPlainText(all.join(QLatin1Char('\n')));
        memoCleared_ = model_.Memo1Cleared;
    } else if (lines.size() > memoShown_) {
        QStringList added;
        for (std::size_t i = memoShown_; i < lines.size(); ++i) added << Q(lines[i]);
        memo_->appendPlainText(added.join(QLatin1Char('\n')));
    }
    memoShown_ = lines.size();
}

}  // namespace zentrix
