#pragma once
// The test seam for everything the editor shows modally. It records every call
// and answers from a script, so no dialog is shown.
//
//   ScriptedDialogs dialogs;
//   dialogs.answer(UserDialogs::Button::No);          // the next question
//   dialogs.answerOpen("/tmp/x/profile.xml");          // the next open dialog
//   dialogs.answerOpen(std::nullopt);                  // ... cancelled
//
// A message with only an OK button is a notice: it is answered OK when nothing is
// scripted. Any other message, or an open dialog, without a scripted answer fails
// the running test and names what was asked.

#include <deque>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "editor/UserDialogs.h"

class ScriptedDialogs : public UserDialogs {
public:
    ~ScriptedDialogs() override;

    // --- The script ---
    // Answers the next message box with `button`; when `expectedTitle` is given,
    // the box must carry that title.
    void answer(Button button, const std::string& expectedTitle = {});
    // Answers the next open dialog with a path, or with cancel (nullopt).
    void answerOpen(std::optional<std::filesystem::path> path);
    // Called while a message box is "shown", before it is answered: lets a test
    // look at the window as the user sees it at that moment.
    std::function<void(const Message&)> onMessage;
    // Called while a help window is "shown".
    std::function<void(HelpWindow)> onHelp;

    // --- What was shown, in order ---
    std::vector<Message> messages;
    std::vector<OpenRequest> openRequests;
    std::vector<HelpWindow> helpRequests;
    int endProgramCalls = 0;

    // True when every scripted answer has been used.
    bool scriptUsed() const { return answers_.empty() && openAnswers_.empty(); }
    // Texts of the recorded messages, for compact expectations.
    std::vector<std::string> messageTexts() const;
    // The same, joined with " | ", for failure output.
    std::string shown() const;
    // Forgets what was recorded (the script stays).
    void clearRecord();

    Button showMessage(const Message& message) override;
    std::optional<std::filesystem::path> chooseProfile(const OpenRequest& request) override;
    void showHelp(HelpWindow window) override;
    void endProgram() override;

private:
    struct Answer {
        Button button;
        std::string expectedTitle;
    };
    std::deque<Answer> answers_;
    std::deque<std::optional<std::filesystem::path>> openAnswers_;
};

// Printable names, for test failure output.
const char* toString(UserDialogs::Button button);
const char* toString(UserDialogs::Icon icon);
const char* toString(UserDialogs::HelpWindow window);
void PrintTo(UserDialogs::Button button, std::ostream* out);
void PrintTo(UserDialogs::Icon icon, std::ostream* out);
void PrintTo(const UserDialogs::Message& message, std::ostream* out);
void PrintTo(const UserDialogs::OpenRequest& request, std::ostream* out);
namespace layout {
void PrintTo(HelpWindow window, std::ostream* out);
}
