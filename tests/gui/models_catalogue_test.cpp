// The model lists, what each model offers and the channel frequencies shown, driven through the
// real window's lists as the operator uses them.
#include "catalogue/model_catalogue.h"
#include "models_test_widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {

const QStringList kTo19200{"1200", "2400", "4800", "9600", "19200"};
const QStringList kTo38400 = kTo19200 + QStringList{"38400"};
const QStringList kTo57600 = kTo38400 + QStringList{"57600"};
const QStringList k433Bands{"433MHZ", "915MHZ", "868MHZ"};

std::string Ini(const std::string& variant, const std::string& ver = "") {
    return "[Ver]\ntype=" + variant + "\n" + ver + "\n";
}

class Models : public ::testing::Test {
protected:
    // A fresh window; its port has no device, and the boxes of that are not the lists' business.
    GuiHarness& Open(const std::string& ini) {
        h.reset();
        h = std::make_unique<GuiHarness>(ini, "");
        h->Start();
        h->dialogs.shown.clear();
        return *h;
    }
    QComboBox* List(const char* name) { return h->Find<QComboBox>(name); }
    QString Text(const char* edit) { return h->Find<QLineEdit>(edit)->text(); }
    bool Visible(const char* name) { return h->Find<QWidget>(name)->isVisible(); }
    bool Enabled(const char* name) { return h->Find<QWidget>(name)->isEnabled(); }
    std::vector<std::string> Questions() const {
        std::vector<std::string> texts;
        for (const Shown& box : h->dialogs.shown)
            if (box.kind == Shown::Question)
                texts.push_back(box.text);
        return texts;
    }

    std::unique_ptr<GuiHarness> h;
};

TEST_F(Models, BothModelListsShowTheNamesOfTheNamingVariant) {
    struct Row {
        std::string ver;
        QString first, pos18, last;
    };
    const std::vector<Row> rows = {
        {"", "861", "230A", "2405"},              // key QX absent: bare names
        {"QX=1", "QX861", "QX230A", "QX2405"},    //
        {"QX=2", "NUV861", "NUV230A", "NUV2405"}, //
        {"QX=7", "861", "230A", "2405"},          // any other number: bare names
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ver);
        Open(Ini("QXTEST", row.ver));
        const QStringList models = Items(List("ComboBox15"));
        ASSERT_EQ(models.size(), 36);
        EXPECT_EQ(models[0], row.first);
        EXPECT_EQ(models[18], row.pos18);
        EXPECT_EQ(models[35], row.last);
        EXPECT_EQ(Items(List("ComboBox11")), models);
        EXPECT_EQ(List("ComboBox15")->currentIndex(), -1);
        EXPECT_EQ(List("ComboBox11")->currentIndex(), -1);
    }
}

TEST_F(Models, ModelChoiceSetsListsAndGroups) {
    struct Row {
        std::string variant;
        int position;
        int channels;
        QStringList rates;
        QStringList bands;
        bool power, io, txRx, baseStation;
    };
    const std::vector<Row> rows = {
        {"", 0, 4, kTo19200, k433Bands, false, false, false, false},
        {"", 7, 16, kTo38400, k433Bands, false, true, false, false},
        {"", 10, 16, kTo38400, k433Bands, true, false, false, false},
        {"", 17, 8, kTo19200, {"490MHZ"}, true, false, false, false},
        // 886 sits among the 88 models' gating, not its 38400 neighbours'.
        {"", 22, 8, kTo19200, {"490MHZ"}, false, false, false, false},
        {"", 23, 8, kTo38400, {"490MHZ"}, false, false, false, false},
        {"", 31, 8, kTo57600, {"2400MHZ"}, false, false, false, false},
        {"KWTRLP", 2, 16, kTo19200, k433Bands, false, false, false, false},
        {"MORVANTELIS", 6, 10, kTo38400, k433Bands, false, false, true, true},
        {"MORVANTELIS", 8, 10, kTo38400, k433Bands, false, true, true, false},
        {"QXTEST", 9, 17, kTo38400, k433Bands, false, false, false, false},
    };
    std::string openVariant = "-";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.variant + " position " + std::to_string(row.position));
        if (row.variant != openVariant)
            Open(Ini(openVariant = row.variant, "QX=1"));
        ASSERT_TRUE(Pick(List("ComboBox15"), row.position));
        EXPECT_EQ(List("ComboBox4")->count(), row.channels);
        EXPECT_EQ(List("ComboBox4")->itemText(row.channels - 1), QString::number(row.channels));
        EXPECT_EQ(Items(List("ComboBox1")), row.rates);
        EXPECT_EQ(Items(List("ComboBox2")), row.rates);
        EXPECT_EQ(Items(List("ComboBox16")), row.bands);
        EXPECT_EQ(List("ComboBox16")->currentIndex(), -1);
        for (const char* read : {"SpeedButton2", "SpeedButton4", "SpeedButton5"})
            EXPECT_TRUE(Enabled(read)) << read;
        for (const char* power : {"Label33", "ComboBox14", "SpeedButton31", "SpeedButton33"})
            EXPECT_EQ(Enabled(power), row.power) << power;
        for (const char* io : {"SpeedButton12", "SpeedButton13", "SpeedButton32"})
            EXPECT_EQ(Enabled(io), row.io) << io;
        for (const char* txRx : {"Label54", "Label55", "Edit19"})
            EXPECT_EQ(Visible(txRx), row.txRx) << txRx;
        EXPECT_EQ(Visible("CheckBox5"), row.baseStation);
    }
}

TEST_F(Models, ModelChangeLeavesEveryParameterListWithoutSelection) {
    Open(Ini(""));
    ASSERT_TRUE(Pick(List("ComboBox15"), 1));
    ASSERT_TRUE(Pick(List("ComboBox4"), 2));
    ASSERT_TRUE(Pick(List("ComboBox1"), 3));
    ASSERT_TRUE(Pick(List("ComboBox2"), 1));
    ASSERT_TRUE(Pick(List("ComboBox3"), 0));
    ASSERT_TRUE(Pick(List("ComboBox15"), 4));
    for (const char* list : {"ComboBox4", "ComboBox1", "ComboBox2", "ComboBox3", "ComboBox16"})
        EXPECT_EQ(List(list)->currentIndex(), -1) << list;
    EXPECT_EQ(Text("Edit1"), "");
}

TEST_F(Models, ConfirmedBaseFrequencyFillsTheChannelFrequencies) {
    struct Row {
        std::string ini;
        int position;
        QString band;
        int channel;
        QString frequency;
    };
    const std::vector<Row> rows = {
        // Only the exact name "QX861" has the four-entry tables.
        {Ini("", "QX=1"), 0, "433MHZ", 1, "433.5308MHZ"},
        {Ini("", "QX=2"), 0, "433MHZ", 1, "428.0028MHZ"},
        {Ini(""), 0, "433MHZ", 1, "428.0028MHZ"},
        // A channel the table has no entry for shows nothing.
        {Ini(""), 9, "915MHZ", 9, ""},
        {Ini(""), 18, "230MHZ", 1, "230.2251MHZ"},
        {Ini(""), 31, "2400MHZ", 2, "2400MHZMHZ"},
        {Ini("ORW"), 1, "868MHZ", 1, "865.2252MHZ"},
        // The factory layout has a 17th channel on the 87 models.
        {Ini("QXTEST"), 9, "433MHZ", 17, "428.0028MHZ"},
    };
    std::string openIni = "-";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ini + " position " + std::to_string(row.position) + " " + Utf8(row.band));
        if (row.ini != openIni)
            Open(openIni = row.ini);
        h->dialogs.shown.clear();
        ASSERT_TRUE(Pick(List("ComboBox15"), row.position));
        // Chosen by hand with no module read: no base frequency, so no frequencies yet.
        ASSERT_TRUE(Pick(List("ComboBox4"), 0));
        EXPECT_EQ(Text("Edit1"), "");

        h->dialogs.answers.push_back(true);
        ASSERT_TRUE(PickText(List("ComboBox16"), row.band));
        EXPECT_EQ(Questions(), std::vector<std::string>{"你确定为此频率吗？"});
        EXPECT_EQ(List("ComboBox4")->currentIndex(), -1);
        ASSERT_TRUE(Pick(List("ComboBox4"), row.channel - 1));
        EXPECT_EQ(Text("Edit1"), row.frequency);
        EXPECT_FALSE(Visible("Edit19"));
    }
}

TEST_F(Models, DecliningTheChangeRestoresTheBaseFrequency) {
    Open(Ini("", "CEO=EN"));
    ASSERT_TRUE(Pick(List("ComboBox15"), 1));
    h->dialogs.answers = {true};
    ASSERT_TRUE(PickText(List("ComboBox16"), "915MHZ"));
    ASSERT_TRUE(Pick(List("ComboBox4"), 0));
    ASSERT_EQ(Text("Edit1"), "912.5340MHZ");

    // Focus leaves and comes back: the list remembers 915MHZ on entry.
    List("ComboBox15")->setFocus();
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    EXPECT_EQ(List("ComboBox16")->currentText(), "915MHZ");
    EXPECT_EQ(Text("Edit1"), "912.5340MHZ");
    EXPECT_EQ(List("ComboBox4")->currentIndex(), 0);

    // Without leaving the list: a declined change returns to the confirmed 433MHZ, the base
    // frequency of the table shown, not to the one the list had on entry.
    h->dialogs.answers = {true};
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    ASSERT_TRUE(PickText(List("ComboBox16"), "868MHZ"));
    EXPECT_EQ(List("ComboBox16")->currentText(), "433MHZ");
    ASSERT_TRUE(Pick(List("ComboBox4"), 0));
    EXPECT_EQ(Text("Edit1"), "428.0028MHZ");
    EXPECT_EQ(Questions(), std::vector<std::string>(4, "Do you Confirm changing the frequency?"));

    // A serial-number answer changes the model while the list keeps the focus: a declined
    // change returns to the module's base frequency the rebuilt list shows, not to the position
    // the old list had.
    h->G().ModuleBaseFrequency = "868MHZ";
    ASSERT_TRUE(Pick(List("ComboBox15"), 1));
    ASSERT_EQ(List("ComboBox16")->currentText(), "868MHZ");
    ASSERT_TRUE(Pick(List("ComboBox16"), 2));
    h->G().ModuleBaseFrequency = "433MHZ";
    List("ComboBox15")->setCurrentIndex(3);
    h->Ctx().models->ComboBox15Click();
    ASSERT_TRUE(List("ComboBox16")->hasFocus());
    h->dialogs.answers = {false};
    ASSERT_TRUE(PickText(List("ComboBox16"), "915MHZ"));
    EXPECT_EQ(List("ComboBox16")->currentText(), "433MHZ");
}

TEST_F(Models, TheModulesOwnBaseFrequencyAsksNothing) {
    Open(Ini(""));
    // As a search answer leaves it.
    h->G().ModuleBaseFrequency = "433MHZ";
    ASSERT_TRUE(Pick(List("ComboBox15"), 1));
    EXPECT_EQ(List("ComboBox16")->currentText(), "433MHZ");
    ASSERT_TRUE(Pick(List("ComboBox4"), 1));
    EXPECT_EQ(Text("Edit1"), "429.0012MHZ");
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    EXPECT_EQ(List("ComboBox4")->currentIndex(), 1);
    EXPECT_EQ(Text("Edit1"), "429.0012MHZ");
    EXPECT_TRUE(h->Boxes().empty());

    // Back to the module's own base frequency after a confirmed change: no question, and the
    // table follows the list again instead of keeping the other base frequency's entries.
    h->dialogs.answers = {true};
    ASSERT_TRUE(PickText(List("ComboBox16"), "915MHZ"));
    ASSERT_TRUE(Pick(List("ComboBox4"), 0));
    ASSERT_EQ(Text("Edit1"), "912.5340MHZ");
    h->dialogs.shown.clear();
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    EXPECT_TRUE(h->Boxes().empty());
    EXPECT_EQ(List("ComboBox4")->currentIndex(), -1);
    EXPECT_EQ(Text("Edit1"), "");
    ASSERT_TRUE(Pick(List("ComboBox4"), 1));
    EXPECT_EQ(Text("Edit1"), "429.0012MHZ");

    // The module's "2.4GHZ" is not an entry of the 2400 MHz models' list: no selection, and
    // no frequencies.
    h->G().ModuleBaseFrequency = "2.4GHZ";
    ASSERT_TRUE(Pick(List("ComboBox15"), 31));
    EXPECT_EQ(List("ComboBox16")->currentIndex(), -1);
    ASSERT_TRUE(Pick(List("ComboBox4"), 0));
    EXPECT_EQ(Text("Edit1"), "");
    EXPECT_TRUE(h->Boxes().empty());
}

TEST_F(Models, TxRxDisplayAndBaseStationBox) {
    Open(Ini("MORVANTELIS"));
    ASSERT_TRUE(Pick(List("ComboBox15"), 6));
    h->dialogs.answers = {true};
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    auto channel = [this](int number) {
        EXPECT_TRUE(Pick(List("ComboBox4"), number - 1));
        return std::make_pair(Text("Edit1"), Text("Edit19"));
    };
    using Pair = std::pair<QString, QString>;
    // The terminal's TX and RX frequencies of the model table.
    EXPECT_EQ(channel(1), Pair("420.125MHz", "430.125MHz"));
    EXPECT_EQ(channel(2), Pair("402.625MHz", "431.725MHz"));

    auto* box = h->Find<QCheckBox>("CheckBox5");
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(box->isChecked());
    EXPECT_EQ(Text("Edit1"), "");
    EXPECT_EQ(Text("Edit19"), "");
    EXPECT_EQ(channel(1), Pair("430.125MHz", "420.125MHz"));
    // Back to the terminal: the box's own table, not the one the model choice stored.
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_FALSE(box->isChecked());
    EXPECT_EQ(channel(2), Pair("420.125MHz", "431.725MHz"));
    EXPECT_EQ(channel(4), Pair("441.750MHz", "420.125MHz"));

    ASSERT_TRUE(Pick(List("ComboBox15"), 7));
    EXPECT_FALSE(Visible("CheckBox5"));
    EXPECT_TRUE(Visible("Label54") && Visible("Label55") && Visible("Edit19"));
    h->dialogs.answers = {true};
    ASSERT_TRUE(PickText(List("ComboBox16"), "433MHZ"));
    EXPECT_EQ(channel(2), Pair("431.725MHz", "414.125MHz"));

    ASSERT_TRUE(Pick(List("ComboBox15"), 11));
    EXPECT_FALSE(Visible("Label54") || Visible("Label55") || Visible("Edit19"));
}

TEST_F(Models, FrequencyShownAfterASerialNumberAnswerFollowsTheSequence) {
    struct Row {
        bool autoSnRead;
        std::string sequenceMode;
        int previousModel, moduleModel;
        QString frequency;
    };
    const std::vector<Row> rows = {
        {false, "", 3, 3, "433.3020MHZ"},     // operator's read, same model: frequency kept
        {false, "", 2, 3, ""},                // operator's read, other model
        {true, "", 3, 3, ""},                 // read after a search
        {true, "Write", 2, 3, "433.3020MHZ"}, // write-all puts the old values back
        {false, "Write", 2, 3, "433.3020MHZ"},
    };
    Open(Ini(""));
    Globals& g = h->G();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.autoSnRead) + row.sequenceMode +
                     std::to_string(row.previousModel));
        g.SavedSelections.frequency = "433.3020MHZ";
        g.AutoSnRead = row.autoSnRead;
        g.SequenceMode = row.sequenceMode;
        g.PreviousModelIndex = row.previousModel;
        g.ModuleModelIndex = row.moduleModel;
        // What the serial-number answer does with the model it decoded.
        List("ComboBox11")->setCurrentIndex(row.moduleModel);
        List("ComboBox15")->setCurrentIndex(row.moduleModel);
        h->Ctx().models->ComboBox15Click();
        EXPECT_EQ(Text("Edit1"), row.frequency);
        EXPECT_EQ(List("ComboBox4")->currentIndex(), -1);
    }
}

TEST_F(Models, OpeningAnEmptyListWarnsAndOpensNothing) {
    Open(Ini(""));
    for (const char* list : {"ComboBox4", "ComboBox1", "ComboBox2"}) {
        QTest::mouseClick(List(list), Qt::LeftButton);
        EXPECT_FALSE(PopupShown(List(list))) << list;
    }
    EXPECT_EQ(h->Boxes(), (std::vector<std::string>{
                              "信道频率为空，请先选择型号基频或先检测电台!",
                              "空中速率为空，请先选择型号基频或先检测电台!",
                              "串口速率为空，请先选择型号基频或先检测电台!",
                          }));

    Open(Ini("", "CEO=EN"));
    for (const char* list : {"ComboBox4", "ComboBox1", "ComboBox2"}) {
        List(list)->setFocus();
        QTest::keyClick(List(list), Qt::Key_F4);
        EXPECT_FALSE(PopupShown(List(list))) << list;
    }
    EXPECT_EQ(h->Boxes(), (std::vector<std::string>{
                              "NO channel,Please choose Modle/Base fre. or Search Firstly!",
                              "NO RF rate List,Please choose Modle/Base fre. or Search Firstly !",
                              "NO Baud rate List,Please choose Modle/Base fre. or Search Firstly!",
                          }));

    // Filled lists open as usual.
    h->dialogs.shown.clear();
    ASSERT_TRUE(Pick(List("ComboBox15"), 0));
    for (const char* list : {"ComboBox4", "ComboBox1", "ComboBox2"})
        EXPECT_TRUE(Pick(List(list), 1)) << list;
    EXPECT_TRUE(h->Boxes().empty());
}

} // namespace
