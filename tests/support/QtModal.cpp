#include "QtModal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace qttest {

void WhenModal(std::function<void(QWidget*, int)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    struct State {
        QPointer<QWidget> target;
        bool started = false;
        int ticks = 0;
    };
    auto state = std::make_shared<State>();
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act), state] {
        if (!state->started) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            state->target = modal;
            state->started = true;
        }
        QWidget* window = state->target.data();
        if (!window || !window->isVisible()) {  // closed: this poll is done
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (state->ticks > 500) {
            ADD_FAILURE() << "the window \"" << window->windowTitle().toStdString() << "\" did not close";
            window->hide();
            return;
        }
        act(window, state->ticks++);
    });
    poll->start();
}

QPushButton* ButtonWithText(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text().remove(QLatin1Char('&')) == text) return button;
    return nullptr;
}

void CloseOtherWindows(const QWidget* keep) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != keep && top->isVisible()) top->close();
}

void ForgetProgramEnd() {
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

}  // namespace qttest
