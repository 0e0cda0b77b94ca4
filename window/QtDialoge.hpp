// The modal dialogs of the real window: Qt message boxes and the Qt open-file dialog.
#pragma once

#include <QString>

#include "window/Dialoge.hpp"

class QWidget;

namespace zentrix {

class TQtDialoge : public IDialoge {
public:
    explicit TQtDialoge(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text) override;
    std::optional<std::string> OpenFile() override;
    void ShowError(const std::string& text) override;

private:
    QWidget* parent_;
};

// The application's title, shown in the caption of message and error boxes.
QString ApplicationTitle();

}  // namespace zentrix
