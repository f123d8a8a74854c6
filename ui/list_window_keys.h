// The keys a list window (the absolute list, the figures per tool) takes
// before its list does: Enter does nothing (the list would move its current
// row), Ctrl+C copies the selected rows (not the current cell), F1 asks for
// the manual.
#pragma once

#include <functional>

class QEvent;

struct ListWindowKeys {
    std::function<void()> copy;
    std::function<void()> help;

    // True when `event` was one of these keys and has been used: a key press
    // acted on, or a shortcut override taken so that the key press comes.
    bool take(QEvent* event) const;
};
