// SPDX-License-Identifier: GPL-3.0-or-later
// The modal dialogs of the real window: Qt message boxes and the Qt file dialogs.
#pragma once

#include <QString>
#include <atomic>

#include "window/Dialoge.hpp"

class QWidget;

namespace zentrix {

class TQtDialoge : public IDialoge {
public:
    explicit TQtDialoge(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    // From the second message box of one run on, the box offers "Keine weiteren Meldungen dieser
    // Auswertung"; ticked, the run's further messages are only counted.
    using IDialoge::ShowError;
    using IDialoge::ShowMessage;
    void ShowMessage(const std::string& text, const TOrt& ort) override;
    std::optional<std::string> OpenFile() override;
    void ShowError(const std::string& text, const TOrt& ort) override;
    std::optional<std::string> SaveFile(const std::string& vorschlag) override;
    void NeueAuswertung() override;
    int Unterdrueckt() const override { return unterdrueckt_; }

private:
    QWidget* parent_;
    std::atomic<int> meldungen_{0};     // message boxes of this run
    std::atomic<bool> still_{false};    // the user asked for no more
    std::atomic<int> unterdrueckt_{0};  // messages not shown
};

// The application's title, shown in the caption of message and error boxes.
QString ApplicationTitle();

// A box text: a text of more than this many characters is cut, with "…", the whole under "Details".
constexpr int KastenZeichen = 300;
QString KastenText(const QString& text);

}  // namespace zentrix
