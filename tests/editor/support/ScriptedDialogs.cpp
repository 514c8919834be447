#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::~ScriptedDialogs() {
    // A script that was not used up means the editor asked less than the test expected.
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted message answer(s) not used";
    EXPECT_TRUE(openAnswers_.empty()) << openAnswers_.size() << " scripted open answer(s) not used";
}

void ScriptedDialogs::answer(Button button, const QString& expectedTitle) {
    answers_.push_back({button, expectedTitle});
}

void ScriptedDialogs::answerOpen(std::optional<QString> path) { openAnswers_.push_back(std::move(path)); }

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const Message& message : messages) texts << message.text;
    return texts;
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
        const bool notice = message.buttons == QList<Button>{Button::Ok};
        if (notice) return Button::Ok;
        ADD_FAILURE() << "Unscripted question \"" << message.title.toStdString() << "\": \""
                      << message.text.toStdString() << "\"";
        return message.defaultButton;
    }
    const Answer next = answers_.front();
    answers_.pop_front();
    if (!next.expectedTitle.isEmpty()) {
        EXPECT_EQ(message.title.toStdString(), next.expectedTitle.toStdString())
            << "message: \"" << message.text.toStdString() << "\"";
    }
    EXPECT_TRUE(message.buttons.contains(next.button))
        << "scripted answer " << toString(next.button) << " is not a button of \"" << message.text.toStdString()
        << "\"";
    return next.button;
}

std::optional<QString> ScriptedDialogs::chooseProfile(const OpenRequest& request) {
    openRequests.push_back(request);
    if (openAnswers_.empty()) {
        ADD_FAILURE() << "Unscripted open dialog \"" << request.title.toStdString() << "\"";
        return std::nullopt;
    }
    const bool chosen = openAnswers_.front().has_value();
    const QString path = openAnswers_.front().value_or(QString());
    openAnswers_.pop_front();
    if (!chosen) return std::nullopt;
    return path;
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
