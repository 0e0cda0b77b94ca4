// SPDX-License-Identifier: GPL-3.0-or-later
// The modal things a command may need: a message box, the open-file dialog and the error box.
// The Qt window answers them with real dialogs; tests and the batch tool record them.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/Ort.hpp"

namespace zentrix {

class IDialoge {
public:
    virtual ~IDialoge() = default;
    // A modal box with one text and an "OK" button; returns when the user has closed it. Where the
    // message has a place (a sphere and its lines, a line and field of a file), it stands beside
    // the text.
    virtual void ShowMessage(const std::string& text, const TOrt& ort) = 0;
    void ShowMessage(const std::string& text) { ShowMessage(text, TOrt{}); }
    // The open-file dialog: the chosen file's full path, or nothing when the user cancels.
    virtual std::optional<std::string> OpenFile() = 0;
    // The error box for an error that ended a command (text with the period rule applied), with
    // the place where it arose beside the text.
    virtual void ShowError(const std::string& text, const TOrt& ort) = 0;
    void ShowError(const std::string& text) { ShowError(text, TOrt{}); }
    // The save dialog for a picture (PNG or SVG) or, when the name offered ends in ".csv", a table:
    // the chosen file's full path, or nothing when the user cancels. vorschlag: the name offered.
    virtual std::optional<std::string> SaveFile(const std::string& vorschlag) = 0;

    // A command begins: the message boxes of its run are counted afresh.
    virtual void NeueAuswertung() {}
    // How many messages of the run the user chose not to see.
    virtual int Unterdrueckt() const { return 0; }
};

// Records every message and error with its place; answers the open-file dialog from a queue
// (cancel when empty).
class TRecordingDialoge : public IDialoge {
public:
    using IDialoge::ShowError;
    using IDialoge::ShowMessage;
    void ShowMessage(const std::string& text, const TOrt& ort) override {
        Messages.push_back(text);
        MessageOrte.push_back(ort);
    }
    std::optional<std::string> OpenFile() override {
        ++OpenFileCalls;
        if (FileAnswers.empty()) return std::nullopt;
        auto answer = FileAnswers.front();
        FileAnswers.pop_front();
        return answer;
    }
    void ShowError(const std::string& text, const TOrt& ort) override {
        Errors.push_back(text);
        ErrorOrte.push_back(ort);
    }
    std::optional<std::string> SaveFile(const std::string& vorschlag) override {
        SaveSuggestions.push_back(vorschlag);
        if (SaveAnswers.empty()) return std::nullopt;
        auto answer = SaveAnswers.front();
        SaveAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> Messages;
    std::vector<TOrt> MessageOrte;  // the place of each message (empty where it has none)
    std::vector<std::string> Errors;
    std::vector<TOrt> ErrorOrte;
    std::deque<std::optional<std::string>> FileAnswers;
    int OpenFileCalls = 0;
    std::deque<std::optional<std::string>> SaveAnswers;
    std::vector<std::string> SaveSuggestions;
};

}  // namespace zentrix
