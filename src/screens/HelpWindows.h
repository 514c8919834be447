#pragma once
// The five help and information windows: each created the first time it is
// asked for, kept for the rest of the run, and shown modally in its design state.

#include <QWidget>
#include <map>
#include <memory>

class HelpWindows {
public:
    // Same order as UserDialogs::HelpWindow, which is cast to it.
    enum class Window { HelpMeasure, HelpPrinter, HelpDigVFD, InfoProbeLogic, InfoFourthAxisHoming };

    explicit HelpWindows(QWidget* owner = nullptr);
    ~HelpWindows();

    // Shows the window modally; returns when the user has closed it.
    void show(Window window);

private:
    QWidget* owner_;
};
