// The real window: shows the window model TForm1 and passes the user's events to its handlers.
#pragma once

#include <QMainWindow>
#include <string>

#include "window/UnitBogenschnitt3D.hpp"

class QAction;
class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace zentrix {

class TQtForm1 : public QMainWindow {
    Q_OBJECT

public:
    // dialoge answers the modal things (message box, open-file dialog, error box).
    TQtForm1(IDialoge& dialoge, const std::string& testDirectory, QWidget* parent = nullptr);

    TForm1& Model() { return model_; }
    // The tool bar's "Iterieren": the converged solver for every command (kept in the user's
    // settings).
    QAction* Iterieren() const { return iterieren_; }
    // Shows the model's values in the widgets.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Run(void (TForm1::*handler)());
    void RefreshGrid();
    void RefreshMemo();

    TForm1 model_;
    bool activated_ = false;
    bool refreshing_ = false;
    std::size_t memoShown_ = 0;
    int memoCleared_ = 0;

    QTabWidget* pageControl_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QButtonGroup* datenformat_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QAction* iterieren_ = nullptr;
};

// Application-wide set-up before the first widget: German standard dialog texts, the window font.
// Returns the family of the font in use.
QString SetupApplication();

}  // namespace zentrix
