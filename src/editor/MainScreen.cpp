#include "editor/MainScreen.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <utility>

#include "ui_MainScreen.h"

namespace {

// Runs a callback for chosen events of one widget; the widget's own handling goes on.
class EventHook : public QObject {
public:
    using Callback = std::function<void(QEvent*)>;
    static constexpr QLatin1String kName{"MainScreen event hook"};
    EventHook(QObject* target, Callback callback, QObject* owner)
        : QObject(owner), callback_(std::move(callback)) {
        setObjectName(kName);
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        callback_(event);
        return false;
    }

private:
    Callback callback_;
};

// A mouse click on a label: left button released over it.
bool isClick(QEvent* event, const QWidget* widget) {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint());
}

// The focus went to another control of this program. Switching to another
// program, or a message box taking the focus, is no loss of focus to the editor.
bool isFocusLost(QEvent* event) {
    if (event->type() != QEvent::FocusOut) return false;
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void runHandler(const std::unordered_map<const QObject*, std::function<void()>>& handlers, const QObject* field) {
    if (const auto it = handlers.find(field); it != handlers.end()) it->second();
}

// Appends rows without selecting one: the list keeps the text it shows.
void appendRows(QComboBox* list, const QStringList& rows) {
    const QString shown = list->currentText();
    const QSignalBlocker quiet(list);
    list->addItems(rows);
    list->setCurrentIndex(-1);
    list->setEditText(shown);
}

// The window's font: "MS Sans Serif" 8.25 pt where installed, else the nearest
// sans-serif at the same size.
QFont windowFont(QFont font) {
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    const QString used = QFontInfo(font).family();
    if (!used.startsWith(QLatin1String("MS Sans Serif")) && !used.startsWith(QLatin1String("Microsoft Sans Serif"))) {
        // The captions were fitted to MS Sans Serif, which is narrower than its
        // stand-ins: draw the stand-in narrower, to about the same line widths
        // (this sentence of 43 letters takes some 196 px at 11 px, 96 dpi).
        const QString sample = QStringLiteral("The quick brown fox jumps over the lazy dog");
        const qreal wide = QFontMetricsF(font).horizontalAdvance(sample);
        const qreal target = 196.0 * QFontInfo(font).pixelSize() / 11.0;
        if (wide > target) font.setStretch(std::max(75, static_cast<int>(100.0 * target / wide)));
    }
    return font;
}

// The controls the form marks bold get 9.75 pt bold.
void enlargeBoldCaptions(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!(control->font().resolveMask() & QFont::WeightResolved) || !control->font().bold()) continue;
        QFont bold = control->font();
        bold.setPointSizeF(9.75);
        control->setFont(bold);
    }
}

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
void setEnabledRole(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    control->setPalette(palette);
}

void applyColours(Ui::MainScreen& form) {
    const QPalette system = form.Label1->palette();
    setEnabledRole(form.Label1, QPalette::WindowText, QColor(255, 0, 0));

    // The spindle panel's caption is dark red; its contents keep the system's text colour.
    setEnabledRole(form.SpindleFrame, QPalette::WindowText, QColor(64, 0, 0));
    for (QWidget* inside : form.SpindleFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        setEnabledRole(inside, QPalette::WindowText, system.color(QPalette::Active, QPalette::WindowText));

    // Displays that are not typed into look like the button face.
    for (QLineEdit* display : {form.SpinVel, form.NewSteps, form.TestSpeed, form.Dummy}) {
        QPalette palette = display->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Button));
        display->setPalette(palette);
    }
    // The hidden pair has the scroll-bar grey; Midlight is the palette's nearest role.
    for (QLineEdit* field : {form.PulseMagic, form.XMLRev}) {
        QPalette palette = field->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Midlight));
        field->setPalette(palette);
    }
}

}  // namespace

MainScreen::MainScreen(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      dialogs_(dialogs),
      ui(std::make_unique<Ui::MainScreen>()) {
    // The font first, so that the form's controls are laid out once, in it.
    setFont(windowFont(font()));
    ui->setupUi(this);
    enlargeBoldCaptions(this);
    setFixedSize(size());
    Step0 = {ui->Step0_0, ui->Step0_1, ui->Step0_2, ui->Step0_3, ui->Step0_4,
             ui->Step0_5, ui->Step0_6, ui->Step0_7, ui->Step0_8, ui->Step0_9};

    // Typing into a list's text part picks no row and runs nothing.
    for (QComboBox* list : {ui->MachineType, ui->ProbeLogicCombo, ui->FourthHomingCombo}) {
        list->setCompleter(nullptr);
        list->setInsertPolicy(QComboBox::NoInsert);
        // Qt picks the row whose text was typed when editing finishes; ours does not.
        disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
    }

    for (QPushButton* button : findChildren<QPushButton*>())
        if (WrappedCaption::needed(button)) new WrappedCaption(button);
    applyColours(*ui);
    ui->SpinVel->raise();  // lies over the spindle panel, in front of it

    connectHandlers();
    Form_Load();
}

MainScreen::~MainScreen() {
    // The controls outlive this part of the window for a moment: no event of
    // theirs (a jog entry losing the focus) may reach a handler any more.
    const QObjectList all = children();  // a copy: deleting a child changes the list
    for (QObject* child : all)
        if (child->objectName() == EventHook::kName) delete child;
}

void MainScreen::connectHandlers() {
    // Text boxes whose change runs a handler, when typed into or set by SetText.
    const auto onChange = [this](QLineEdit* box, std::function<void()> handler) {
        changeHandlers_[box] = std::move(handler);
        connect(box, &QLineEdit::textEdited, this, [this, box] { runHandler(changeHandlers_, box); });
    };
    onChange(ui->ManVolts, [this] { ManVolts_Change(); });
    onChange(ui->AutoVolts, [this] { AutoVolts_Change(); });
    onChange(ui->HzAt500, [this] { HzAt500_Change(); });
    for (std::size_t i = 0; i < Step0.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i);
        onChange(Step0[i], [this, index] { Step0_Change(index); });
        new EventHook(Step0[i], [this, index](QEvent* event) {
            if (isFocusLost(event)) Step0_LostFocus(index);
        }, this);
    }

    // Lists whose row choice runs a handler, when picked by the user (also the
    // same row again) or set by SetListIndex.
    const auto onClick = [this](QComboBox* list, std::function<void()> handler) {
        clickHandlers_[list] = std::move(handler);
        connect(list, &QComboBox::activated, this, [this, list] { runHandler(clickHandlers_, list); });
    };
    onClick(ui->MachineType, [this] { MachineType_Click(); });
    onClick(ui->ProbeLogicCombo, [this] { ProbeLogicCombo_Click(); });
    onClick(ui->FourthHomingCombo, [this] { FourthHomingCombo_Click(); });

    connect(ui->OpenProfile, &QPushButton::clicked, this, [this] { OpenProfile_Click(); });
    connect(ui->SaveButt, &QPushButton::clicked, this, [this] { SaveButt_Click(); });
    connect(ui->DoneButt, &QPushButton::clicked, this, [this] { DoneButt_Click(); });
    connect(ui->SetDef, &QPushButton::clicked, this, [this] { SetDef_Click(); });
    connect(ui->SetSmallInch, &QPushButton::clicked, this, [this] { SetSmallInch_Click(); });
    connect(ui->SetSmallMM, &QPushButton::clicked, this, [this] { SetSmallMM_Click(); });
    connect(ui->HelpPort, &QPushButton::clicked, this, [this] { HelpPort_Click(); });
    connect(ui->HelpMeasButt, &QPushButton::clicked, this, [this] { HelpMeasButt_Click(); });
    connect(ui->cmdProbeLogicInfo, &QPushButton::clicked, this, [this] { cmdProbeLogicInfo_Click(); });
    connect(ui->cmdFourthAxisHomingInfo, &QPushButton::clicked, this, [this] { cmdFourthAxisHomingInfo_Click(); });

    new EventHook(ui->Label15, [this](QEvent* event) {
        if (isClick(event, ui->Label15)) Label15_Click();
    }, this);
}

void MainScreen::SetText(QLineEdit* box, const QString& text) {
    if (!box) return;
    box->setText(text);  // setText raises no textEdited, so the handler runs once, here
    box->home(false);    // a set text shows from its start, as a long path should
    runHandler(changeHandlers_, box);
}

void MainScreen::SetListIndex(QComboBox* list, int index) {
    if (!list) return;
    // A row the list does not have selects none.
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    runHandler(clickHandlers_, list);
}

void MainScreen::Form_Load() {
    ui->txtOpenedFile->setEnabled(false);
    ui->OpenProfile->setEnabled(false);
    ui->MachineType->setEnabled(true);
    EnableStuff(false);
    appendRows(ui->MachineType, {QStringLiteral("<Choose machine this config. is for>"), QStringLiteral("Ombrel M40"),
                                 QStringLiteral("Ombrel M40 Wide Speed Spindle"),
                                 QStringLiteral("Ombrel M40 Series II/Series 3"),
                                 QStringLiteral("Ombrel M25 Original/Series 3")});
    MachineIndex = -1;
    appendRows(ui->ProbeLogicCombo, {QStringLiteral("Probe breaks circuit on touch (passive probe)"),
                                     QStringLiteral("Probe makes circuit on touch (active probe)")});
    appendRows(ui->FourthHomingCombo, {QStringLiteral("Homing disabled"), QStringLiteral("Homing enabled")});
}

void MainScreen::EnableStuff(bool state) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->PortFrame, ui->SpindleFrame, ui->JogFrame, ui->SaveButt, ui->HelpPort, ui->HelpMeasButt,
             ui->ProbeFrame, ui->FourthAxisHomingFrame, ui->SetDef, ui->SetSmallInch, ui->SetSmallMM})
        control->setEnabled(state);
}

void MainScreen::Label15_Click() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui->PulseMagic, ui->PulseMagicLabel, ui->XMLRev, ui->XMLRevLabel})
        control->setVisible(true);
}

void MainScreen::ProbeLogicCombo_Click() {
    ProbeLogicIndex = static_cast<std::int16_t>(ui->ProbeLogicCombo->currentIndex());
}

void MainScreen::FourthHomingCombo_Click() {
    FourthHomingIndex = static_cast<std::int16_t>(ui->FourthHomingCombo->currentIndex());
    ProfileChanged = true;
}

void MainScreen::MachineType_Click() {
    MachineIndex = static_cast<std::int16_t>(ui->MachineType->currentIndex());
    ui->txtOpenedFile->setEnabled(true);
    ui->OpenProfile->setEnabled(true);
    switch (MachineIndex) {
    case 1:
        SetVfdDisplay(false);
        break;
    case 2:
    case 3:
        SetVfdDisplay(true);
        SetText(ui->TestSpeed, QStringLiteral("500"));
        NominalHz = 34.6;
        break;
    case 4:
        SetVfdDisplay(true);
        SetText(ui->TestSpeed, QStringLiteral("1000"));
        NominalHz = 36.3;
        break;
    default:
        ui->txtOpenedFile->setEnabled(false);
        ui->OpenProfile->setEnabled(false);
        break;
    }
}

void MainScreen::SetVfdDisplay(bool digital) {
    DigitalVfd = digital;
    // Every control of the window, in the window's order, whatever panel it sits in.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->property("Tag").toString().contains(QLatin1String("Hz"), Qt::CaseSensitive))
            control->setVisible(digital);
        if (control->property("Tag").toString().contains(QLatin1String("Volts"), Qt::CaseSensitive))
            control->setVisible(!digital);
    }
}
