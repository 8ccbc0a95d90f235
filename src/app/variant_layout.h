// What the customer variant and the module model of Config.ini change in the window: the
// factory layout shows every group, customer layouts hide the factory-only controls and pack
// the rest, and a few variants rearrange the frequency row.
#pragma once

#include "form/globals.h"

class QMainWindow;

namespace Ui {
class TForm1;
}

// Window height of the customer layouts, in pixels at 96 dpi.
inline constexpr int kCustomerWindowHeight = 550;

void ApplyVariantLayout(Ui::TForm1& ui, QMainWindow& window, const Globals& g);
