#pragma once
// The six windows described once, as data: every control's name, kind,
// container, caption, place and size in twips, tab index, Tag, tooltip, font,
// colours and design-time settings, and each window's caption, style, placement
// and client size. The front ends build their windows from this and nothing
// else; no toolkit is named here.
//
// Texts are UTF-8 ("©" is two bytes). Positions are twips (1/1440 inch), from
// the top-left corner of the control's container: the window's client area, or
// the frame the control sits in.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "screens/Controls.h"

namespace layout {

enum class Kind : std::uint8_t {
    Label,       // static text, wrapped at word boundaries; can be clicked
    TextBox,     // single line
    Frame,       // captioned panel holding other controls; disables them with itself
    Button,
    ComboBox,    // drop-down list whose text part can also be typed into
    FileDialog,  // the non-visual open-file dialog component
    PictureBox,  // picture at its own pixel size, clipped, inside a 2-pixel sunken border
    Image,       // picture stretched to the rectangle, no border, aspect ratio not kept
};

enum class Align : std::uint8_t { Left, Right, Centre };

// Colours by role; the system's colours are looked up by each front end.
enum class Colour : std::uint8_t {
    Default,       // the system's colour for the control's kind
    Red,           // RGB 255, 0, 0
    DarkRed,       // RGB 64, 0, 0
    ButtonFace,    // the system's button-face colour
    ScrollBar,     // the system's scroll-bar colour
    TitleBarText,  // the system's title-bar text colour (white in the usual scheme)
};

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};
// The fixed colours; nullopt for the system's own ones.
std::optional<Rgb> FixedColour(Colour colour);

// A font of its own; points 0 means the window's default font.
struct Font {
    double points = 0;
    bool bold = false;
    bool operator==(const Font&) const = default;
};
inline constexpr Font kWindowFont{};
inline constexpr Font kBoldCaption{9.75, true};  // the main window's numbered steps and two buttons

// The face every window uses, and the size of the window's default font.
inline constexpr std::string_view kFontFace = "MS Sans Serif";
inline constexpr double kDefaultPoints = 8.25;

struct ControlLayout {
    Control id = Control::None;   // the main window's controls; None in the help windows
    std::string_view name{};        // "Step0" for every entry of the jog array
    int index = -1;               // element of a control array (Step0 0 to 9, Label1 0 and 1), else -1
    Kind kind = Kind::Label;
    std::string_view container{};   // name of the frame it sits in; "" = on the window
    std::string_view text{};        // caption or initial text
    int left = 0, top = 0, width = 0, height = 0;  // twips
    int tab = 0;                  // position in the window's tab sequence
    std::string_view tag{};         // "Hz", "Volts" or ""
    std::string_view tooltip{};     // "" = none
    Font font = kWindowFont;
    Colour foreColour = Colour::Default;  // a frame's applies to its caption only
    Colour backColour = Colour::Default;
    Align align = Align::Left;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;
    bool border = true;           // a text box draws its sunken border
    std::string_view picture{};     // file of the illustration in src/screens/art, for picture boxes and images
    int pictureWidth = 0, pictureHeight = 0;  // the illustration's own size in pixels
};

enum class Border : std::uint8_t {
    FixedDialog,        // dialog frame the user cannot resize
    SizableToolWindow,  // resizable frame, small caption bar
    Sizable,            // the ordinary resizable frame
};

struct WindowLayout {
    std::string_view name{};     // "MainScreen", "HelpMeasure", ...
    std::string_view caption{};
    Border border = Border::Sizable;
    bool controlBox = true;    // the close box (and the system menu)
    bool minMaxBoxes = false;  // minimize and maximize boxes
    bool inTaskbar = false;
    bool manualPlacement = false;  // client area's top-left at (left, top) on the screen
    int left = 0, top = 0;         // twips, for manual placement
    int clientWidth = 0, clientHeight = 0;  // twips
    bool programIcon = false;      // the window shows the program's own icon
    std::span<const ControlLayout> controls{};  // in the window's own order
};

// The main window. Its controls come in the order of the Control enum, so that
// MainControl(c) is controls[c]; that order is the window's own order.
const WindowLayout& MainWindow();
const ControlLayout& MainControl(Control control);
// The main window's control with that name (and index, for Step0), or nullptr.
const ControlLayout* FindMainControl(std::string_view name, int index = -1);

// The five help and information windows.
enum class HelpWindow : std::uint8_t { HelpMeasure, HelpPrinter, HelpDigVFD, InfoProbeLogic, InfoFourthAxisHoming };
inline constexpr int kHelpWindows = 5;
const WindowLayout& Help(HelpWindow window);

// Twips to pixels at the given dots per inch, rounded to the nearest pixel
// (15 twips are one pixel at 96 dpi).
constexpr int Pixels(int twips, int dpi = 96) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    // Rounds half up, also for negative values (-45 twips are -3 pixels).
    const long long q = (scaled + 720) / 1440;
    return static_cast<int>((scaled + 720) % 1440 < 0 ? q - 1 : q);
}

}  // namespace layout
