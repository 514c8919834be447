#include "screens/HelpWindows.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <functional>

#include "ui_HelpDigVFD.h"
#include "ui_HelpMeasure.h"
#include "ui_HelpPrinter.h"
#include "ui_InfoFourthAxisHoming.h"
#include "ui_InfoProbeLogic.h"

namespace {

// Positions and sizes are designed in twips; 15 twips make one pixel at 96 dpi.
constexpr int pixels(int twips) { return twips / 15; }

enum class Style {
    FixedDialog,        // not resizable, title and close box only, no taskbar entry
    SizableToolWindow,  // resizable, small title bar with a close box, no taskbar entry
    SizableWindow,      // ordinary resizable window with minimise, maximise and its own taskbar entry
};

struct Placement {
    bool manual;  // the client area's top-left at `at`; otherwise the window system chooses
    QPoint at;
};

struct Design {
    Style style;
    Placement placement;
};

// Indexed by HelpWindows::Window.
const std::array<Design, 5> kDesigns{{
    {Style::FixedDialog, {true, {pixels(2760), pixels(3750)}}},        // HelpMeasure
    {Style::SizableToolWindow, {true, {pixels(2775), pixels(3720)}}},  // HelpPrinter
    {Style::FixedDialog, {true, {pixels(2760), pixels(3750)}}},        // HelpDigVFD
    {Style::SizableWindow, {false, {}}},                               // InfoProbeLogic
    {Style::SizableWindow, {false, {}}},                               // InfoFourthAxisHoming
}};

Qt::WindowFlags flagsFor(Style style) {
    const Qt::WindowFlags titleAndClose = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    switch (style) {
        case Style::FixedDialog:
            return Qt::Dialog | titleAndClose;
        case Style::SizableToolWindow:
            return Qt::Tool | titleAndClose;
        case Style::SizableWindow:
            return Qt::Window | titleAndClose | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    }
    return Qt::Window;
}

// The windows' typeface, or a sans-serif font of the same size where it is not installed.
void setDesignFont(QWidget* widget, qreal points, bool bold) {
    QFont font = widget->font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    widget->setFont(font);
}

// Designer keeps whole point sizes; the forms' fonts are finished here.
template <class Form>
void finishDesign(Form&) {}

void finishDesign(Ui::HelpDigVFD& ui) { setDesignFont(ui.Label1, 12.0, true); }

void finishDesign(Ui::InfoProbeLogic& ui) {
    // The probe names lie over the picture on the title-bar text colour.
    for (QLabel* name : {ui.Label1_0, ui.Label1_1}) {
        setDesignFont(name, 9.75, false);
        name->setBackgroundRole(QPalette::HighlightedText);
        name->setAutoFillBackground(true);
    }
}

// A help window: closes only through its close box (it has no keyboard command
// of its own) and tells its showing when it has been closed.
class HelpWindow : public QWidget {
public:
    HelpWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

    QSize designSize;
    std::function<void()> closed;

    // Ends the on-screen window; the next showing builds a new one.
    void discardOnScreenWindow() { destroy(); }

protected:
    void closeEvent(QCloseEvent* event) override {
        QWidget::closeEvent(event);
        if (event->isAccepted() && closed) closed();
    }
};

template <class Form>
class FormWindow final : public HelpWindow {
public:
    FormWindow(QWidget* parent, Qt::WindowFlags flags) : HelpWindow(parent, flags), ui(std::make_unique<Form>()) {
        ui->setupUi(this);
        setDesignFont(this, 8.25, false);
        finishDesign(*ui);
        designSize = size();
    }

private:
    std::unique_ptr<Form> ui;
};

HelpWindow* createWindow(HelpWindows::Window which, QWidget* owner) {
    const Design& design = kDesigns[static_cast<std::size_t>(which)];
    // Windows with their own taskbar entry stand alone; the others belong to the owner.
    QWidget* parent = design.style == Style::SizableWindow ? nullptr : owner;
    const Qt::WindowFlags flags = flagsFor(design.style);
    HelpWindow* window = nullptr;
    switch (which) {
        case HelpWindows::Window::HelpMeasure:
            window = new FormWindow<Ui::HelpMeasure>(parent, flags);
            break;
        case HelpWindows::Window::HelpPrinter:
            window = new FormWindow<Ui::HelpPrinter>(parent, flags);
            break;
        case HelpWindows::Window::HelpDigVFD:
            window = new FormWindow<Ui::HelpDigVFD>(parent, flags);
            break;
        case HelpWindows::Window::InfoProbeLogic:
            window = new FormWindow<Ui::InfoProbeLogic>(parent, flags);
            break;
        case HelpWindows::Window::InfoFourthAxisHoming:
            window = new FormWindow<Ui::InfoFourthAxisHoming>(parent, flags);
            break;
    }
    if (design.style == Style::FixedDialog) window->setFixedSize(window->designSize);
    window->setWindowModality(Qt::ApplicationModal);
    return window;
}

}  // namespace

HelpWindows::HelpWindows(QWidget* owner) : owner_(owner) {}

HelpWindows::~HelpWindows() {
    // Windows that belong to the owner may already have gone with it.
    for (QPointer<QWidget>& window : windows_) delete window.data();
}

QWidget* HelpWindows::existing(Window which) const { return windows_[static_cast<std::size_t>(which)].data(); }

int HelpWindows::creations(Window which) const { return creations_[static_cast<std::size_t>(which)]; }

QWidget* HelpWindows::prepare(Window which) {
    const auto index = static_cast<std::size_t>(which);
    if (!windows_[index]) {
        windows_[index] = createWindow(which, owner_);
        ++creations_[index];
    }
    auto* window = static_cast<HelpWindow*>(windows_[index].data());

    // Nothing of an earlier showing carries over: not its size, state or place.
    window->setWindowState(Qt::WindowNoState);
    const Placement& placement = kDesigns[index].placement;
    if (placement.manual)
        window->setGeometry(QRect(placement.at, window->designSize));
    else
        window->resize(window->designSize);
    return window;
}

void HelpWindows::show(Window which) {
    QPointer<HelpWindow> window = static_cast<HelpWindow*>(prepare(which));

    QEventLoop loop;
    window->closed = [&loop] { loop.quit(); };
    QObject::connect(window.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    window->raise();
    window->activateWindow();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);

    if (window) {
        window->closed = nullptr;
        window->discardOnScreenWindow();
    }
}
