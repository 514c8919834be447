#pragma once
// The main window in plain Win32, built from the layout: every control at its
// place in pixels at the screen's resolution, the panels as real containers,
// fonts, colours, tooltips and the window's own Tab order. It is the editor's
// Form, and it reports what the user does through UserEvents; what the editor
// or this window sets itself is never reported as the user's doing.

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/Form.h"
#include "editor/UserEvents.h"
#include "screens/Controls.h"
#include "screens/Layout.h"
#include "win32/Look.h"

namespace win32 {

class MainWindow final : public Form {
public:
    // Builds the window and its controls, hidden. Check Created() and, when it
    // failed, CreationError().
    explicit MainWindow(HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    bool Created() const { return window_ != nullptr; }
    const std::wstring& CreationError() const { return creationError_; }

    // Where the user's doings go; nullptr reports nothing.
    void SetEvents(UserEvents* events) { events_ = events; }
    // From now on nothing more is reported (the program is ending).
    void StopEvents() { events_ = nullptr; }

    // Shows the window and gives the focus to the first control that takes it.
    void Show(int showCommand);

    // The window's own keys, before the message is dispatched: Tab and
    // Shift+Tab through the tab order, Enter on a button. True when taken.
    bool PreTranslate(const MSG& message);

    HWND Handle() const { return window_; }
    HWND Item(Control control) const;
    HWND Tooltips() const { return tooltips_; }
    int Dpi() const { return dpi_; }
    // The focusable controls in the order Tab visits them (whatever their state).
    const std::vector<Control>& TabOrder() const { return tabOrder_; }
    // The control that owns this window handle (a list's text part belongs to
    // its list), or Control::None.
    Control ControlOf(HWND handle) const;

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
    Control Focused() const override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Build(HINSTANCE instance);
    HWND CreateControl(const layout::ControlLayout& laidOut, HINSTANCE instance);
    void Subclass(HWND handle, Control control);
    void AddTooltip(HWND tool, const std::wstring& text);
    void Command(HWND from, WORD code);
    HBRUSH Colours(HWND control, HDC dc, bool editable);
    void ApplyEnabled(Control control);
    void PutWindowText(Control control, const std::wstring& text);
    std::wstring WindowText(Control control) const;
    bool IsOurs(HWND handle) const;
    void MoveFocus(int direction);
    void FocusLost(Control control, HWND to);
    void RestoreFocus();

    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    int dpi_ = 96;
    FontSet fonts_;
    BrushSet brushes_;
    std::wstring creationError_;
    UserEvents* events_ = nullptr;

    std::array<HWND, kControlCount> items_{};
    std::array<HWND, kControlCount> listEdits_{};   // the text part of each list
    std::array<Control, kControlCount> frameOf_{};  // the panel a control sits in, or None
    std::array<bool, kControlCount> ownEnabled_{};  // the control's own setting, whatever its panel's
    std::array<bool, kControlCount> listOpen_{};    // a list's drop-down is showing
    std::array<int, kControlCount> rowAtOpen_{};    // the row chosen when the list dropped down
    std::array<bool, kControlCount> picked_{};      // a pick was reported for the action under way
    std::vector<Control> tabOrder_;
    struct Hooked;  // a control whose focus changes the window follows
    std::vector<std::unique_ptr<Hooked>> hooked_;
    HWND lastFocus_ = nullptr;
    int quiet_ = 0;  // a text is being put from code: its change is not the user's
};

}  // namespace win32
