// Writing a serial number into a simulated module and reading it back: the module's answers
// save the fields, step the running number and select the model in both lists.
#include "config/config_file.h"
#include "models_test_widgets.h"
#include "sim_process.h"

#include <gtest/gtest.h>

TEST(SerialNumberRoundTrip, WriteThenReadBack) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({})) << sim.error();
    GuiHarness h("[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n", sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";

    auto* model = h.Find<QComboBox>("ComboBox11");
    auto* year = h.Find<QComboBox>("ComboBox12");
    auto* month = h.Find<QComboBox>("ComboBox13");
    auto* number = h.Find<QLineEdit>("Edit2");
    ASSERT_TRUE(Pick(model, 18));
    TypeInto(year->lineEdit(), "2012");
    TypeInto(month->lineEdit(), "05");
    TypeInto(number, "00258");
    h.Click("SpeedButton25");
    ASSERT_TRUE(h.WaitStatus(2, "Write SN OK!")) << Utf8(h.Status(2));
    // The file holds the number written; the field offers the next one.
    EXPECT_EQ(config::LoadConfig(h.ConfigFile()).sn,
              (config::SerialNoFields{18, "2012", "05", "00258"}));
    EXPECT_EQ(number->text(), "00259");

    h.Click("SpeedButton24");
    EXPECT_EQ(number->text(), "");
    ASSERT_TRUE(h.WaitStatus(2, "Read SN OK!")) << Utf8(h.Status(2));
    EXPECT_EQ(model->currentText(), "QX230A");
    EXPECT_EQ(h.Find<QComboBox>("ComboBox15")->currentText(), "QX230A");
    EXPECT_EQ(year->currentText(), "2012");
    EXPECT_EQ(month->currentText(), "05");
    EXPECT_EQ(number->text(), "00258");
    // The model answer gates the lists as a choice by hand does.
    EXPECT_EQ(Items(h.Find<QComboBox>("ComboBox16")), QStringList{"230MHZ"});
    EXPECT_EQ(h.Find<QComboBox>("ComboBox4")->count(), 8);
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}
