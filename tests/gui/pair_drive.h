// Drives a window's receive poll from the test: what the port delivers is collected, and handed
// on as soon as the frame the test expects is in, without waiting out the frame delay.
#pragma once

#include "app/main_window.h"
#include "protocol/receive_loop.h"

#include <QTest>
#include <chrono>

// Collects until `length` bytes wait in the buffer, then hands them on as one frame.
inline bool HandOn(TForm1& w, std::size_t length, int timeoutMs = 5000) {
    const bool in = QTest::qWaitFor(
        [&] {
            w.Receive().Timer1Timer();
            return w.Receive().Held() >= length;
        },
        timeoutMs);
    if (!in)
        return false;
    // The quiet gap is the test's to decide: the frame is all there.
    w.Receive().Step(core::ExchangeClock::now() + std::chrono::hours(1));
    return w.Receive().Held() == 0;
}
