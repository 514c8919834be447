#pragma once
// What the start-up benchmark runs: a program that shows its window and, once
// the window is on the screen and the event loop has nothing left to do, writes
// "ready" on its standard output and quits. The benchmark times it from the start
// of the process to that line.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace startup {

inline void reportReady() {
    // A zero timer runs once everything already queued, the painting included, is done.
    QTimer::singleShot(0, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

class ExposeWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            seen_ = true;
            reportReady();
        }
        return false;
    }

private:
    bool seen_ = false;
};

// Runs the event loop until `window`, already shown, is exposed and the loop is idle.
inline int reportWhenShown(QApplication& app, QWidget& window) {
    ExposeWatch watch;
    QWindow* handle = window.windowHandle();
    if (!handle) return 1;
    if (handle->isExposed())
        reportReady();
    else
        handle->installEventFilter(&watch);
    return app.exec();
}

}  // namespace startup
