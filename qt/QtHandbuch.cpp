#include "qt/QtHandbuch.hpp"

#include <QDesktopServices>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace zentrix {

const char* const HandbuchQuelle = "qrc:/handbuch/Handbuch.md";

QString Anker(const QString& ueberschrift) {
    // As the common Markdown renderers name a heading: small letters, blanks as hyphens, every
    // other character that is no letter, digit, hyphen or underscore left out.
    QString anker;
    for (const QChar c : ueberschrift.trimmed().toLower()) {
        if (c == QLatin1Char(' ')) anker += QLatin1Char('-');
        else if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) anker += c;
    }
    return anker;
}

void Verankere(QTextDocument* dokument) {
    for (QTextBlock b = dokument->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0 || b.length() <= 1) continue;
        QTextCursor cursor(b);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({Anker(b.text())});
        cursor.mergeCharFormat(format);
    }
}

TQtHandbuch::TQtHandbuch(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HandbuchFenster"));
    setWindowTitle(QStringLiteral("Handbuch – Zentrix"));
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("Handbuch"));
    // A link of the table of contents ("#anker") scrolls to its heading, a link into the web opens
    // in the browser; the pictures resolve beside the manual. The browser's own handling would load
    // the manual anew for a link into it and lose the headings' anchors.
    text_->setOpenLinks(false);
    text_->setSource(QUrl(QString::fromLatin1(HandbuchQuelle)), QTextDocument::MarkdownResource);
    Verankere(text_->document());
    connect(text_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        // The browser hands a link into the manual on resolved against it.
        const QUrl ohneAnker = link.adjusted(QUrl::RemoveFragment);
        const bool hierher = ohneAnker.isEmpty() || ohneAnker == text_->source().adjusted(QUrl::RemoveFragment);
        if (hierher && link.hasFragment()) text_->scrollToAnchor(link.fragment());
        else QDesktopServices::openUrl(link);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    setMinimumSize(320, 240);
}

}  // namespace zentrix
