#pragma once
// The test seam for everything the editor shows modally. It records every call
// and answers from a script, so no dialog is shown and no event loop is nested.
//
//   ScriptedDialogs dialogs;
//   dialogs.answer(UserDialogs::Button::No);          // the next question
//   dialogs.answerOpen("/tmp/x/profile.xml");          // the next open dialog
//   dialogs.answerOpen(std::nullopt);                  // ... cancelled
//
// A message with only an OK button is a notice: it is answered OK when nothing is
// scripted. Any other message, or an open dialog, without a scripted answer fails
// the running test and names what was asked.

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

#include "editor/UserDialogs.h"

class ScriptedDialogs : public UserDialogs {
public:
    ~ScriptedDialogs() override;

    // --- The script ---
    // Answers the next message box with `button`; when `expectedTitle` is given,
    // the box must carry that title.
    void answer(Button button, const QString& expectedTitle = {});
    // Answers the next open dialog with a path, or with cancel (nullopt).
    void answerOpen(std::optional<QString> path);
    // Called while a message box is "shown", before it is answered: lets a test
    // look at the window as the user sees it at that moment.
    std::function<void(const Message&)> onMessage;
    // Called while a help window is "shown".
    std::function<void(HelpWindow)> onHelp;

    // --- What was shown, in order ---
    QList<Message> messages;
    QList<OpenRequest> openRequests;
    QList<HelpWindow> helpRequests;
    int endProgramCalls = 0;

    // True when every scripted answer has been used.
    bool scriptUsed() const { return answers_.empty() && openAnswers_.empty(); }
    // Texts of the recorded messages, for compact expectations.
    QStringList messageTexts() const;
    // Forgets what was recorded (the script stays).
    void clearRecord();

    Button showMessage(const Message& message) override;
    std::optional<QString> chooseProfile(const OpenRequest& request) override;
    void showHelp(HelpWindow window) override;
    void endProgram() override;

private:
    struct Answer {
        Button button;
        QString expectedTitle;
    };
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> openAnswers_;
};

// Printable names, for test failure output.
const char* toString(UserDialogs::Button button);
const char* toString(UserDialogs::Icon icon);
