#pragma once
// The main window held in memory, for driving the editor without a toolkit or
// a display. It keeps what a real window keeps where the editor relies on it:
// each control's text (Unicode, through the Latin-1 code page of the Linux
// program), its enabled, visible and read-only states, its marker, the rows and
// selection of the lists, the panels that lock the controls inside them, and
// the focus. Everything starts as the layout data describes it.
//
// Its user actions do what a person can do and nothing more: typing into a
// disabled, hidden or read-only box, or into one in a locked panel, clicking a
// disabled button, picking a row that is not there, each is reported through
// the failure callback (the tests fail with it) and does nothing.
//
//   MemoryForm form([](const std::string& what) { ADD_FAILURE() << what; });
//   MainScreen screen(form, dialogs);
//   form.attach(&screen);
//   screen.Form_Load();
//   form.pickRow(Control::MachineType, 1);
//   form.click(Control::OpenProfile);
//   form.typeOver(Control::PortAdd, "3bc");

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Form.h"
#include "screens/Controls.h"

class MainScreen;

class MemoryForm : public Form {
public:
    using Failure = std::function<void(const std::string& what)>;

    explicit MemoryForm(Failure failure);

    // Every control back to its state in the layout; no screen attached.
    void reset();
    // The editor that hears of the user's actions and of the focus leaving a control.
    void attach(MainScreen* screen) { screen_ = screen; }

    // --- What a user does ---
    // Puts the focus into the box, then types each character, one change each.
    void type(Control box, std::string_view utf8Keys);
    // Puts the focus into the box, selects all its text and types over it; an
    // empty text is one press of Delete.
    void typeOver(Control box, std::string_view utf8Keys);
    // Clicks a button (which takes the focus, as buttons do) or a label.
    void click(Control control);
    // Opens the list (it takes the focus) and picks a row, also the one selected.
    void pickRow(Control list, int row);
    // Clicks into a control, or tabs to it: the focus moves there.
    void focus(Control control);
    void moveFocusTo(Control control) { focus(control); }
    // The window manager's close command.
    void close();

    // --- What the window shows, for the tests ---
    // The text as shown, in UTF-8.
    std::string text(Control control) const { return TextAsUtf8(control); }
    // Enabled and in no disabled panel: the user can work it.
    bool usable(Control control) const;
    // Visible and in no hidden panel.
    bool shown(Control control) const;
    std::vector<std::string> rows(Control list) const;
    // The name of a control, for messages ("Step0(3)", "PortAdd").
    static std::string Name(Control control);

    // --- Changes a test makes behind the editor's back; they run nothing ---
    void setTextDirectly(Control control, std::string_view utf8);
    void setTag(Control control, std::string tag);

    // --- Form ---
    std::string Text(Control control) const override;
    bool TextFitsBytes(Control control) const override;
    std::string TextAsUtf8(Control control) const override;
    void PutText(Control control, std::string_view bytes) override;
    void PutPath(Control control, const std::filesystem::path& path) override;
    std::string BytesAsUtf8(std::string_view bytes) const override;
    bool Enabled(Control control) const override;
    void SetEnabled(Control control, bool enabled) override;
    bool Visible(Control control) const override;
    void SetVisible(Control control, bool visible) override;
    bool ReadOnly(Control control) const override;
    void SetReadOnly(Control control, bool readOnly) override;
    std::string Tag(Control control) const override;
    void AddRow(Control list, std::string_view utf8) override;
    int RowCount(Control list) const override;
    int ListIndex(Control list) const override;
    void PutListIndex(Control list, int index) override;
    bool CanFocus(Control control) const override;
    void SetFocus(Control control) override;
    Control Focused() const override { return focused_; }

private:
    struct State {
        std::u32string text;
        bool enabled = true;
        bool visible = true;
        bool readOnly = false;
        std::string tag;
        std::vector<std::u32string> rows;
        int selected = -1;
        Control container = Control::None;
    };

    State& at(Control control);
    const State& at(Control control) const;
    bool known(Control control) const;
    void fail(const std::string& what) const;
    // The user can type into it: a text box or a list's text part, usable, shown, writable.
    bool checkTypable(Control box, const char* action) const;
    // Moves the focus as a user's click or Tab does; false when it could not.
    bool takeFocus(Control control, const char* action);
    // One keystroke's change, reported as the user's own.
    void typed(Control box);
    // A control that can no longer take the focus loses it.
    void dropFocusIfUnable();

    Failure failure_;
    MainScreen* screen_ = nullptr;
    std::vector<State> controls_;
    Control focused_ = Control::None;
};

// UTF-8 and UTF-32, for texts of the tests (a malformed sequence reads as U+FFFD).
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view text);
