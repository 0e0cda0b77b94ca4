// The manual in a window of its own beside the main window: docs/Handbuch.md with its pictures,
// compiled into the program as a Qt resource, so that it is there wherever the program runs.
#pragma once

#include <QWidget>

class QTextBrowser;
class QTextDocument;

namespace zentrix {

// The manual among the program's resources; its pictures lie beside it.
extern const char* const HandbuchQuelle;

// The anchor a heading goes by in a link of the table of contents: "## 9 Das Stapelwerkzeug
// `zentrix-cli`" is "#9-das-stapelwerkzeug-zentrix-cli".
QString Anker(const QString& ueberschrift);
// Names every heading of the document by its anchor, so that a link "#anker" scrolls to it.
void Verankere(QTextDocument* dokument);

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
