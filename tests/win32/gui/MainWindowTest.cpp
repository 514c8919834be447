// The main window as laid out: every control at its place at the screen's
// resolution, its text, font and colours, tooltips only where the layout gives
// them, the window's styles, a size the user may change while nothing inside
// moves, and the tab order.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "GuiSupport.h"
#include "screens/Layout.h"
#include "win32/Look.h"
#include "win32/Text.h"

namespace {

using guitest::PlaceInParent;
using guitest::ScriptedProgram;
using layout::Kind;

std::vector<const layout::ControlLayout*> VisualControls() {
    std::vector<const layout::ControlLayout*> controls;
    for (const layout::ControlLayout& laidOut : layout::MainWindow().controls)
        if (laidOut.kind != Kind::FileDialog) controls.push_back(&laidOut);
    return controls;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

std::map<Control, RECT> Places(const ScriptedProgram& program) {
    std::map<Control, RECT> places;
    for (const layout::ControlLayout* laidOut : VisualControls()) places[laidOut->id] = PlaceInParent(program.Item(laidOut->id));
    return places;
}

TEST(MainWindowLayout, EveryControlSitsAtItsPlaceInItsContainerAtTheScreenDpi) {
    ScriptedProgram program;
    const int dpi = program.window.Dpi();
    RECT client{};
    GetClientRect(program.window.Handle(), &client);
    const SIZE size = win32::ClientSize(layout::MainWindow(), dpi);
    EXPECT_EQ(client.right, size.cx);
    EXPECT_EQ(client.bottom, size.cy);

    for (const layout::ControlLayout* laidOut : VisualControls()) {
        SCOPED_TRACE(std::string(laidOut->name) + (laidOut->index >= 0 ? std::to_string(laidOut->index) : ""));
        HWND item = program.Item(laidOut->id);
        ASSERT_NE(item, nullptr);
        HWND container = laidOut->container.empty() ? program.window.Handle()
                                                 : program.Item(layout::FindMainControl(laidOut->container)->id);
        EXPECT_EQ(GetParent(item), container);
        EXPECT_EQ(Describe(PlaceInParent(item)), Describe(win32::PixelRect(*laidOut, dpi)));
        EXPECT_EQ((GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE) != 0, laidOut->visible);
        EXPECT_EQ(program.window.Tag(laidOut->id), laidOut->tag);
    }
}

TEST(MainWindowLayout, TextsFontsAndColoursAreTheLayouts) {
    ScriptedProgram program;
    const int dpi = program.window.Dpi();
    EXPECT_EQ(guitest::TextOf(program.window.Handle()), L"Configure Ombrel Profile");

    win32::FontSet fonts(dpi);
    const std::wstring face = fonts.Face();
    for (const layout::ControlLayout* laidOut : VisualControls()) {
        SCOPED_TRACE(std::string(laidOut->name));
        HWND item = program.Item(laidOut->id);
        EXPECT_EQ(guitest::TextOf(item), win32::FromUtf8(laidOut->text));
        const LOGFONTW font = guitest::FontOf(item);
        const double points = laidOut->font.points > 0 ? laidOut->font.points : layout::kDefaultPoints;
        EXPECT_EQ(font.lfHeight, win32::FontHeight(points, dpi));
        EXPECT_EQ(font.lfWeight, laidOut->font.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(std::wstring(font.lfFaceName), face);
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    }
    // Where the face is missing (as under Wine), the stand-in is narrowed to
    // the widths the captions were fitted to: no caption is wider than its label.
    HDC dc = GetDC(program.window.Handle());
    for (const Control label : {Control::Label5, Control::Label16, Control::Label19, Control::Label6, Control::Label8,
                                Control::Label7, Control::Label14, Control::Label10}) {
        const layout::ControlLayout& laidOut = layout::MainControl(label);
        SCOPED_TRACE(std::string(laidOut.name));
        HGDIOBJ old = SelectObject(dc, fonts.Get(laidOut.font));
        const std::wstring text = win32::FromUtf8(laidOut.text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        EXPECT_LE(extent.cx, layout::Pixels(laidOut.width, dpi));
    }
    ReleaseDC(program.window.Handle(), dc);

    // Colours, as each control asks its container for them when it paints.
    struct Coloured {
        Control control;
        UINT message;
        COLORREF text;  // CLR_INVALID: the system's
        int background;  // system colour index, or -1: the system's default
    };
    const Coloured table[] = {
        {Control::Label1, WM_CTLCOLORSTATIC, RGB(255, 0, 0), -1},
        {Control::SpinVel, WM_CTLCOLORSTATIC, CLR_INVALID, COLOR_BTNFACE},
        {Control::NewSteps, WM_CTLCOLORSTATIC, CLR_INVALID, COLOR_BTNFACE},
        {Control::TestSpeed, WM_CTLCOLORSTATIC, CLR_INVALID, COLOR_BTNFACE},
        {Control::Dummy, WM_CTLCOLORSTATIC, CLR_INVALID, COLOR_BTNFACE},
        {Control::PulseMagic, WM_CTLCOLOREDIT, CLR_INVALID, COLOR_SCROLLBAR},
        {Control::XMLRev, WM_CTLCOLOREDIT, CLR_INVALID, COLOR_SCROLLBAR},
    };
    HDC memory = CreateCompatibleDC(nullptr);
    for (const Coloured& c : table) {
        SCOPED_TRACE(std::string(layout::MainControl(c.control).name));
        SetTextColor(memory, RGB(1, 2, 3));
        HWND item = program.Item(c.control);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(GetParent(item), c.message, reinterpret_cast<WPARAM>(memory), reinterpret_cast<LPARAM>(item)));
        if (c.text != CLR_INVALID) {
            EXPECT_EQ(GetTextColor(memory), c.text);
        }
        if (c.background >= 0) {
            EXPECT_EQ(GetBkColor(memory), GetSysColor(c.background));
            LOGBRUSH fill{};
            GetObjectW(brush, sizeof(fill), &fill);
            EXPECT_EQ(fill.lbColor, GetSysColor(c.background));
        }
    }
    DeleteDC(memory);
    // Dummy is a blank patch: no border around nothing.
    EXPECT_EQ(GetWindowLongW(program.Item(Control::Dummy), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongW(program.Item(Control::TestSpeed), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

// Every tool of the window's tooltip control: the window it belongs to, and its text.
std::map<HWND, std::wstring> Tools(HWND tooltips) {
    std::map<HWND, std::wstring> tools;
    const auto count = static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = text;
        if (SendMessageW(tooltips, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)))
            tools[reinterpret_cast<HWND>(info.uId)] = text;
    }
    return tools;
}

TEST(MainWindowTooltips, OnlyTheControlsTheLayoutGivesOneHaveOneWordForWord) {
    ScriptedProgram program;
    const std::map<HWND, std::wstring> tools = Tools(program.window.Tooltips());
    for (const layout::ControlLayout* laidOut : VisualControls()) {
        SCOPED_TRACE(std::string(laidOut->name));
        const auto found = tools.find(program.Item(laidOut->id));
        if (laidOut->tooltip.empty()) {
            EXPECT_EQ(found, tools.end()) << "a tooltip the layout does not give";
        } else {
            ASSERT_NE(found, tools.end());
            EXPECT_EQ(found->second, win32::FromUtf8(laidOut->tooltip));
        }
    }
}

TEST(MainWindowTooltips, APanelsTooltipShowsOverItsOwnAreaNotOverItsChildren) {
    ScriptedProgram program;
    program.editor.EnableStuff(true);
    HWND tooltips = program.window.Tooltips();
    SendMessageW(tooltips, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
    SendMessageW(tooltips, TTM_SETDELAYTIME, TTDT_RESHOW, 10);

    struct Hover {
        Control over;
        POINT at;  // in the control's client area
        const char* expected;  // "" = no tooltip
    };
    const std::string spindle(layout::MainControl(Control::SpindleFrame).tooltip);
    const std::string jog(layout::MainControl(Control::JogFrame).tooltip);
    const Hover table[] = {
        {Control::SpindleFrame, {10, 150}, spindle.c_str()},  // the panel's empty lower left
        {Control::Label2, {5, 5}, ""},
        {Control::NewSteps, {5, 5}, ""},
        {Control::Label7, {3, 3}, ""},
        {Control::TestSpeed, {5, 5}, ""},
        {Control::SpinVel, {5, 5}, ""},  // on the window, in front of the panel
        {Control::HzAt500, {5, 5}, "Enter VFD Fr reading when in Low Gear and S-word as above"},
        {Control::JogFrame, {88, 40}, jog.c_str()},  // between the entries and "Quick settings"
        {Control::Label10, {10, 5}, ""},
        {Control::Step0_3, {5, 5}, "Set a step size"},
        {Control::Label11, {10, 10}, "All these are used in sequence so fill table with duplicate values if necessary"},
    };
    for (const Hover& h : table) {
        SCOPED_TRACE(std::string(layout::MainControl(h.over).name));
        // Away first, so that each case starts with no tooltip shown.
        guitest::MoveMouse(POINT{1000, 750});
        guitest::PumpUntil([&] { return !IsWindowVisible(tooltips); }, 2000, &program.window);
        POINT at = h.at;
        ClientToScreen(program.Item(h.over), &at);
        guitest::MoveMouse(at);
        guitest::MoveMouse(POINT{at.x + 1, at.y});
        const bool shown = guitest::PumpUntil([&] { return IsWindowVisible(tooltips) != FALSE; }, 1200, &program.window);
        ASSERT_EQ(WindowFromPoint(at), program.Item(h.over)) << "the point is not over the control";
        if (std::string(h.expected).empty()) {
            EXPECT_FALSE(shown) << "shows \"" << win32::ToUtf8(guitest::TextOf(tooltips)) << "\"";
        } else {
            EXPECT_TRUE(shown);
            wchar_t text[512] = {};
            TTTOOLINFOW info{};
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            info.lpszText = text;
            SendMessageW(tooltips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(win32::ToUtf8(text), h.expected);
        }
    }
    guitest::MoveMouse(POINT{1000, 750});
}

TEST(MainWindowFrame, ASizableToolWindowWithoutBoxesOutOfTheTaskbarWithTheProgramsIcon) {
    ScriptedProgram program;
    HWND window = program.window.Handle();
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "no close, minimize or maximize box";
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0) << "small caption, no task-bar entry";
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    // The user makes it larger and smaller; nothing inside moves or resizes.
    const std::map<Control, RECT> before = Places(program);
    RECT outer{};
    GetWindowRect(window, &outer);
    for (const SIZE change : {SIZE{+180, +120}, SIZE{-260, -300}}) {
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + change.cx, outer.bottom - outer.top + change.cy,
                     SWP_NOMOVE | SWP_NOZORDER);
        guitest::Pump(50, &program.window);
        RECT now{};
        GetWindowRect(window, &now);
        EXPECT_EQ(now.right - now.left, outer.right - outer.left + change.cx) << "the size did not change";
        for (const auto& [control, place] : Places(program))
            EXPECT_EQ(Describe(place), Describe(before.at(control))) << layout::MainControl(control).name;
    }
}

TEST(MainWindowFocus, TabFollowsTheLayoutsOrderSkippingWhatCannotTakeTheFocus) {
    ScriptedProgram program;
    const std::vector<Control> order{
        Control::OpenProfile, Control::Dummy, Control::txtOpenedFile, Control::SpinVel, Control::ManVolts,
        Control::AutoVolts, Control::NewSteps, Control::SaveButt, Control::DoneButt, Control::HelpMeasButt,
        Control::HelpPort, Control::Step0_0, Control::Step0_1, Control::Step0_2, Control::Step0_3, Control::Step0_4,
        Control::Step0_5, Control::Step0_6, Control::Step0_7, Control::Step0_8, Control::Step0_9, Control::SetDef,
        Control::SetSmallInch, Control::SetSmallMM, Control::HzAt500, Control::PulseMagic, Control::XMLRev,
        Control::MachineType, Control::TestSpeed, Control::ProbeLogicCombo, Control::PortAdd,
        Control::FourthHomingCombo, Control::cmdProbeLogicInfo, Control::cmdFourthAxisHomingInfo};
    EXPECT_EQ(program.window.TabOrder(), order);

    // At start only SpinVel, "Done" and the machine list take the focus, SpinVel first.
    SetForegroundWindow(program.window.Handle());
    guitest::Pump(50, &program.window);
    EXPECT_EQ(program.window.Focused(), Control::SpinVel);
    struct Step {
        bool shift;
        Control then;
    };
    for (const Step step : {Step{false, Control::DoneButt}, Step{false, Control::MachineType},
                            Step{false, Control::SpinVel}, Step{true, Control::MachineType},
                            Step{true, Control::DoneButt}}) {
        guitest::PressKey(VK_TAB, step.shift);
        guitest::PumpUntil([&] { return program.window.Focused() == step.then; }, 1000, &program.window);
        EXPECT_EQ(layout::MainControl(program.window.Focused()).name, layout::MainControl(step.then).name);
    }
    // With the panels enabled, Tab from "Done" reaches the spindle's Help next.
    program.editor.EnableStuff(true);
    program.window.SetFocus(Control::DoneButt);
    guitest::PressKey(VK_TAB);
    guitest::PumpUntil([&] { return program.window.Focused() == Control::HelpMeasButt; }, 1000, &program.window);
    EXPECT_EQ(program.window.Focused(), Control::HelpMeasButt);
}

}  // namespace
