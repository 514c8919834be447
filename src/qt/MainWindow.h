#pragma once
// The main window, built from the layout data: every control of
// layout::MainWindow() as a Qt widget, in its place, with its texts, fonts,
// colours, states, stacking and tab order. It reports what the user does to a
// UserEvents listener (the editor, through EditorEvents) and nothing else: the
// window holds no state and runs no handler of its own.

#include <QWidget>
#include <array>

#include "screens/Controls.h"

class MainScreen;

// What the user did in the window, one call per event, as MainScreen takes them.
class UserEvents {
public:
    virtual ~UserEvents() = default;
    virtual void TextTyped(Control box) = 0;
    virtual void Clicked(Control control) = 0;
    virtual void RowPicked(Control list) = 0;
    virtual void FocusLeft(Control control) = 0;
    virtual void CloseRequested() = 0;
};

// Passes every event on to the editor.
class EditorEvents final : public UserEvents {
public:
    explicit EditorEvents(MainScreen& screen) : screen_(screen) {}
    void TextTyped(Control box) override;
    void Clicked(Control control) override;
    void RowPicked(Control list) override;
    void FocusLeft(Control control) override;
    void CloseRequested() override;

private:
    MainScreen& screen_;
};

class MainWindow : public QWidget {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The control's widget; nullptr for the file dialog, which has none.
    QWidget* control(Control control) const;
    template <class T>
    T* control(Control c) const {
        return qobject_cast<T*>(control(c));
    }
    // The control a widget of this window is (a list's text part counts as the
    // list), or Control::None.
    Control controlOf(const QWidget* widget) const;

    // From now on the user's events go to `events`; nullptr: to nobody.
    void reportTo(UserEvents* events);

    // The program is ending: a close command closes the window from now on,
    // without asking the editor.
    void setEnding() { ending_ = true; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectEvents();

    std::array<QWidget*, kControlCount> controls_{};
    UserEvents* events_ = nullptr;
    bool ending_ = false;
};
