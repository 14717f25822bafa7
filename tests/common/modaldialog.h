#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs action, which is expected to open a modal dialog of type Dialog; check gets the dialog
// once its event loop runs, and should close it. Answers whether the dialog was seen. With no
// such dialog within the action, check is never called.
template <typename Dialog>
bool WithModal(const std::function<void()>& action, const std::function<void(Dialog&)>& check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            seen = true;
            check(*dialog);
        }
    });
    action();
    return seen;
}
