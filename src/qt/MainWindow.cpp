#include "qt/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>
#include <algorithm>
#include <utility>
#include <vector>

#include "editor/MainScreen.h"
#include "qt/DesignFont.h"
#include "qt/FromLayout.h"
#include "qt/ProgramIcon.h"
#include "screens/Layout.h"

namespace {

using layout::ControlLayout;
using layout::Kind;

using qtfront::Horizontal;
using qtfront::ObjectName;
using qtfront::Place;
using qtfront::Px;
using qtfront::Utf8;

// A button whose caption is wider than the button shows it on several lines,
// centred, as the buttons of the jog panel are drawn for.
class WrappedCaption : public QObject {
public:
    explicit WrappedCaption(QPushButton* button) : QObject(button), button_(button) {
        button->installEventFilter(this);
    }

    static bool needed(const QPushButton* button) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return button->fontMetrics().horizontalAdvance(button->text()) > room.width();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        QStylePainter painter(button_);
        QStyleOptionButton option;
        option.initFrom(button_);
        option.state |= button_->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
        const QRect room = button_->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button_);
        painter.drawItemText(room, Qt::AlignCenter | Qt::TextWordWrap, option.palette, button_->isEnabled(),
                             button_->text(), QPalette::ButtonText);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = button_->style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, button_);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
        return true;
    }

private:
    QPushButton* button_;
};

// Sets a role for the enabled look only; disabled keeps the system's greyed colour.
void SetEnabledRole(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    control->setPalette(palette);
}

// A text box's background from another role of the system's palette, in every state.
void SetBaseFrom(QWidget* box, QPalette::ColorRole role) {
    QPalette palette = box->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Base, palette.brush(group, role));
    box->setPalette(palette);
}

QWidget* Create(const ControlLayout& laidOut, QWidget* parent) {
    const QString text = Utf8(laidOut.text);
    switch (laidOut.kind) {
    case Kind::Label: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Horizontal(laidOut.align) | Qt::AlignTop);
        return label;
    }
    case Kind::TextBox: {
        auto* box = new QLineEdit(text, parent);
        box->setAlignment(Horizontal(laidOut.align) | Qt::AlignVCenter);
        box->setReadOnly(laidOut.readOnly);
        box->setFrame(laidOut.border);
        return box;
    }
    case Kind::Frame: return new QGroupBox(text, parent);
    case Kind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        return button;
    }
    case Kind::ComboBox: {
        auto* list = new QComboBox(parent);
        list->setEditable(true);
        // Typing into the text part picks no row and adds none.
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        // Qt picks the row whose text was typed when editing finishes; ours does not.
        QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
        list->setEditText(text);
        return list;
    }
    case Kind::FileDialog:  // shown by the dialogs when asked for; no widget
    case Kind::PictureBox:  // only the help windows have pictures
    case Kind::Image: break;
    }
    return nullptr;
}

bool TakesFocus(Kind kind) { return kind == Kind::TextBox || kind == Kind::Button || kind == Kind::ComboBox; }

// The focus went to another control of this program. Switching to another
// program, or a message box or a list's popup taking the focus, is no loss of
// focus to the editor.
bool IsFocusLost(const QEvent* event) {
    if (event->type() != QEvent::FocusOut) return false;
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// A mouse click on a label: the left button released over it.
bool IsClick(const QEvent* event, const QWidget* widget) {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint());
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent, qtfront::WindowFlags(layout::MainWindow())) {
    build();
    connectEvents();
}

MainWindow::~MainWindow() {
    // The controls outlive this part of the window for a moment: no event of
    // theirs (a jog entry losing the focus as it goes) may reach the editor.
    events_ = nullptr;
    for (QWidget* widget : controls_)
        if (widget) widget->removeEventFilter(this);
}

void MainWindow::build() {
    const layout::WindowLayout& laidOut = layout::MainWindow();
    setObjectName(Utf8(laidOut.name));
    setWindowTitle(Utf8(laidOut.caption));
    if (laidOut.programIcon) setWindowIcon(programIcon());
    // The font first, so that every control is measured in it.
    setFont(qtfront::DesignFont(font(), layout::kDefaultPoints, false, true));
    const QPalette system = palette();

    for (const ControlLayout& control : laidOut.controls) {
        QWidget* parent = this;
        if (!control.container.empty()) {
            const ControlLayout* frame = layout::FindMainControl(control.container);
            parent = frame ? controls_[static_cast<std::size_t>(frame->id)] : nullptr;
            if (!parent) parent = this;
        }
        QWidget* widget = Create(control, parent);
        controls_[static_cast<std::size_t>(control.id)] = widget;
        if (!widget) continue;
        widget->setObjectName(ObjectName(control));
        widget->setGeometry(Place(control));
        if (control.font != layout::kWindowFont) widget->setFont(qtfront::ControlFont(font(), control.font));
        if (!control.tooltip.empty()) widget->setToolTip(Utf8(control.tooltip));
        if (!control.tag.empty()) widget->setProperty("Tag", Utf8(control.tag));
        if (!control.visible) widget->setVisible(false);
        if (!control.enabled) widget->setEnabled(false);
        // Later controls lie in front of earlier ones where they overlap.
        widget->raise();
    }

    // Colours, once every control is in its container.
    for (const ControlLayout& control : laidOut.controls) {
        QWidget* widget = controls_[static_cast<std::size_t>(control.id)];
        if (!widget) continue;
        if (const auto rgb = layout::FixedColour(control.foreColour)) {
            const QColor colour(rgb->red, rgb->green, rgb->blue);
            SetEnabledRole(widget, QPalette::WindowText, colour);
            // A frame's colour is its caption's: its contents keep the system's text colour.
            if (control.kind == Kind::Frame)
                for (QWidget* inside : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    SetEnabledRole(inside, QPalette::WindowText, system.color(QPalette::Active, QPalette::WindowText));
        }
        switch (control.backColour) {
        case layout::Colour::ButtonFace: SetBaseFrom(widget, QPalette::Button); break;
        // Midlight is the palette's nearest role to the scroll-bar grey.
        case layout::Colour::ScrollBar: SetBaseFrom(widget, QPalette::Midlight); break;
        case layout::Colour::TitleBarText:
            widget->setBackgroundRole(QPalette::HighlightedText);
            widget->setAutoFillBackground(true);
            break;
        case layout::Colour::Default:
        case layout::Colour::Red:
        case layout::Colour::DarkRed: break;
        }
    }

    // Captions too wide for their buttons are drawn wrapped.
    for (const ControlLayout& control : laidOut.controls)
        if (auto* button = qobject_cast<QPushButton*>(controls_[static_cast<std::size_t>(control.id)]))
            if (WrappedCaption::needed(button)) new WrappedCaption(button);

    // The tab order: the focusable controls by their place in the sequence.
    std::vector<const ControlLayout*> sequence;
    for (const ControlLayout& control : laidOut.controls)
        if (TakesFocus(control.kind) && controls_[static_cast<std::size_t>(control.id)]) sequence.push_back(&control);
    std::stable_sort(sequence.begin(), sequence.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < sequence.size(); ++i)
        setTabOrder(controls_[static_cast<std::size_t>(sequence[i - 1]->id)],
                    controls_[static_cast<std::size_t>(sequence[i]->id)]);

    // The user may make the window larger or smaller; with no layout, nothing
    // inside moves or resizes with it.
    resize(Px(laidOut.clientWidth), Px(laidOut.clientHeight));
}

void MainWindow::connectEvents() {
    for (const ControlLayout& laidOut : layout::MainWindow().controls) {
        const Control c = laidOut.id;
        QWidget* widget = controls_[static_cast<std::size_t>(c)];
        if (!widget) continue;
        switch (laidOut.kind) {
        case Kind::TextBox:
            // Only the user's changes: setText() raises no textEdited.
            connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this, [this, c] {
                if (events_) events_->TextTyped(c);
            });
            break;
        case Kind::Button:
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this, [this, c] {
                if (events_) events_->Clicked(c);
            });
            break;
        case Kind::ComboBox:
            // A row the user picked, also the one already selected; typing raises none.
            connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this, [this, c] {
                if (events_) events_->RowPicked(c);
            });
            break;
        case Kind::Label:
        case Kind::Frame:
        case Kind::FileDialog:
        case Kind::PictureBox:
        case Kind::Image: break;
        }
        // Focus changes of the controls that take the focus, clicks on labels,
        // and the tooltips of every control.
        widget->installEventFilter(this);
    }
}

QWidget* MainWindow::control(Control c) const {
    const auto i = static_cast<std::size_t>(c);
    return i < controls_.size() ? controls_[i] : nullptr;
}

Control MainWindow::controlOf(const QWidget* widget) const {
    if (!widget) return Control::None;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i] == widget) return static_cast<Control>(i);
    // A list's text part belongs to the list.
    if (const auto* list = qobject_cast<const QComboBox*>(widget->parentWidget()); list && list->lineEdit() == widget)
        return controlOf(list);
    return Control::None;
}

void MainWindow::reportTo(UserEvents* events) { events_ = events; }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (type == QEvent::ToolTip && widget && widget->toolTip().isEmpty()) {
        // A control without a tooltip of its own shows none: Qt would pass the
        // request on to the panel it sits in and show the panel's.
        QToolTip::hideText();
        event->accept();
        return true;
    }
    if (!events_) return false;
    if (type != QEvent::FocusOut && type != QEvent::MouseButtonRelease) return false;
    const Control c = controlOf(widget);
    if (c == Control::None) return false;
    if (IsFocusLost(event)) {
        events_->FocusLeft(c);
    } else if (qobject_cast<QLabel*>(widget) && widget->isEnabled() && IsClick(event, widget)) {
        events_->Clicked(c);
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ending_ || !events_) {
        event->accept();
        return;
    }
    // Closing the window is leaving the program: the editor asks and saves as
    // "Done" does, and ends the program itself.
    event->ignore();
    events_->CloseRequested();
}
