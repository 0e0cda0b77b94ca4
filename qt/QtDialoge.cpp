// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtDialoge.hpp"

#include <QApplication>
#include <QCheckBox>
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

// The box's text, and a long one in full under "Details"; the place as the secondary text.
void Setze(QMessageBox& box, const std::string& text, const TOrt& ort) {
    const QString ganz = QString::fromStdString(text);
    box.setText(KastenText(ganz));
    if (box.text() != ganz) box.setDetailedText(ganz);
    if (!ort.Leer()) box.setInformativeText(KastenText(QString::fromStdString(OrtText(ort))));
}

}  // namespace

QString ApplicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Zentrix") : name;
}

QString KastenText(const QString& text) {
    if (text.size() <= KastenZeichen) return text;
    return text.left(KastenZeichen) + QString::fromUtf8("…");
}

void TQtDialoge::NeueAuswertung() {
    meldungen_ = 0;
    still_ = false;
    unterdrueckt_ = 0;
}

void TQtDialoge::ShowMessage(const std::string& text, const TOrt& ort) {
    if (still_) {
        ++unterdrueckt_;
        return;
    }
    const bool angebot = ++meldungen_ >= 2;
    AufOberflaeche([this, &text, &ort, angebot] {
        QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), QString(), QMessageBox::Ok, parent_);
        box.setObjectName(QStringLiteral("Meldung"));
        Setze(box, text, ort);
        QCheckBox* still = nullptr;
        if (angebot) {
            still = new QCheckBox(QStringLiteral("Keine weiteren Meldungen dieser Auswertung"));
            still->setObjectName(QStringLiteral("KeineWeiterenMeldungen"));
            box.setCheckBox(still);
        }
        box.exec();
        if (still != nullptr && still->isChecked()) still_ = true;
    });
}

std::optional<std::string> TQtDialoge::OpenFile() {
    // No file-type filter and no initial folder: every file is listed.
    QString chosen;
    AufOberflaeche([this, &chosen] { chosen = QFileDialog::getOpenFileName(parent_, QObject::tr("Öffnen")); });
    if (chosen.isEmpty()) return std::nullopt;
    return QFileInfo(chosen).absoluteFilePath().toStdString();
}

void TQtDialoge::ShowError(const std::string& text, const TOrt& ort) {
    AufOberflaeche([this, &text, &ort] {
        QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QString(), QMessageBox::Ok, parent_);
        box.setObjectName(QStringLiteral("Fehlermeldung"));
        Setze(box, text, ort);
        box.exec();
    });
}

std::optional<std::string> TQtDialoge::SaveFile(const std::string& vorschlag) {
    QString chosen;
    AufOberflaeche([this, &chosen, &vorschlag] {
        // A table (the sphere overview) or a picture, by the name offered.
        if (QFileInfo(QString::fromStdString(vorschlag)).suffix().toLower() == QLatin1String("csv")) {
            chosen = QFileDialog::getSaveFileName(parent_, QStringLiteral("Kugeltabelle speichern"),
                                                  QString::fromStdString(vorschlag),
                                                  QStringLiteral("CSV-Tabelle (*.csv)"));
            if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".csv");
            return;
        }
        const QString png = QStringLiteral("PNG-Bild (*.png)"), svg = QStringLiteral("SVG-Zeichnung (*.svg)");
        QString filter = png;
        chosen = QFileDialog::getSaveFileName(parent_, QStringLiteral("Grafik speichern"),
                                              QString::fromStdString(vorschlag), png + QStringLiteral(";;") + svg,
                                              &filter);
        // A name without ending gets the chosen type's.
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
            chosen += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    });
    if (chosen.isEmpty()) return std::nullopt;
    return QFileInfo(chosen).absoluteFilePath().toStdString();
}

}  // namespace zentrix
