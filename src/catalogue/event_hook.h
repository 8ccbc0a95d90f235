// Runs a function on the events one widget receives before the widget sees them; the function
// returns true to swallow the event. Used where the form's plain Qt widgets need a handler for
// an event they have no signal for (focus entering or leaving, a key, opening a list).
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;

    // The hook belongs to the widget and goes with it.
    static void Install(QObject* widget, Handler handler) {
        widget->installEventFilter(new EventHook(widget, std::move(handler)));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return m_handler(event); }

private:
    EventHook(QObject* parent, Handler handler) : QObject(parent), m_handler(std::move(handler)) {}

    Handler m_handler;
};
