// Runs a function on the events one widget receives before the widget sees them; the function
// returns true to swallow the event. Used where the form's plain Qt widgets need a handler for
// an event they have no signal for (focus entering or leaving, a key, opening a list).
#pragma once

#include <QEvent>
#include <QFocusEvent>
#include <QObject>
#include <functional>

// A focus event between the window's own controls: not a popup (a list's drop-down, a field's
// context menu) or another window (a message box) taking the focus for a while and giving it
// back. Entering and leaving handlers run only on these.
inline bool FocusMovesWithinWindow(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;

    // The handler's owner keeps the hook: the window's widgets outlive the subsystems and still
    // get focus events while they are torn down, which must not reach a destroyed owner.
    EventHook(QObject* widget, Handler handler) : m_handler(std::move(handler)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return m_handler(event); }

private:
    Handler m_handler;
};
