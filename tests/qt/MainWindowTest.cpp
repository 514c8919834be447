// The main window as the Qt front end builds it: every control rendered as the
// layout data describes it (checked by walking the data), the state the editor
// puts into it read back the same as from the window held in memory, tooltips
// only where the data gives them, and a window the user can resize while
// nothing inside it moves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "MemoryForm.h"
#include "ScriptedDialogs.h"
#include "qt/QtMainScreen.h"
#include "screens/Layout.h"

namespace {

using layout::ControlLayout;
using layout::Kind;

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string nameOf(const ControlLayout& c) {
    return c.index >= 0 ? std::string(c.name) + "_" + std::to_string(c.index) : std::string(c.name);
}

const layout::WindowLayout& design() { return layout::MainWindow(); }

QRect pixels(const ControlLayout& c) {
    return QRect(layout::Pixels(c.left), layout::Pixels(c.top), layout::Pixels(c.width), layout::Pixels(c.height));
}

const char* qtClass(Kind kind) {
    switch (kind) {
        case Kind::Label: return "QLabel";
        case Kind::TextBox: return "QLineEdit";
        case Kind::Frame: return "QGroupBox";
        case Kind::Button: return "QPushButton";
        case Kind::ComboBox: return "QComboBox";
        default: return "";
    }
}

Qt::Alignment horizontal(layout::Align align) {
    return align == layout::Align::Right    ? Qt::AlignRight
           : align == layout::Align::Centre ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
}

// The caption or text a control shows.
QString shownText(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* box = qobject_cast<const QLineEdit*>(w)) return box->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(w)) return frame->title();
    if (auto* button = qobject_cast<const QPushButton*>(w)) return button->text();
    if (auto* list = qobject_cast<const QComboBox*>(w)) return list->currentText();
    return {};
}

// The controls' names, one line, for comparisons that print in full.
std::string names(const std::vector<Control>& controls) {
    std::string out;
    for (const Control c : controls) out += (c == Control::None ? "-" : nameOf(layout::MainControl(c))) + " ";
    return out;
}

bool takesFocus(Kind kind) { return kind == Kind::TextBox || kind == Kind::Button || kind == Kind::ComboBox; }

// The controls that take the focus by the Tab key, as the window's focus chain
// visits them from `first`, once each.
std::vector<Control> focusChain(const MainWindow& window, QWidget* first) {
    std::vector<Control> order;
    QWidget* w = first;
    do {
        const Control c = window.controlOf(w);
        if (c != Control::None && (w->focusPolicy() & Qt::TabFocus) &&
            std::find(order.begin(), order.end(), c) == order.end())
            order.push_back(c);
        w = w->nextInFocusChain();
    } while (w && w != first);
    return order;
}

// Bands of rows in which the image has pixels darker than `threshold`: the
// lines of text drawn in it.
int textLines(const QImage& image, int threshold = 110) {
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        bool dark = false;
        for (int x = 3; x < image.width() - 3 && !dark; ++x) dark = qGray(image.pixel(x, y)) < threshold;
        if (dark && !inLine) ++lines;
        inLine = dark;
    }
    return lines;
}

// The window as built from the data alone, before any editor has touched it.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    MainWindow window;
};

}  // namespace

// ---------------------------------------------------------------------------
// What the data says, rendered.

TEST_F(MainWindowTest, WindowHasItsCaptionFrameIconAndClientSize) {
    EXPECT_EQ(window.objectName(), text(design().name));
    EXPECT_EQ(window.windowTitle(), text(design().caption));
    EXPECT_EQ(window.size(), QSize(layout::Pixels(design().clientWidth), layout::Pixels(design().clientHeight)));
    EXPECT_EQ(window.size(), QSize(583, 619));  // 8745 x 9285 twips at 96 dpi
    EXPECT_EQ(design().border, layout::Border::SizableToolWindow);
    EXPECT_EQ(window.windowType(), Qt::Tool);
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    // No box on the title bar: neither close nor minimize nor maximize nor the system menu.
    for (Qt::WindowType box : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                               Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint})
        EXPECT_FALSE(flags & box) << box;
    EXPECT_EQ(design().programIcon, !window.windowIcon().isNull());
}

TEST_F(MainWindowTest, EveryControlIsRenderedAsTheDataDescribesIt) {
    const QPalette system = QApplication::palette(&window);
    for (const ControlLayout& laidOut : design().controls) {
        SCOPED_TRACE(nameOf(laidOut));
        QWidget* w = window.control(laidOut.id);
        if (laidOut.kind == Kind::FileDialog) {  // shown by the dialogs, no widget of its own
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName().toStdString(), nameOf(laidOut));
        EXPECT_EQ(window.controlOf(w), laidOut.id);
        EXPECT_STREQ(w->metaObject()->className(), qtClass(laidOut.kind));

        // In its container, at its place: twips / 15 at 96 dpi.
        QWidget* container = &window;
        if (!laidOut.container.empty()) container = window.control(layout::FindMainControl(laidOut.container)->id);
        EXPECT_EQ(w->parentWidget(), container);
        EXPECT_EQ(w->geometry(), pixels(laidOut));

        // Its text, as plain text with no access keys.
        EXPECT_EQ(shownText(w), text(laidOut.text));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            EXPECT_TRUE(label->wordWrap());
        }

        // Its font: the window's, or its own size and weight in the same face.
        const QFont font = w->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), laidOut.font.points > 0 ? laidOut.font.points : layout::kDefaultPoints);
        EXPECT_EQ(font.bold(), laidOut.font.bold);
        EXPECT_EQ(font.families().value(0), text(layout::kFontFace));
        EXPECT_EQ(font.styleHint(), QFont::SansSerif);
        EXPECT_EQ(font.stretch(), window.font().stretch());

        // Its colours: a fixed text colour (a frame's for its caption only), or the system's.
        const QColor foreground = w->palette().color(QPalette::Active, QPalette::WindowText);
        const auto rgb = layout::FixedColour(laidOut.foreColour);
        EXPECT_EQ(foreground, rgb ? QColor(rgb->red, rgb->green, rgb->blue)
                                  : system.color(QPalette::Active, QPalette::WindowText));
        const QColor base = w->palette().color(QPalette::Active, QPalette::Base);
        switch (laidOut.backColour) {
            case layout::Colour::ButtonFace: EXPECT_EQ(base, system.color(QPalette::Active, QPalette::Button)); break;
            case layout::Colour::ScrollBar: EXPECT_EQ(base, system.color(QPalette::Active, QPalette::Midlight)); break;
            case layout::Colour::TitleBarText:
                EXPECT_TRUE(w->autoFillBackground());
                EXPECT_EQ(w->backgroundRole(), QPalette::HighlightedText);
                break;
            default:
                if (laidOut.kind == Kind::TextBox) {
                    EXPECT_EQ(base, system.color(QPalette::Active, QPalette::Base));
                }
                break;
        }

        // Alignment, read-only and border of texts.
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->alignment(), horizontal(laidOut.align) | Qt::AlignTop);
        }
        if (auto* box = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, horizontal(laidOut.align));
            EXPECT_EQ(box->isReadOnly(), laidOut.readOnly);
            EXPECT_EQ(box->hasFrame(), laidOut.border);
        }
        // A list's text part can be typed into, and typing neither adds nor picks a row.
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            EXPECT_TRUE(list->isEditable());
            EXPECT_EQ(list->insertPolicy(), QComboBox::NoInsert);
            EXPECT_EQ(list->completer(), nullptr);
            EXPECT_EQ(list->count(), 0);
            EXPECT_EQ(list->currentIndex(), -1);
        }

        // Its own settings: enabled and visible (whatever its panel's), tooltip, marker.
        EXPECT_EQ(!w->testAttribute(Qt::WA_ForceDisabled), laidOut.enabled);
        EXPECT_EQ(!w->isHidden(), laidOut.visible);
        EXPECT_EQ(w->toolTip(), text(laidOut.tooltip));
        EXPECT_EQ(w->property("Tag").toString(), text(laidOut.tag));
    }
}

TEST_F(MainWindowTest, LaterControlsLieInFrontOfEarlierOnes) {
    // Each container stacks its controls in the data's order.
    std::map<QWidget*, std::vector<QWidget*>> stacked;
    for (const ControlLayout& laidOut : design().controls)
        if (QWidget* w = window.control(laidOut.id)) stacked[w->parentWidget()].push_back(w);
    for (const auto& [container, inOrder] : stacked) {
        SCOPED_TRACE(container->objectName().toStdString());
        std::vector<QWidget*> children;
        for (QObject* child : container->children())
            if (std::find(inOrder.begin(), inOrder.end(), child) != inOrder.end())
                children.push_back(static_cast<QWidget*>(child));
        EXPECT_EQ(children, inOrder);
    }
    // Where that shows: SpinVel, a control of the window, over the spindle panel's first row.
    QWidget* spinVel = window.control(Control::SpinVel);
    QWidget* hit = window.childAt(spinVel->geometry().center());
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == spinVel || spinVel->isAncestorOf(hit)) << hit->objectName().toStdString();
}

TEST_F(MainWindowTest, TabOrderFollowsTheTabIndexes) {
    std::vector<const ControlLayout*> byTab;
    for (const ControlLayout& laidOut : design().controls)
        if (takesFocus(laidOut.kind)) byTab.push_back(&laidOut);
    std::stable_sort(byTab.begin(), byTab.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    std::vector<Control> expected;
    for (const ControlLayout* laidOut : byTab) expected.push_back(laidOut->id);
    EXPECT_EQ(names(focusChain(window, window.control(expected.front()))), names(expected));

    // And the Tab key takes that way, once every control can take the focus.
    for (const ControlLayout* laidOut : byTab)
        for (QWidget* w = window.control(laidOut->id); w && w != &window; w = w->parentWidget()) {
            w->setEnabled(true);
            w->show();
        }
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.control(expected.front())->setFocus(Qt::TabFocusReason);
    std::vector<Control> walked{window.controlOf(QApplication::focusWidget())};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(window.controlOf(QApplication::focusWidget()));
    }
    EXPECT_EQ(names(walked), names(expected));
}

TEST_F(MainWindowTest, FontIsTheFaceOrANarrowedStandIn) {
    const QFont font = window.font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), layout::kDefaultPoints);
    EXPECT_EQ(font.families().value(0), text(layout::kFontFace));
    EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    const QString family = QFontInfo(font).family();
    if (family.startsWith(QLatin1String("MS Sans Serif"))) GTEST_SKIP() << "the face itself is installed";
    // A stand-in draws this sentence in about the width the captions were fitted
    // to: some 196 px at 11 px, unless it would have to be narrowed below 75 %.
    const qreal width = QFontMetricsF(font).horizontalAdvance(QStringLiteral("The quick brown fox jumps over the lazy dog"));
    const qreal target = 196.0 * QFontInfo(font).pixelSize() / 11.0;
    if (font.stretch() > 75) {
        EXPECT_LE(width, target * 1.03) << family.toStdString();
    }
    EXPECT_LE(font.stretch(), 100);
}

// A caption wider than its button is drawn on several lines inside it; one
// that fits, on one line.
TEST_F(MainWindowTest, CaptionsTooWideForTheirButtonsAreWrapped) {
    int wrapped = 0;
    for (const ControlLayout& laidOut : design().controls) {
        auto* button = qobject_cast<QPushButton*>(window.control(laidOut.id));
        if (!button) continue;
        SCOPED_TRACE(nameOf(laidOut));
        for (QWidget* w = button; w != &window; w = w->parentWidget()) w->setEnabled(true);
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const bool tooWide = button->fontMetrics().horizontalAdvance(button->text()) > room.width();
        const int lines = textLines(button->grab().toImage());
        if (tooWide) {
            ++wrapped;
            EXPECT_GE(lines, 2);
        } else {
            EXPECT_EQ(lines, 1);
        }
    }
    EXPECT_GE(wrapped, 1) << "the jog presets' captions are wider than their buttons";
}

// ---------------------------------------------------------------------------
// Tooltips only where the data gives them.

namespace {

// Asks the widget under `at` (window coordinates) for its tooltip, as the
// window system does when the mouse rests there; returns what is then shown.
// A marker tooltip shown before tells "none shown" from "the same one shown".
QString tooltipAt(MainWindow& window, QPoint at) {
    const QString marker = QStringLiteral("(no tooltip from the control)");
    QToolTip::showText(window.mapToGlobal(QPoint(1, 1)), marker, &window);
    QWidget* under = window.childAt(at);
    QWidget* target = under ? under : &window;
    QHelpEvent event(QEvent::ToolTip, target->mapFrom(&window, at), window.mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    const QString shown = QToolTip::isVisible() ? QToolTip::text() : QString();
    return shown == marker ? QString() : shown;
}

// A point of the panel that no control covers.
std::optional<QPoint> emptyPointOf(MainWindow& window, Control frame) {
    QWidget* panel = window.control(frame);
    for (int y = panel->height() - 3; y > 0; y -= 2)
        for (int x = 3; x < panel->width() - 3; x += 2) {
            const QPoint at = panel->mapTo(&window, QPoint(x, y));
            if (window.childAt(at) == panel) return at;
        }
    return std::nullopt;
}

}  // namespace

TEST_F(MainWindowTest, TooltipsShowOnlyOverControlsThatHaveOne) {
    // Every control where the user can see it: panels on, the hidden pair shown,
    // and each calibration group in turn.
    for (const ControlLayout& laidOut : design().controls)
        if (QWidget* w = window.control(laidOut.id)) {
            w->setEnabled(true);
            w->show();
        }
    for (const std::string_view group : {"Volts", "Hz"}) {
        SCOPED_TRACE(std::string(group));
        for (const ControlLayout& laidOut : design().controls)
            if (!laidOut.tag.empty()) window.control(laidOut.id)->setVisible(laidOut.tag == group);
        int checked = 0;
        for (const ControlLayout& laidOut : design().controls) {
            QWidget* w = window.control(laidOut.id);
            if (!w || !w->isVisible()) continue;
            SCOPED_TRACE(nameOf(laidOut));
            // Its middle, unless a later control lies over it there (a panel's
            // middle is its contents'; its empty area comes below).
            const QPoint at = w->mapTo(&window, w->rect().center());
            if (window.controlOf(window.childAt(at)) != laidOut.id) continue;
            EXPECT_EQ(tooltipAt(window, at), text(laidOut.tooltip));
            ++checked;
        }
        EXPECT_GT(checked, 40);
    }
    // Fields and labels of the two panels with tooltips, with none of their own.
    for (const Control c : {Control::NewSteps, Control::TestSpeed, Control::Label2, Control::Label7, Control::Label10}) {
        SCOPED_TRACE(nameOf(layout::MainControl(c)));
        QWidget* w = window.control(c);
        w->show();
        EXPECT_EQ(tooltipAt(window, w->mapTo(&window, w->rect().center())), QString());
    }
    // A panel's own empty area shows the panel's tooltip.
    for (const Control frame : {Control::SpindleFrame, Control::JogFrame}) {
        SCOPED_TRACE(nameOf(layout::MainControl(frame)));
        const std::optional<QPoint> empty = emptyPointOf(window, frame);
        ASSERT_TRUE(empty);
        EXPECT_EQ(tooltipAt(window, *empty), text(layout::MainControl(frame).tooltip));
        EXPECT_FALSE(text(layout::MainControl(frame).tooltip).isEmpty());
    }
    // A list's text part shows its list's tooltip.
    auto* machine = window.control<QComboBox>(Control::MachineType);
    const QPoint inText = machine->lineEdit()->mapTo(&window, machine->lineEdit()->rect().center());
    EXPECT_EQ(window.childAt(inText), machine->lineEdit());
    EXPECT_EQ(tooltipAt(window, inText), text(layout::MainControl(Control::MachineType).tooltip));
}

// ---------------------------------------------------------------------------
// A sizable tool window with a fixed layout.

TEST_F(MainWindowTest, ResizingTheWindowMovesAndResizesNothingInside) {
    std::vector<QRect> before;
    for (const ControlLayout& laidOut : design().controls)
        if (QWidget* w = window.control(laidOut.id)) before.push_back(w->geometry());
    const QSize designed = window.size();
    EXPECT_LT(window.minimumWidth(), designed.width());
    EXPECT_GT(window.maximumWidth(), designed.width());
    for (const QSize size : {designed + QSize(200, 150), QSize(300, 240), designed}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        window.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(window.size(), size);
        std::vector<QRect> after;
        for (const ControlLayout& laidOut : design().controls)
            if (QWidget* w = window.control(laidOut.id)) after.push_back(w->geometry());
        EXPECT_EQ(after, before);
    }
}

// ---------------------------------------------------------------------------
// The editor's state in the Qt window, read back through the Form, is what the
// window held in memory shows after the same steps.

namespace {

struct FormState {
    std::string text, utf8, tag;
    bool enabled, visible, readOnly, canFocus, fits;
    int rows, index;
    bool operator==(const FormState&) const = default;
};

void PrintTo(const FormState& s, std::ostream* out) {
    *out << "text \"" << s.utf8 << "\" enabled " << s.enabled << " visible " << s.visible << " readOnly "
         << s.readOnly << " canFocus " << s.canFocus << " tag \"" << s.tag << "\" rows " << s.rows << " index "
         << s.index;
}

// The Form's view of a control; texts only for text boxes and lists, the
// controls whose text the editor reads.
FormState stateOf(const Form& form, const ControlLayout& laidOut) {
    const Control c = laidOut.id;
    const bool hasText = laidOut.kind == Kind::TextBox || laidOut.kind == Kind::ComboBox;
    return {hasText ? form.Text(c) : "", hasText ? form.TextAsUtf8(c) : "", form.Tag(c),
            form.Enabled(c),             form.Visible(c),                     form.ReadOnly(c),
            form.CanFocus(c),            !hasText || form.TextFitsBytes(c),   form.RowCount(c),
            form.ListIndex(c)};
}

}  // namespace

// The editor's own test window (in memory, `window` over `form`) beside the Qt
// window with an editor of its own; each step runs on both.
class QtFormAgreesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        qt.window.show();
    }

    void expectSameState(const std::string& after) {
        SCOPED_TRACE("after " + after);
        for (const ControlLayout& laidOut : design().controls) {
            if (laidOut.kind == Kind::FileDialog) continue;
            EXPECT_EQ(stateOf(qt.form, laidOut), stateOf(form, laidOut)) << nameOf(laidOut);
        }
        EXPECT_EQ(qt.screen.ProfileChanged, window->ProfileChanged);
        EXPECT_EQ(qt.screen.MachineIndex, window->MachineIndex);
    }

    ScriptedDialogs qtDialogs;
    QtMainScreen qt{static_cast<UserDialogs&>(qtDialogs)};
};

TEST_F(QtFormAgreesTest, EveryControlAfterEachStepOfAnEdit) {
    expectSameState("the start-up");
    const std::filesystem::path profile =
        writeFile("Mach3Mill.xml", ReadBytes(std::filesystem::path(OMBREL_EDITOR_FIXTURES) / "basic.xml"));

    const struct {
        const char* name;
        std::function<void(MainScreen&)> step;
        std::function<void(ScriptedDialogs&)> script = {};
    } steps[] = {
        {"the volts machine picked", [](MainScreen& s) { s.SetListIndex(Control::MachineType, 1); }},
        {"the profile opened", [](MainScreen& s) { s.OpenProfile_Click(); },
         [&](ScriptedDialogs& d) { d.answerOpen(profile); }},
        {"voltages set", [](MainScreen& s) { s.SetText(Control::ManVolts, "5"); s.SetText(Control::AutoVolts, "4.5"); }},
        {"a frequency machine picked", [](MainScreen& s) { s.SetListIndex(Control::MachineType, 4); }},
        {"a frequency set", [](MainScreen& s) { s.SetText(Control::HzAt500, "40"); }},
        {"a jog preset and a jog entry", [](MainScreen& s) { s.SetSmallMM_Click(); s.SetText(Control::Step0_3, "0.5"); }},
        {"the hidden pair shown", [](MainScreen& s) { s.Label15_Click(); }},
        {"a Latin-1 letter set", [](MainScreen& s) { s.SetText(Control::PortAdd, "3\xc4"); }},
        {"the probe and homing rows", [](MainScreen& s) { s.SetListIndex(Control::ProbeLogicCombo, 1); s.SetListIndex(Control::FourthHomingCombo, 1); }},
        {"the panels switched off", [](MainScreen& s) { s.EnableStuff(false); }},
    };
    for (const auto& step : steps) {
        if (step.script) {
            step.script(dialogs);
            step.script(qtDialogs);
        }
        step.step(*window);
        step.step(qt.screen);
        expectSameState(step.name);
    }
    EXPECT_EQ(qtDialogs.messageTexts(), dialogs.messageTexts());
}
