// The far end for the receive and answer tests: a real window whose COM1 is a pseudo-terminal
// on which the test plays the module, writing answers and reading requests.
#pragma once

#include "catalogue/model_catalogue.h"
#include "core/frame.h"
#include "form/status_panels.h"
#include "gui_harness.h"
#include "pty.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QTest>
#include <gtest/gtest.h>
#include <string>

class ModulePeer {
public:
    // `ver` and `option` are the lines of sections Ver and Option of Config.ini; the module
    // runs at 9600 baud without parity.
    explicit ModulePeer(const std::string& ver, const std::string& option = "Delay time=60")
        : h("[COM]\nPort=0\nRate=4\nVerify=2\n[Ver]\n" + ver + "\n[Option]\n" + option + "\n",
            pty.SlavePath()) {
        h.IgnoreSystemPorts();
        h.Start();
        EXPECT_TRUE(h.G().PortOpenFlags[0]) << "COM1 did not open";
        h.Ctx().status.Set(2, "-");
        h.Window().SerialLink().AddObserver([this](const serial::Traffic& traffic) {
            if (traffic.direction == serial::Direction::kReceived)
                received += traffic.bytes.size();
        });
    }

    Ui::TForm1& ui() { return h.Ctx().ui; }
    Globals& g() { return h.G(); }

    // Writes the bytes of `hex` and waits until the receive has collected them and handed them
    // on.
    bool Deliver(const std::string& hex) {
        const std::size_t until = received + hex.size() / 2;
        return Write(hex) && QTest::qWaitFor([&] { return received >= until; }, 2000) &&
               QTest::qWaitFor([&] { return !g().DataPending; }, 5000);
    }
    // Panel 2 once `hex` has been handled, with `lastCommand` pending.
    QString StatusAfter(const char* lastCommand, const std::string& hex) {
        g().LastCommand = lastCommand;
        return Deliver(hex) ? h.Status(2) : QString("nothing handed on");
    }
    bool Write(const std::string& hex) { return pty.Write(core::HexToBytes(hex)); }
    // The hex of the next `count` bytes the tool wrote.
    std::string Sent(std::size_t count) { return core::BytesToHex(pty.Read(count, 2000)); }

    // Selects a model as the operator would, which fills the channel and rate lists.
    void ChooseModel(int position) {
        ui().ComboBox15->setCurrentIndex(position);
        h.Ctx().models->ComboBox15Click();
    }

    PtyPair pty;
    GuiHarness h;
    std::size_t received = 0; // bytes the window took from the port
};

// Hex of a 5A5A answer with answer code `code` ("0003") and `payload`.
inline std::string Answer5A5A(const char* code, const char* payload) {
    return core::FrameText5A5A("0000", code, payload);
}
