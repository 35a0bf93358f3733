#pragma once
// Answers a modal window the code under test opens with exec(): the callback runs inside
// that window's event loop as soon as it is the active modal widget.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace kestrel::testing {

// Polls on the event loop (no sleeping); gives up after a deadline so a missing window
// fails the test instead of hanging it.
template <typename Window>
void when_modal(std::function<void(Window*)> act, QWidget* not_this = nullptr) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if ((window && window != not_this && window->isVisible()) || clock->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            act(window && window != not_this ? window : nullptr);
        }
    });
    timer->start();
}

}  // namespace kestrel::testing
