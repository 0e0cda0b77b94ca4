#include "qt/QtHandbuch.hpp"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zentrix {

const char* const HandbuchQuelle = "qrc:/handbuch/Handbuch.md";

TQtHandbuch::TQtHandbuch(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HandbuchFenster"));
    setWindowTitle(QStringLiteral("Handbuch – Zentrix"));
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("Handbuch"));
    // Links into the web open in the browser; the pictures resolve beside the manual.
    text_->setOpenExternalLinks(true);
    text_->setSource(QUrl(QString::fromLatin1(HandbuchQuelle)), QTextDocument::MarkdownResource);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    setMinimumSize(320, 240);
}

}  // namespace zentrix
