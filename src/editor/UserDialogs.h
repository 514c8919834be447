#pragma once
// Everything the editor shows modally goes through this seam: message boxes, the
// open-file dialog, the help windows, and ending the program. Each front end
// implements it with its toolkit's dialogs; tests answer from a script and
// record every call. Texts are UTF-8.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "screens/Layout.h"

class UserDialogs {
public:
    enum class Icon { None, Warning, Question, Critical };
    enum class Button { Ok, Yes, No, SaveAnyway, WriteAgain, Cancel };

    struct Message {
        std::string text;
        std::string title;
        Icon icon = Icon::None;
        std::vector<Button> buttons{Button::Ok};
        Button defaultButton = Button::Ok;
        bool operator==(const Message&) const = default;
    };

    struct OpenRequest {
        std::string title;                     // "Open Profile"
        std::string typeName;                  // "Profiles "
        std::string pattern;                   // "*.xml"
        std::filesystem::path initialFolder;   // where the dialog starts
        bool operator==(const OpenRequest&) const = default;
    };

    using HelpWindow = layout::HelpWindow;

    virtual ~UserDialogs() = default;

    // Shows a modal message box and returns the button pressed.
    virtual Button showMessage(const Message& message) = 0;

    // Shows the open-file dialog; the chosen file's full path, or nullopt on cancel.
    virtual std::optional<std::filesystem::path> chooseProfile(const OpenRequest& request) = 0;

    // Shows a help window modally and returns when the user has closed it.
    virtual void showHelp(HelpWindow window) = 0;

    // Ends the program.
    virtual void endProgram() = 0;
};
