#include "qt/HelpWindows.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <functional>

#include "qt/DesignFont.h"
#include "qt/FromLayout.h"

namespace {

using layout::ControlLayout;
using layout::Kind;
using layout::WindowLayout;
using qtfront::Horizontal;
using qtfront::ObjectName;
using qtfront::Px;
using qtfront::Utf8;

QLabel* CreateControl(const ControlLayout& laidOut, QWidget* window) {
    auto* control = new QLabel(window);
    control->setObjectName(ObjectName(laidOut));
    control->setGeometry(qtfront::Place(laidOut));
    switch (laidOut.kind) {
    case Kind::PictureBox:
        // The picture at its own size from the top-left corner, cut off by the
        // box, inside a sunken border of 2 pixels.
        control->setFrameShape(QFrame::Panel);
        control->setFrameShadow(QFrame::Sunken);
        control->setLineWidth(2);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        control->setPixmap(QPixmap(QStringLiteral(":/help/") + Utf8(laidOut.picture)));
        break;
    case Kind::Image:
        // The whole picture stretched to the rectangle.
        control->setScaledContents(true);
        control->setPixmap(QPixmap(QStringLiteral(":/help/") + Utf8(laidOut.picture)));
        break;
    case Kind::Label:
    default:
        control->setTextFormat(Qt::PlainText);
        control->setText(Utf8(laidOut.text));
        control->setWordWrap(true);
        control->setAlignment(Horizontal(laidOut.align) | Qt::AlignTop);
        if (laidOut.font != layout::kWindowFont)
            control->setFont(qtfront::DesignFont(control->font(), laidOut.font.points, laidOut.font.bold, false));
        if (laidOut.backColour == layout::Colour::TitleBarText) {
            control->setBackgroundRole(QPalette::HighlightedText);
            control->setAutoFillBackground(true);
        }
        break;
    }
    return control;
}

// A help window: closes only through its close box (it has no keyboard command
// of its own) and tells its showing when it has been closed.
class HelpWindow final : public QWidget {
public:
    HelpWindow(const WindowLayout& laidOut, QWidget* parent) : QWidget(parent, qtfront::WindowFlags(laidOut)) {
        setObjectName(Utf8(laidOut.name));
        setWindowTitle(Utf8(laidOut.caption));
        setFont(qtfront::DesignFont(font(), layout::kDefaultPoints, false, false));
        // Later controls lie in front of earlier ones (the probe names over their picture).
        for (const ControlLayout& control : laidOut.controls) CreateControl(control, this)->raise();
        designSize = QSize(Px(laidOut.clientWidth), Px(laidOut.clientHeight));
        resize(designSize);
        if (laidOut.border == layout::Border::FixedDialog) setFixedSize(designSize);
        setWindowModality(Qt::ApplicationModal);
    }

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
    const WindowLayout& laidOut = layout::Help(which);
    if (!windows_[index]) {
        // Windows with their own taskbar entry stand alone; the others belong to the owner.
        windows_[index] = new HelpWindow(laidOut, laidOut.inTaskbar ? nullptr : owner_);
        ++creations_[index];
    }
    auto* window = static_cast<HelpWindow*>(windows_[index].data());

    // Nothing of an earlier showing carries over: not its size, state or place.
    window->setWindowState(Qt::WindowNoState);
    if (laidOut.manualPlacement)
        window->setGeometry(QRect(QPoint(Px(laidOut.left), Px(laidOut.top)), window->designSize));
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
