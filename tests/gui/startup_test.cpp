#include "gui_harness.h"
#include "pty.h"

#include <gtest/gtest.h>

TEST(Startup, WindowComesUpWithoutConfigFile) {
    GuiHarness h("", "");
    TForm1& w = h.Start();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(h.G().AppState, StateCommand);
}
