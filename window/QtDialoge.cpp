#include "window/QtDialoge.hpp"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace zentrix {

namespace {

// A dialog belongs to the window's thread: a command running on the worker thread waits there
// until the user has answered it.
template <class F>
void AufOberflaeche(F f) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) f();
    else QMetaObject::invokeMethod(QCoreApplication::instance(), f, Qt::BlockingQueuedConnection);
}

}  // namespace

QString ApplicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Zentrix") : name;
}

void TQtDialoge::ShowMessage(const std::string& text) {
    AufOberflaeche([this, &text] {
        QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), QString::fromStdString(text), QMessageBox::Ok, parent_);
        box.setObjectName(QStringLiteral("Meldung"));
        box.exec();
    });
}

std::optional<std::string> TQtDialoge::OpenFile() {
    // No file-type filter and no initial folder: every file is listed.
    QString chosen;
    AufOberflaeche([this, &chosen] { chosen = QFileDialog::getOpenFileName(parent_, QObject::tr("Öffnen")); });
    if (chosen.isEmpty()) return std::nullopt;
    return QFileInfo(chosen).absoluteFilePath().toStdString();
}

void TQtDialoge::ShowError(const std::string& text) {
    AufOberflaeche([this, &text] {
        QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QString::fromStdString(text), QMessageBox::Ok, parent_);
        box.setObjectName(QStringLiteral("Fehlermeldung"));
        box.exec();
    });
}

}  // namespace zentrix
