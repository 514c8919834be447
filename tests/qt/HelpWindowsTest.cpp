// The help and information windows as the Qt front end builds them from the
// layout data: each window and control rendered as the data describes it, what
// the pictures show, and how the windows are shown: created once, modal, always
// from the design state, closed only by the close box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "qt/HelpWindows.h"
#include "screens/Layout.h"

namespace {

using Window = HelpWindows::Window;
using layout::ControlLayout;
using layout::Kind;
using layout::WindowLayout;

const Window kAllWindows[] = {Window::HelpMeasure, Window::HelpPrinter, Window::HelpDigVFD, Window::InfoProbeLogic,
                              Window::InfoFourthAxisHoming};

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
std::string name(std::string_view utf8) { return std::string(utf8); }

// Pixels from twips at 96 dpi: 15 twips to the pixel.
QRect pixels(const ControlLayout& c) {
    return QRect(layout::Pixels(c.left), layout::Pixels(c.top), layout::Pixels(c.width), layout::Pixels(c.height));
}
QSize clientSize(const WindowLayout& w) { return QSize(layout::Pixels(w.clientWidth), layout::Pixels(w.clientHeight)); }
QPoint placedAt(const WindowLayout& w) { return QPoint(layout::Pixels(w.left), layout::Pixels(w.top)); }

// "Label1_0" for element 0 of a control array.
QString objectName(const ControlLayout& c) {
    return c.index >= 0 ? text(c.name) + QStringLiteral("_%1").arg(c.index) : text(c.name);
}

Qt::Alignment horizontal(layout::Align align) {
    return align == layout::Align::Right    ? Qt::AlignRight
           : align == layout::Align::Centre ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
}

QString resource(const ControlLayout& c) { return QStringLiteral(":/help/") + text(c.picture); }

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
// The windows as the data describes them.

TEST_F(HelpWindowsTest, EachWindowHasItsCaptionStyleClientSizeAndPlace) {
    for (const Window id : kAllWindows) {
        const WindowLayout& design = layout::Help(id);
        SCOPED_TRACE(name(design.name));
        QWidget* window = help.prepare(id);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), text(design.name));
        EXPECT_EQ(window->windowTitle(), text(design.caption));
        EXPECT_EQ(window->size(), clientSize(design));
        if (design.manualPlacement) {
            EXPECT_EQ(window->geometry().topLeft(), placedAt(design));
        }
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);

        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint), design.controlBox);
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), design.minMaxBoxes);
        EXPECT_EQ(bool(flags & Qt::WindowMaximizeButtonHint), design.minMaxBoxes);
        const bool fixed = window->minimumSize() == window->maximumSize();
        switch (design.border) {
            case layout::Border::FixedDialog:
                EXPECT_EQ(window->windowType(), Qt::Dialog);
                EXPECT_TRUE(fixed);
                EXPECT_EQ(window->maximumSize(), clientSize(design));
                break;
            case layout::Border::SizableToolWindow:
                EXPECT_EQ(window->windowType(), Qt::Tool);
                EXPECT_FALSE(fixed);
                break;
            case layout::Border::Sizable:
                EXPECT_EQ(window->windowType(), Qt::Window);
                EXPECT_FALSE(fixed);
                break;
        }
        // A taskbar entry of its own: it stands alone; else it belongs to the main window.
        EXPECT_EQ(window->parentWidget(), design.inTaskbar ? nullptr : &owner);
        // Nothing to type into or press: the windows only show.
        EXPECT_TRUE(window->findChildren<QPushButton*>().isEmpty());
        EXPECT_EQ(window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(),
                  static_cast<qsizetype>(design.controls.size()));
    }
}

TEST_F(HelpWindowsTest, EachControlIsInItsPlaceWithItsContent) {
    for (const Window id : kAllWindows) {
        QWidget* window = help.prepare(id);
        for (const ControlLayout& design : layout::Help(id).controls) {
            SCOPED_TRACE(name(layout::Help(id).name) + "." + objectName(design).toStdString());
            auto* control = window->findChild<QLabel*>(objectName(design));
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->parentWidget(), window);
            EXPECT_EQ(control->geometry(), pixels(design));
            const QSize pictureSize(design.pictureWidth, design.pictureHeight);
            switch (design.kind) {
                case Kind::PictureBox:
                    EXPECT_EQ(control->frameShape(), QFrame::Panel);
                    EXPECT_EQ(control->frameShadow(), QFrame::Sunken);
                    EXPECT_EQ(control->frameWidth(), 2);
                    EXPECT_FALSE(control->hasScaledContents());
                    EXPECT_EQ(control->alignment(), Qt::AlignLeft | Qt::AlignTop);
                    EXPECT_EQ(control->pixmap().size(), pictureSize);
                    break;
                case Kind::Image:
                    EXPECT_EQ(control->frameShape(), QFrame::NoFrame);
                    EXPECT_TRUE(control->hasScaledContents());
                    EXPECT_EQ(control->pixmap().size(), pictureSize);
                    break;
                default:
                    ASSERT_EQ(design.kind, Kind::Label);
                    // Word for word, double spaces included, and shown as plain text.
                    EXPECT_EQ(control->text(), text(design.text));
                    EXPECT_EQ(control->textFormat(), Qt::PlainText);
                    EXPECT_TRUE(control->wordWrap());
                    EXPECT_EQ(control->alignment(), horizontal(design.align) | Qt::AlignTop);
                    EXPECT_DOUBLE_EQ(control->font().pointSizeF(),
                                     design.font.points > 0 ? design.font.points : layout::kDefaultPoints);
                    EXPECT_EQ(control->font().bold(), design.font.bold);
                    // On the title-bar text colour where the data says so (the probe names over their picture).
                    const bool titleBarText = design.backColour == layout::Colour::TitleBarText;
                    EXPECT_EQ(control->autoFillBackground(), titleBarText);
                    if (titleBarText) {
                        EXPECT_EQ(control->backgroundRole(), QPalette::HighlightedText);
                    }
                    break;
            }
        }
    }
}

TEST_F(HelpWindowsTest, TheLongTextsKeepTheirDoubleSpaces) {
    // A label shows them as they are: nothing collapses a run of spaces.
    const auto* probeText = help.prepare(Window::InfoProbeLogic)->findChild<QLabel*>("lblProbeLogicInfo");
    const auto* homingText = help.prepare(Window::InfoFourthAxisHoming)->findChild<QLabel*>("lblFourthAxisHomingInfo");
    ASSERT_TRUE(probeText && homingText);
    EXPECT_TRUE(probeText->text().contains(QStringLiteral("If you  are using")));
    EXPECT_EQ(probeText->text().count(QStringLiteral(".  ")), 3);
    EXPECT_EQ(homingText->text().count(QStringLiteral(".  ")), 1);
}

TEST_F(HelpWindowsTest, WindowsUseTheirTypefaceOrASansSerifAtTheSameSize) {
    for (const Window id : kAllWindows) {
        SCOPED_TRACE(name(layout::Help(id).name));
        const QFont font = help.prepare(id)->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), layout::kDefaultPoints);
        EXPECT_FALSE(font.bold());
        ASSERT_FALSE(font.families().isEmpty());
        EXPECT_EQ(font.families().front(), text(layout::kFontFace));
        EXPECT_EQ(font.styleHint(), QFont::SansSerif);
        for (const QLabel* label : help.prepare(id)->findChildren<QLabel*>())
            EXPECT_EQ(label->font().styleHint(), QFont::SansSerif) << label->objectName().toStdString();
    }
}

// What the user sees in each picture area: a picture box shows its picture at its
// own size from the top-left corner inside the border, cut off by the box; an
// image shows the whole picture stretched to its rectangle.
TEST_F(HelpWindowsTest, PictureAreasShowTheirIllustrationsAsDesigned) {
    std::vector<std::pair<Window, const ControlLayout*>> areas;
    for (const Window id : kAllWindows)
        for (const ControlLayout& design : layout::Help(id).controls)
            if (design.kind != Kind::Label) areas.emplace_back(id, &design);
    ASSERT_EQ(areas.size(), 5u);
    for (const auto& [id, area] : areas) {
        const ControlLayout& design = *area;
        SCOPED_TRACE(name(layout::Help(id).name) + "." + objectName(design).toStdString());
        auto* control = help.prepare(id)->findChild<QLabel*>(objectName(design));
        ASSERT_NE(control, nullptr);
        const QImage shown = control->grab().toImage();
        const QImage picture = QImage(resource(design)).convertToFormat(QImage::Format_RGB32);
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
        SCOPED_TRACE(name(layout::Help(window).name));
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
    for (const Window id : kAllWindows) {
        const WindowLayout& design = layout::Help(id);
        SCOPED_TRACE(name(design.name));
        // The user moves and enlarges the window (maximises it where it can be).
        showAndClose(help, id, [&](QWidget* shown) {
            ASSERT_NE(shown, nullptr);
            shown->setGeometry(QRect(shown->pos() + QPoint(40, 30), clientSize(design) + QSize(120, 90)));
            if (design.minMaxBoxes) shown->setWindowState(Qt::WindowMaximized);
        });
        QRect again;
        Qt::WindowStates stateAgain;
        showAndClose(help, id, [&](QWidget* shown) {
            ASSERT_NE(shown, nullptr);
            again = shown->geometry();
            stateAgain = shown->windowState();
        });
        EXPECT_EQ(again.size(), clientSize(design));
        EXPECT_EQ(stateAgain, Qt::WindowNoState);
        if (design.manualPlacement) {
            EXPECT_EQ(again.topLeft(), placedAt(design));
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
        SCOPED_TRACE(name(layout::Help(window).name));
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
        SCOPED_TRACE(name(layout::Help(window).name));
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
