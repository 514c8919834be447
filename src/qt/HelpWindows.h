#pragma once
// The five help and information windows, built from layout::Help(): each
// created the first time it is asked for, kept for the rest of the run, and
// shown modally in its design state.

#include <QPointer>
#include <QWidget>
#include <array>

#include "screens/Layout.h"

class HelpWindows {
public:
    using Window = layout::HelpWindow;

    explicit HelpWindows(QWidget* owner = nullptr);
    ~HelpWindows();
    HelpWindows(const HelpWindows&) = delete;
    HelpWindows& operator=(const HelpWindows&) = delete;

    // Shows the window modally; returns when the user has closed it.
    void show(Window window);

    // The window object, created on the first request and the same one after,
    // put back in its design state (client size, and place where it has one)
    // ready to be shown. show() runs it modally.
    QWidget* prepare(Window window);

    // The window object if it has been created, else nullptr.
    QWidget* existing(Window window) const;

    // How many times the window object has been created (once at most while
    // it lives).
    int creations(Window window) const;

private:
    static constexpr std::size_t kWindows = layout::kHelpWindows;
    QWidget* owner_;
    std::array<QPointer<QWidget>, kWindows> windows_{};
    std::array<int, kWindows> creations_{};
};
