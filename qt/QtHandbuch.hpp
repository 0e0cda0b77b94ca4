// The manual in a window of its own beside the main window: docs/Handbuch.md with its pictures,
// compiled into the program as a Qt resource, so that it is there wherever the program runs.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace zentrix {

// The manual among the program's resources; its pictures lie beside it.
extern const char* const HandbuchQuelle;

class TQtHandbuch : public QWidget {
    Q_OBJECT

public:
    explicit TQtHandbuch(QWidget* parent = nullptr);
    // The rendered manual (object name "Handbuch").
    QTextBrowser* Text() const { return text_; }

private:
    QTextBrowser* text_ = nullptr;
};

}  // namespace zentrix
