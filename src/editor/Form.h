#pragma once
// The editor's view of the main window's controls, addressed by the layout's
// names (the Step0 entries by index, through Step0(i)). Each front end
// implements it over its own widgets; the tests implement it in memory.
//
// Nothing here runs a handler: the editor's event rules (MainScreen::SetText
// and SetListIndex) run them. A front end reports what the user does through
// MainScreen's user-event calls, and only for what the user did.
//
// Texts are the profile's bytes: one byte per character, through the window's
// single-byte code page (Latin-1 on Linux, the system's ANSI code page on
// Windows), so that a value shown and written back unchanged gives its bytes.

#include <filesystem>
#include <string>
#include <string_view>

#include "screens/Controls.h"

class Form {
public:
    virtual ~Form() = default;

    // --- Text of a text box, or of a list's text part ---
    // The text as profile bytes. A character that the code page cannot hold
    // comes as '?', and TextFitsBytes then says false.
    virtual std::string Text(Control control) const = 0;
    virtual bool TextFitsBytes(Control control) const = 0;
    // The text as the user sees it, in UTF-8, for messages that quote it.
    virtual std::string TextAsUtf8(Control control) const = 0;
    // Replaces the text with profile bytes. Runs nothing.
    virtual void PutText(Control control, std::string_view bytes) = 0;
    // Shows a path (Unicode, no code page between), as txtOpenedFile does. Runs nothing.
    virtual void PutPath(Control control, const std::filesystem::path& path) = 0;
    // Profile bytes as this window shows them, in UTF-8, for messages.
    virtual std::string BytesAsUtf8(std::string_view bytes) const = 0;

    // --- States ---
    virtual bool Enabled(Control control) const = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;
    // The control's own visible setting (true for a shown control in a hidden panel).
    virtual bool Visible(Control control) const = 0;
    virtual void SetVisible(Control control, bool visible) = 0;
    virtual bool ReadOnly(Control control) const = 0;
    virtual void SetReadOnly(Control control, bool readOnly) = 0;
    // The marker text of the layout ("Hz", "Volts" or "").
    virtual std::string Tag(Control control) const = 0;

    // --- Lists ---
    virtual void AddRow(Control list, std::string_view utf8) = 0;  // selects nothing
    virtual int RowCount(Control list) const = 0;
    virtual int ListIndex(Control list) const = 0;  // -1 when no row is selected
    // Selects a row; an index the list does not have selects none. Runs nothing.
    virtual void PutListIndex(Control list, int index) = 0;

    // --- Focus ---
    // The control can take the focus: enabled, shown, and in no disabled or hidden panel.
    virtual bool CanFocus(Control control) const = 0;
    // Moves the focus there (nothing when it cannot take it). Like a user's move,
    // the control that loses the focus reports it through MainScreen::FocusLeft.
    virtual void SetFocus(Control control) = 0;
    // The control that has the focus, or Control::None.
    virtual Control Focused() const = 0;
};
