#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

ScriptedDialogs::~ScriptedDialogs() {
    // A script that was not used up means the editor asked less than the test expected.
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted message answer(s) not used";
    EXPECT_TRUE(openAnswers_.empty()) << openAnswers_.size() << " scripted open answer(s) not used";
}

void ScriptedDialogs::answer(Button button, const std::string& expectedTitle) {
    answers_.push_back({button, expectedTitle});
}

void ScriptedDialogs::answerOpen(std::optional<std::filesystem::path> path) { openAnswers_.push_back(std::move(path)); }

std::vector<std::string> ScriptedDialogs::messageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages) texts.push_back(message.text);
    return texts;
}

std::string ScriptedDialogs::shown() const {
    std::string joined;
    for (const Message& message : messages) joined += (joined.empty() ? "" : " | ") + message.text;
    return "messages: " + (joined.empty() ? std::string("none") : joined);
}

void ScriptedDialogs::clearRecord() {
    messages.clear();
    openRequests.clear();
    helpRequests.clear();
    endProgramCalls = 0;
}

UserDialogs::Button ScriptedDialogs::showMessage(const Message& message) {
    messages.push_back(message);
    if (onMessage) onMessage(message);
    if (answers_.empty()) {
        const bool notice = message.buttons == std::vector<Button>{Button::Ok};
        if (notice) return Button::Ok;
        ADD_FAILURE() << "Unscripted question \"" << message.title << "\": \"" << message.text << "\"";
        return message.defaultButton;
    }
    const Answer next = answers_.front();
    answers_.pop_front();
    if (!next.expectedTitle.empty()) {
        EXPECT_EQ(message.title, next.expectedTitle) << "message: \"" << message.text << "\"";
    }
    EXPECT_TRUE(std::find(message.buttons.begin(), message.buttons.end(), next.button) != message.buttons.end())
        << "scripted answer " << toString(next.button) << " is not a button of \"" << message.text << "\"";
    return next.button;
}

std::optional<std::filesystem::path> ScriptedDialogs::chooseProfile(const OpenRequest& request) {
    openRequests.push_back(request);
    if (openAnswers_.empty()) {
        ADD_FAILURE() << "Unscripted open dialog \"" << request.title << "\"";
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chosen = openAnswers_.front();
    openAnswers_.pop_front();
    return chosen;
}

void ScriptedDialogs::showHelp(HelpWindow window) {
    helpRequests.push_back(window);
    if (onHelp) onHelp(window);
}

void ScriptedDialogs::endProgram() { ++endProgramCalls; }

const char* toString(UserDialogs::Button button) {
    switch (button) {
    case UserDialogs::Button::Ok: return "Ok";
    case UserDialogs::Button::Yes: return "Yes";
    case UserDialogs::Button::No: return "No";
    case UserDialogs::Button::SaveAnyway: return "SaveAnyway";
    case UserDialogs::Button::WriteAgain: return "WriteAgain";
    case UserDialogs::Button::Cancel: return "Cancel";
    }
    return "?";
}

const char* toString(UserDialogs::Icon icon) {
    switch (icon) {
    case UserDialogs::Icon::None: return "None";
    case UserDialogs::Icon::Warning: return "Warning";
    case UserDialogs::Icon::Question: return "Question";
    case UserDialogs::Icon::Critical: return "Critical";
    }
    return "?";
}

const char* toString(UserDialogs::HelpWindow window) {
    switch (window) {
    case UserDialogs::HelpWindow::HelpMeasure: return "HelpMeasure";
    case UserDialogs::HelpWindow::HelpPrinter: return "HelpPrinter";
    case UserDialogs::HelpWindow::HelpDigVFD: return "HelpDigVFD";
    case UserDialogs::HelpWindow::InfoProbeLogic: return "InfoProbeLogic";
    case UserDialogs::HelpWindow::InfoFourthAxisHoming: return "InfoFourthAxisHoming";
    }
    return "?";
}

void PrintTo(UserDialogs::Button button, std::ostream* out) { *out << toString(button); }
void PrintTo(UserDialogs::Icon icon, std::ostream* out) { *out << toString(icon); }

void PrintTo(const UserDialogs::Message& message, std::ostream* out) {
    *out << "{\"" << message.text << "\", \"" << message.title << "\", " << toString(message.icon) << ", {";
    for (std::size_t i = 0; i < message.buttons.size(); ++i) *out << (i ? ", " : "") << toString(message.buttons[i]);
    *out << "}, default " << toString(message.defaultButton) << "}";
}

void PrintTo(const UserDialogs::OpenRequest& request, std::ostream* out) {
    *out << "{\"" << request.title << "\", \"" << request.typeName << "\", \"" << request.pattern << "\", "
         << request.initialFolder << "}";
}

void layout::PrintTo(HelpWindow window, std::ostream* out) { *out << toString(window); }
