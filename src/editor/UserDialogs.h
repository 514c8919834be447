#pragma once
// Everything the editor shows modally goes through this seam: message boxes, the
// open-file dialog, the help windows, and ending the program. The real one wraps
// Qt's dialogs; tests answer from a script and record every call.

#include <QList>
#include <QString>
#include <optional>

class UserDialogs {
public:
    enum class Icon { None, Warning, Question, Critical };
    enum class Button { Ok, Yes, No, SaveAnyway, WriteAgain, Cancel };

    struct Message {
        QString text;
        QString title;
        Icon icon = Icon::None;
        QList<Button> buttons{Button::Ok};
        Button defaultButton = Button::Ok;
        bool operator==(const Message&) const = default;
    };

    struct OpenRequest {
        QString title;          // "Open Profile"
        QString typeName;       // "Profiles "
        QString pattern;        // "*.xml"
        QString initialFolder;  // where the dialog starts
        bool operator==(const OpenRequest&) const = default;
    };

    enum class HelpWindow { HelpMeasure, HelpPrinter, HelpDigVFD, InfoProbeLogic, InfoFourthAxisHoming };

    virtual ~UserDialogs() = default;

    // Shows a modal message box and returns the button pressed.
    virtual Button showMessage(const Message& message) = 0;

    // Shows the open-file dialog; the chosen file's full path, or nullopt on cancel.
    virtual std::optional<QString> chooseProfile(const OpenRequest& request) = 0;

    // Shows a help window modally and returns when the user has closed it.
    virtual void showHelp(HelpWindow window) = 0;

    // Ends the program.
    virtual void endProgram() = 0;
};
