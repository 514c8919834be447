#pragma once
// The main window, built from the layout data: every control of
// layout::MainWindow() as a Qt widget, in its place, with its texts, fonts,
// colours, states, stacking and tab order. It reports what the user does to a
// UserEvents listener (the editor, through EditorEvents) and nothing else: the
// window holds no state and runs no handler of its own.

#include <QWidget>
#include <array>

#include "editor/UserEvents.h"
#include "screens/Controls.h"

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
