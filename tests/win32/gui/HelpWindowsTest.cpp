// The five help windows as laid out: caption, frame, place and client size,
// the pictures at their own size in sunken boxes or stretched, the labels and
// their fonts; modal over the main window; created once and shown in their
// design state each time; Escape and Enter do not close them, the close box does.
#include <gtest/gtest.h>

#include <atomic>

#include "GuiSupport.h"
#include "win32/Look.h"
#include "win32/Text.h"
#include "win32/Win32Dialogs.h"

namespace {

using layout::HelpWindow;
using layout::Kind;

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// What the user sees of one showing, taken while it is shown.
struct Seen {
    bool shown = false;
    std::wstring caption;
    LONG style = 0, exStyle = 0;
    RECT client{};
    POINT clientOrigin{};
    bool ownerDisabled = false;
    bool stayedOpen = false;  // after Escape and Enter
    std::vector<std::string> items;  // each control: place, text, font
    std::vector<bool> picturesDrawn;  // a picture box shows its picture's first pixels
    std::vector<std::string> pictures;  // each control: sunken border or not, its picture's size
};

// A control as seen: its place, and a label's text and font.
std::string ItemOf(HWND item) {
    std::string seen = Describe(guitest::PlaceInParent(item));
    wchar_t kind[32] = {};
    GetClassNameW(item, kind, 32);
    if (lstrcmpiW(kind, L"Static") != 0) return seen;
    const LOGFONTW font = guitest::FontOf(item);
    return seen + " \"" + win32::ToUtf8(guitest::TextOf(item)) + "\" " + std::to_string(font.lfHeight) +
           (font.lfWeight >= FW_BOLD ? " bold" : "");
}

std::string ExpectedItem(const layout::ControlLayout& laidOut, int dpi) {
    std::string expected = Describe(win32::PixelRect(laidOut, dpi));
    if (laidOut.kind != Kind::Label) return expected;
    const double points = laidOut.font.points > 0 ? laidOut.font.points : layout::kDefaultPoints;
    return expected + " \"" + std::string(laidOut.text) + "\" " + std::to_string(win32::FontHeight(points, dpi)) +
           (laidOut.font.bold ? " bold" : "");
}

// Shows the window as its button does and looks at it while it shows; the
// user resizes it (where it can be) and then closes it with its close box.
Seen ShowAndClose(win32::Win32Dialogs& dialogs, HWND owner, HelpWindow which) {
    Seen seen;
    const std::wstring caption = win32::FromUtf8(layout::Help(which).caption);
    {
        guitest::Meanwhile user([&] {
            HWND window = guitest::WaitForWindow(caption);
            if (!window) return;
            Sleep(300);  // painted
            seen.shown = true;
            seen.caption = guitest::TextOf(window);
            seen.style = GetWindowLongW(window, GWL_STYLE);
            seen.exStyle = GetWindowLongW(window, GWL_EXSTYLE);
            GetClientRect(window, &seen.client);
            ClientToScreen(window, &seen.clientOrigin);
            seen.ownerDisabled = !IsWindowEnabled(owner);
            for (HWND item : dialogs.Help().Items(which)) {
                seen.items.push_back(ItemOf(item));
                const win32::Picture* picture = dialogs.Help().PictureOf(item);
                const bool sunken = (GetWindowLongW(item, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
                seen.pictures.push_back(std::string(sunken ? "sunken " : "") +
                                        (!picture                ? std::string("no picture")
                                         : picture->bitmap ? std::to_string(picture->width) + "x" +
                                                                 std::to_string(picture->height)
                                                           : win32::ToUtf8(picture->error)));
                if (!picture || !picture->bitmap || (GetWindowLongW(item, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0)
                    continue;
                // A picture box shows its picture from its top-left corner, unscaled.
                HDC screen = GetDC(item);
                HDC memory = CreateCompatibleDC(screen);
                HGDIOBJ old = SelectObject(memory, picture->bitmap);
                bool same = true;
                for (const POINT p : {POINT{5, 6}, POINT{17, 9}, POINT{40, 33}})
                    same = same && GetPixel(screen, p.x, p.y) == GetPixel(memory, p.x, p.y);
                SelectObject(memory, old);
                DeleteDC(memory);
                ReleaseDC(item, screen);
                seen.picturesDrawn.push_back(same);
            }
            for (const UINT key : {VK_ESCAPE, VK_RETURN}) {
                PostMessageW(window, WM_KEYDOWN, key, 1);
                PostMessageW(window, WM_KEYUP, key, 0xC0000001);
            }
            Sleep(300);
            seen.stayedOpen = IsWindowVisible(window) != FALSE;
            if (seen.style & WS_THICKFRAME) {
                RECT outer{};
                GetWindowRect(window, &outer);
                SetWindowPos(window, nullptr, outer.left + 40, outer.top + 30, outer.right - outer.left + 120,
                             outer.bottom - outer.top + 90, SWP_NOZORDER);
            }
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            guitest::WaitGone(window);
        });
        dialogs.showHelp(which);
    }
    return seen;
}

class HelpWindows : public ::testing::TestWithParam<HelpWindow> {};

TEST_P(HelpWindows, ShowAsLaidOutModalOnceCreatedAndInTheirDesignStateEachTime) {
    const HelpWindow which = GetParam();
    const layout::WindowLayout& laidOut = layout::Help(which);
    guitest::ScriptedProgram program;
    const int dpi = program.window.Dpi();
    win32::Win32Dialogs dialogs(GetModuleHandleW(nullptr), dpi);
    dialogs.SetOwner(program.window.Handle());

    const Seen first = ShowAndClose(dialogs, program.window.Handle(), which);
    const Seen second = ShowAndClose(dialogs, program.window.Handle(), which);
    ASSERT_TRUE(first.shown && second.shown) << "the window did not show";
    EXPECT_EQ(dialogs.Help().Creations(which), 1);
    EXPECT_TRUE(IsWindowEnabled(program.window.Handle())) << "the main window takes input again";

    for (const Seen* seen : {&first, &second}) {
        SCOPED_TRACE(seen == &first ? "first showing" : "second showing");
        EXPECT_EQ(seen->caption, win32::FromUtf8(laidOut.caption));
        EXPECT_TRUE(seen->ownerDisabled) << "not modal";
        EXPECT_TRUE(seen->stayedOpen) << "Escape or Enter closed it";
        EXPECT_EQ(seen->client.right, layout::Pixels(laidOut.clientWidth, dpi));
        EXPECT_EQ(seen->client.bottom, layout::Pixels(laidOut.clientHeight, dpi));
        if (laidOut.manualPlacement) {
            EXPECT_EQ(seen->clientOrigin.x, layout::Pixels(laidOut.left, dpi));
            EXPECT_EQ(seen->clientOrigin.y, layout::Pixels(laidOut.top, dpi));
        }
        EXPECT_NE(seen->style & WS_SYSMENU, 0) << "a close box";
        switch (laidOut.border) {
        case layout::Border::FixedDialog:
            EXPECT_EQ(seen->style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
            EXPECT_NE(seen->exStyle & WS_EX_DLGMODALFRAME, 0);
            EXPECT_EQ(seen->exStyle & WS_EX_APPWINDOW, 0);
            break;
        case layout::Border::SizableToolWindow:
            EXPECT_NE(seen->style & WS_THICKFRAME, 0);
            EXPECT_EQ(seen->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
            EXPECT_NE(seen->exStyle & WS_EX_TOOLWINDOW, 0);
            break;
        case layout::Border::Sizable:
            EXPECT_EQ(seen->style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                      WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
            EXPECT_NE(seen->exStyle & WS_EX_APPWINDOW, 0) << "a task-bar entry of its own";
            break;
        }
        std::vector<std::string> expected;
        for (const layout::ControlLayout& control : laidOut.controls) expected.push_back(ExpectedItem(control, dpi));
        EXPECT_EQ(seen->items, expected);
        for (const bool drawn : seen->picturesDrawn) EXPECT_TRUE(drawn) << "the picture box does not show its picture";
    }
    // Each picture decoded at the illustration's own size, the sunken border
    // only around picture boxes.
    std::vector<std::string> pictures;
    for (const layout::ControlLayout& control : laidOut.controls)
        pictures.push_back(std::string(control.kind == Kind::PictureBox ? "sunken " : "") +
                           (control.picture.empty() ? std::string("no picture")
                                                    : std::to_string(control.pictureWidth) + "x" +
                                                          std::to_string(control.pictureHeight)));
    EXPECT_EQ(first.pictures, pictures);
    EXPECT_EQ(dialogs.Help().Window(which), nullptr) << "the on-screen window outlived its showing";
}

INSTANTIATE_TEST_SUITE_P(All, HelpWindows,
                         ::testing::Values(HelpWindow::HelpMeasure, HelpWindow::HelpPrinter, HelpWindow::HelpDigVFD,
                                           HelpWindow::InfoProbeLogic, HelpWindow::InfoFourthAxisHoming),
                         [](const ::testing::TestParamInfo<HelpWindow>& param) {
                             return std::string(layout::Help(param.param).name);
                         });

}  // namespace
