// The help and information windows: their forms as designed, what their pictures
// show, and how they are shown: created once, modal, always from the design state,
// closed only by the close box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "screens/HelpWindows.h"

namespace {

using Window = HelpWindows::Window;

const Window kAllWindows[] = {Window::HelpMeasure, Window::HelpPrinter, Window::HelpDigVFD, Window::InfoProbeLogic,
                              Window::InfoFourthAxisHoming};

enum class Style { FixedDialog, SizableToolWindow, SizableWindow };

// Pixels from twips at 96 dpi.
constexpr int px(int twips) { return twips / 15; }

struct WindowDesign {
    Window window;
    const char* name;
    const char* caption;
    Style style;
    std::optional<QPoint> placedAt;  // the client area's top-left on the screen; none: the system's choice
    QSize client;
};

const WindowDesign kWindows[] = {
    {Window::HelpMeasure, "HelpMeasure", "Measuring Spindle Control Volts", Style::FixedDialog,
     QPoint(px(2760), px(3750)), QSize(px(6255), px(6405))},
    {Window::HelpPrinter, "HelpPrinter", "Finding Printer Port address in XP", Style::SizableToolWindow,
     QPoint(px(2775), px(3720)), QSize(px(9150), px(9930))},
    {Window::HelpDigVFD, "HelpDigVFD", "Digital VFD Help", Style::FixedDialog, QPoint(px(2760), px(3750)),
     QSize(px(4755), px(5445))},
    {Window::InfoProbeLogic, "InfoProbeLogic", "Probe Logic", Style::SizableWindow, std::nullopt,
     QSize(px(7860), px(8190))},
    {Window::InfoFourthAxisHoming, "InfoFourthAxisHoming", "Fourth Axis Homing Kit (PN 58204)",
     Style::SizableWindow, std::nullopt, QSize(px(6765), px(6570))},
};

const QString kProbeLogicText = QStringLiteral(
    "The Dorvane installation of Mach 3 is configured by default to work with the Dorvane Active (digitizing) "
    "Probe (part number 57336).  If you  are using a Dorvane Passive Probe (PN 56472) or a non-Dorvane probe you "
    "may need to change the probe logic on this drop-down menu to allow the probe to function properly.  To "
    "determine whether your probe is configured properly, plug the probe into the accessory port and view the "
    "Diagnostics screen in Mach 3.  If the digitize light is on when the probe is not triggered, you will need to "
    "change the probe logic.");

const QString kHomingText = QStringLiteral(
    "This menu allows you to configure your machine to use Dorvane's 4th axis homing kit (part number 58204).  If "
    "you enable 4th axis homing, you can reference your A axis to a repeatable home position using the REF button "
    "in Mach 3.");

enum class Kind { PictureBox, Image, Label };

struct ControlDesign {
    Window window;
    const char* name;
    Kind kind;
    int left, top, width, height;  // twips
    const char* picture;           // resource, for picture boxes and images
    QSize pictureSize;
    QString text = {};  // labels
    qreal points = 0;
    bool bold = false;
    Qt::Alignment alignment = {};
};

const ControlDesign kControls[] = {
    {Window::HelpMeasure, "Picture1", Kind::PictureBox, 150, 120, 5850, 6075, ":/help/measure.jpg", {399, 450}},
    {Window::HelpPrinter, "PicResources", Kind::PictureBox, -45, 45, 9105, 10845, ":/help/printer-port.jpg",
     {603, 719}},
    {Window::HelpDigVFD, "Image1", Kind::Image, 360, 240, 3735, 4140, ":/help/vfd-display.jpg", {954, 964}},
    {Window::HelpDigVFD, "Label1", Kind::Label, 600, 4560, 3375, 1335, nullptr, {},
     QStringLiteral("Frequency being displayed is 137 Hz"), 12.0, true, Qt::AlignHCenter | Qt::AlignTop},
    {Window::InfoProbeLogic, "Image1", Kind::Image, 120, 120, 7635, 6555, ":/help/probes.jpg", {841, 742}},
    {Window::InfoProbeLogic, "Label1_0", Kind::Label, 1080, 720, 2535, 375, nullptr, {},
     QStringLiteral("Passive Probe (PN 56472)"), 9.75, false, Qt::AlignLeft | Qt::AlignTop},
    {Window::InfoProbeLogic, "Label1_1", Kind::Label, 4440, 720, 2535, 375, nullptr, {},
     QStringLiteral("Active Probe (PN 55190)"), 9.75, false, Qt::AlignLeft | Qt::AlignTop},
    {Window::InfoProbeLogic, "lblProbeLogicInfo", Kind::Label, 120, 6840, 7575, 1215, nullptr, {}, kProbeLogicText,
     8.25, false, Qt::AlignLeft | Qt::AlignTop},
    {Window::InfoFourthAxisHoming, "Picture1", Kind::PictureBox, 240, 240, 6255, 4935,
     ":/help/fourth-axis-homing.bmp", {600, 400}},
    {Window::InfoFourthAxisHoming, "lblFourthAxisHomingInfo", Kind::Label, 240, 5520, 6255, 615, nullptr, {},
     kHomingText, 8.25, false, Qt::AlignLeft | Qt::AlignTop},
};

const WindowDesign& designOf(Window window) {
    for (const WindowDesign& design : kWindows)
        if (design.window == window) return design;
    throw std::logic_error("no design");
}

// Shows the window through HelpWindows::show and, once it is up, runs `during` on
// it and closes it as its close box does. Returns whether `during` ran.
bool showAndClose(HelpWindows& help, Window window, const std::function<void(QWidget*)>& during = {}) {
    bool ran = false;
    QTimer whileShown;
    whileShown.setSingleShot(true);
    QObject::connect(&whileShown, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        ran = true;
        if (during) during(shown);
        if (shown) shown->close();
        // Not modal after all: the test has failed; still end the showing.
        else if (QWidget* unblocking = help.existing(window)) unblocking->close();
    });
    // Should the window fail to close, the test fails instead of hanging.
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the window did not close";
        if (QWidget* stuck = help.existing(window)) stuck->close();
    });
    whileShown.start(0);
    rescue.start(5000);
    help.show(window);
    return ran;
}

// Largest difference of one colour channel between two pixels.
int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Mean difference over all channels of two images of the same size.
double meanDistance(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// A click as the window system delivers it, so that modality applies to it.
void clickThroughWindowSystem(QWidget* widget) {
    QWidget* top = widget->window();
    const QPoint at = widget->mapTo(top, widget->rect().center());
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

}  // namespace

class HelpWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { owner.show(); }
    QWidget owner;
    HelpWindows help{&owner};
};

// ---------------------------------------------------------------------------
// The windows as designed.

TEST_F(HelpWindowsTest, EachWindowHasItsCaptionStyleClientSizeAndPlace) {
    for (const WindowDesign& design : kWindows) {
        SCOPED_TRACE(design.name);
        QWidget* window = help.prepare(design.window);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), design.name);
        EXPECT_EQ(window->windowTitle(), design.caption);
        EXPECT_EQ(window->size(), design.client);
        if (design.placedAt) {
            EXPECT_EQ(window->geometry().topLeft(), *design.placedAt);
        }
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);

        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        const bool minMax = flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
        const bool fixed = window->minimumSize() == window->maximumSize();
        switch (design.style) {
            case Style::FixedDialog:
                EXPECT_EQ(window->windowType(), Qt::Dialog);
                EXPECT_FALSE(minMax);
                EXPECT_TRUE(fixed);
                EXPECT_EQ(window->maximumSize(), design.client);
                EXPECT_EQ(window->parentWidget(), &owner);  // belongs to the main window: no taskbar entry
                break;
            case Style::SizableToolWindow:
                EXPECT_EQ(window->windowType(), Qt::Tool);
                EXPECT_FALSE(minMax);
                EXPECT_FALSE(fixed);
                EXPECT_EQ(window->parentWidget(), &owner);
                break;
            case Style::SizableWindow:
                EXPECT_EQ(window->windowType(), Qt::Window);
                EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
                EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
                EXPECT_FALSE(fixed);
                EXPECT_EQ(window->parentWidget(), nullptr);  // stands alone: a taskbar entry of its own
                break;
        }
        // Nothing to type into or press: the windows only show.
        EXPECT_TRUE(window->findChildren<QPushButton*>().isEmpty());
    }
}

TEST_F(HelpWindowsTest, EachControlIsInItsPlaceWithItsContent) {
    for (const ControlDesign& design : kControls) {
        SCOPED_TRACE(std::string(designOf(design.window).name) + "." + design.name);
        QWidget* window = help.prepare(design.window);
        auto* control = window->findChild<QLabel*>(QString::fromLatin1(design.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), window);
        EXPECT_EQ(control->geometry(),
                  QRect(px(design.left), px(design.top), px(design.width), px(design.height)));
        switch (design.kind) {
            case Kind::PictureBox:
                EXPECT_EQ(control->frameShape(), QFrame::Panel);
                EXPECT_EQ(control->frameShadow(), QFrame::Sunken);
                EXPECT_EQ(control->frameWidth(), 2);
                EXPECT_FALSE(control->hasScaledContents());
                EXPECT_EQ(control->alignment(), Qt::AlignLeft | Qt::AlignTop);
                EXPECT_EQ(control->pixmap().size(), design.pictureSize);
                break;
            case Kind::Image:
                EXPECT_EQ(control->frameShape(), QFrame::NoFrame);
                EXPECT_TRUE(control->hasScaledContents());
                EXPECT_EQ(control->pixmap().size(), design.pictureSize);
                break;
            case Kind::Label:
                // Word for word, double spaces included, and shown as plain text.
                EXPECT_EQ(control->text(), design.text);
                EXPECT_EQ(control->textFormat(), Qt::PlainText);
                EXPECT_TRUE(control->wordWrap());
                EXPECT_EQ(control->alignment(), design.alignment);
                EXPECT_DOUBLE_EQ(control->font().pointSizeF(), design.points);
                EXPECT_EQ(control->font().bold(), design.bold);
                break;
        }
    }
}

TEST_F(HelpWindowsTest, TheLongTextsKeepTheirDoubleSpaces) {
    EXPECT_TRUE(kProbeLogicText.contains(QStringLiteral("If you  are using")));
    EXPECT_EQ(kProbeLogicText.count(QStringLiteral(".  ")), 3);
    EXPECT_EQ(kHomingText.count(QStringLiteral(".  ")), 1);
    const auto* probeText = help.prepare(Window::InfoProbeLogic)->findChild<QLabel*>("lblProbeLogicInfo");
    const auto* homingText = help.prepare(Window::InfoFourthAxisHoming)->findChild<QLabel*>("lblFourthAxisHomingInfo");
    ASSERT_TRUE(probeText && homingText);
    EXPECT_EQ(probeText->text(), kProbeLogicText);
    EXPECT_EQ(homingText->text(), kHomingText);
}

TEST_F(HelpWindowsTest, WindowsUseTheirTypefaceOrASansSerifAtTheSameSize) {
    for (const WindowDesign& design : kWindows) {
        SCOPED_TRACE(design.name);
        const QFont font = help.prepare(design.window)->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
        EXPECT_FALSE(font.bold());
        ASSERT_FALSE(font.families().isEmpty());
        EXPECT_EQ(font.families().front(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    }
    // The two probe names sit over the picture on the title-bar text colour.
    QWidget* probes = help.prepare(Window::InfoProbeLogic);
    for (const char* name : {"Label1_0", "Label1_1"}) {
        SCOPED_TRACE(name);
        auto* label = probes->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->autoFillBackground());
        EXPECT_EQ(label->backgroundRole(), QPalette::HighlightedText);
        EXPECT_EQ(label->font().styleHint(), QFont::SansSerif);
    }
}

// What the user sees in each picture area: a picture box shows its picture at its
// own size from the top-left corner inside the border, cut off by the box; an
// image shows the whole picture stretched to its rectangle.
TEST_F(HelpWindowsTest, PictureAreasShowTheirIllustrationsAsDesigned) {
    for (const ControlDesign& design : kControls) {
        if (design.kind == Kind::Label) continue;
        SCOPED_TRACE(std::string(designOf(design.window).name) + "." + design.name);
        auto* control = help.prepare(design.window)->findChild<QLabel*>(QString::fromLatin1(design.name));
        ASSERT_NE(control, nullptr);
        const QImage shown = control->grab().toImage();
        const QImage picture = QImage(QString::fromLatin1(design.picture)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());

        if (design.kind == Kind::PictureBox) {
            const QRect inside = control->rect().adjusted(2, 2, -2, -2);
            ASSERT_EQ(control->contentsRect(), inside);
            const QRect seen = QRect(QPoint(0, 0), picture.size()).intersected(inside.translated(-2, -2));
            const QImage expected = picture.copy(seen);
            const QImage actual = shown.copy(seen.translated(2, 2)).convertToFormat(QImage::Format_RGB32);
            EXPECT_LT(meanDistance(actual, expected), 0.5);
            // Where the picture runs past the box, the border still stands over it.
            if (picture.width() > inside.width()) {
                int paintedOver = 0;
                const int x = control->width() - 1;
                for (int y = 2; y < control->height() - 2; ++y)
                    if (channelDistance(shown.pixel(x, y), picture.pixel(x - 2, y - 2)) <= 2) ++paintedOver;
                EXPECT_LT(paintedOver, (control->height() - 4) / 2);
            }
        } else {
            const QImage expected = picture.scaled(control->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            EXPECT_LT(meanDistance(shown.convertToFormat(QImage::Format_RGB32), expected), 2.0);
        }
    }
}

// ---------------------------------------------------------------------------
// Showing them.

TEST_F(HelpWindowsTest, WindowIsCreatedOnTheFirstRequestAndReusedAfter) {
    for (Window window : kAllWindows) {
        SCOPED_TRACE(designOf(window).name);
        EXPECT_EQ(help.existing(window), nullptr);
        EXPECT_EQ(help.creations(window), 0);

        QWidget* firstShown = nullptr;
        QWidget* secondShown = nullptr;
        EXPECT_TRUE(showAndClose(help, window, [&](QWidget* shown) { firstShown = shown; }));
        EXPECT_TRUE(showAndClose(help, window, [&](QWidget* shown) { secondShown = shown; }));

        ASSERT_NE(firstShown, nullptr);
        EXPECT_EQ(firstShown, help.existing(window));
        EXPECT_EQ(secondShown, firstShown);
        EXPECT_EQ(help.creations(window), 1);
        EXPECT_FALSE(firstShown->isVisible());
    }
}

TEST_F(HelpWindowsTest, EveryShowingStartsFromTheDesignState) {
    for (const WindowDesign& design : kWindows) {
        SCOPED_TRACE(design.name);
        // The user moves and enlarges the window (maximises it where it can be).
        showAndClose(help, design.window, [&](QWidget* shown) {
            ASSERT_NE(shown, nullptr);
            shown->setGeometry(QRect(shown->pos() + QPoint(40, 30), design.client + QSize(120, 90)));
            if (design.style == Style::SizableWindow) shown->setWindowState(Qt::WindowMaximized);
        });
        QRect again;
        Qt::WindowStates stateAgain;
        showAndClose(help, design.window, [&](QWidget* shown) {
            ASSERT_NE(shown, nullptr);
            again = shown->geometry();
            stateAgain = shown->windowState();
        });
        EXPECT_EQ(again.size(), design.client);
        EXPECT_EQ(stateAgain, Qt::WindowNoState);
        if (design.placedAt) {
            EXPECT_EQ(again.topLeft(), *design.placedAt);
        }
    }
}

TEST_F(HelpWindowsTest, WindowIsModalAndTheOwnerTakesNoInputMeanwhile) {
    auto* ownerButton = new QPushButton(QStringLiteral("Save"), &owner);
    ownerButton->setGeometry(10, 10, 80, 24);
    ownerButton->show();
    int ownerClicks = 0;
    QObject::connect(ownerButton, &QPushButton::clicked, [&] { ++ownerClicks; });

    for (Window window : kAllWindows) {
        SCOPED_TRACE(designOf(window).name);
        bool returnedEarly = true;
        showAndClose(help, window, [&](QWidget* shown) {
            returnedEarly = false;  // still inside show()
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown, help.existing(window));
            EXPECT_TRUE(shown->isVisible());
            EXPECT_TRUE(shown->isModal());
            clickThroughWindowSystem(ownerButton);
        });
        EXPECT_FALSE(returnedEarly);
        EXPECT_EQ(ownerClicks, 0);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    // Closed again, the owner works as before.
    clickThroughWindowSystem(ownerButton);
    EXPECT_EQ(ownerClicks, 1);
}

TEST_F(HelpWindowsTest, EnterAndEscapeDoNotCloseTheWindowOnlyTheCloseBoxDoes) {
    for (Window window : kAllWindows) {
        SCOPED_TRACE(designOf(window).name);
        bool stillOpen = false;
        showAndClose(help, window, [&](QWidget* shown) {
            ASSERT_NE(shown, nullptr);
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                QTest::keyClick(shown, key);
                QApplication::processEvents();
            }
            stillOpen = shown->isVisible();
        });
        EXPECT_TRUE(stillOpen);
        EXPECT_FALSE(help.existing(window)->isVisible());
    }
}

TEST_F(HelpWindowsTest, WindowsOutliveNeitherTheirOwnerNorTheirKeeper) {
    auto owned = std::make_unique<QWidget>();
    auto keeper = std::make_unique<HelpWindows>(owned.get());
    for (Window window : kAllWindows) keeper->prepare(window);
    // The dialog-style windows go with the main window; the stand-alone ones stay
    // until the keeper ends. Either order of ending must be clean.
    owned.reset();
    EXPECT_EQ(keeper->existing(Window::HelpMeasure), nullptr);
    EXPECT_EQ(keeper->existing(Window::HelpPrinter), nullptr);
    QPointer<QWidget> standAlone = keeper->existing(Window::InfoProbeLogic);
    EXPECT_NE(standAlone, nullptr);
    keeper.reset();
    EXPECT_EQ(standAlone, nullptr);
}
