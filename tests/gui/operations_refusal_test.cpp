// Input checks, the model check, the pair-test guard and the key filters: each refusal shows
// its text, moves the focus, sends nothing and leaves the state alone.
#include "operations_fixture.h"

#include <QAction>

namespace {

struct Refusal {
    const char* button;
    std::function<void(OperationsTest&)> spoil;
    const char* box;
    const char* focus;
};

TEST_F(OperationsTest, BadInputIsRefusedWithItsTextAndFocus) {
    const auto text = [](const char* edit, const char* value) {
        return [=](OperationsTest& t) { t.SetText(edit, value); };
    };
    const auto unselect = [](const char* list) {
        return [=](OperationsTest& t) { t.Select(list, -1); };
    };
    const std::vector<Refusal> cases{
        {"SpeedButton8", unselect("ComboBox4"), "Channel is NULL!", "ComboBox4"},
        {"SpeedButton9", unselect("ComboBox1"), "Baud Rate is NULL!", "ComboBox1"},
        {"SpeedButton10", unselect("ComboBox2"), "COM Baud Rate is NULL!", "ComboBox2"},
        {"SpeedButton10", unselect("ComboBox3"), "COM Verify is NULL!", "ComboBox3"},
        {"SpeedButton27", text("Edit15", ""), "ID is NULL!", "Edit15"},
        // 65536 does not fit the four hex digits of the ID
        {"SpeedButton27", text("Edit15", "65536"), "ID out of range(0-65535)!", "Edit15"},
        {"SpeedButton33", unselect("ComboBox14"), "Power is NULL!", "ComboBox14"},
        {"SpeedButton39", text("Edit20", ""), "Time is NULL!", "Edit20"},
        {"SpeedButton39", text("Edit21", ""), "Time is NULL!", "Edit20"},
        {"SpeedButton39", text("Edit20", "0"), "Time value out of scope(1-65535MS)!", "Edit20"},
        {"SpeedButton39", text("Edit20", "65536"), "Time value out of scope(1-65535MS)!", "Edit20"},
        {"SpeedButton39", text("Edit21", "66"), "Time value out of scope(1-65S)!", "Edit21"},
        {"SpeedButton13", text("Edit10", ""), "ID is NULL!", "Edit10"},
        {"SpeedButton12", text("Edit10", "70000"), "ID out of range(0-65535)!", "Edit10"},
        // a position of -1 would go out as FF: refused instead
        {"SpeedButton23", unselect("ComboBox5"), "RF protocol is NULL!", "ComboBox5"},
        {"SpeedButton28", unselect("ComboBox6"), "Power Save Mode is NULL!", "ComboBox6"},
        {"SpeedButton12", unselect("ComboBox9"), "Output status is NULL!", "ComboBox9"},
        {"SpeedButton32", unselect("ComboBox10"), "Output status is NULL!", "ComboBox10"},
        {"Button2", unselect("ComboBox21"), "The value is null!", "ComboBox21"},
    };
    h->G().LangCode = "EN";
    for (const Refusal& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.box);
        FillParameters();
        c.spoil(*this);
        h->Find<QWidget>("SpeedButton1")->setFocus();
        h->G().AppState = StateDataComm;
        h->G().LastCommand = "8000";
        h->dialogs.shown.clear();
        h->Click(c.button);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
        EXPECT_TRUE(HasFocus(c.focus));
        EXPECT_EQ(h->G().AppState, StateDataComm);
        EXPECT_EQ(h->G().LastCommand, "8000");
    }
    EXPECT_TRUE(NothingSent());
}

TEST_F(OperationsTest, ModelCheckNeedsListsAndAMatchingModelOrBaseFrequency) {
    h->G().LangCode = "EN";
    // No lists yet: the channel read points at the model list.
    FillParameters();
    Fill("ComboBox4", {}, -1);
    h->Click("SpeedButton2");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Please Choose Model/Base Fre. or Search FIRST!"});
    EXPECT_TRUE(HasFocus("ComboBox15"));
    EXPECT_TRUE(NothingSent());

    // The module said QX86X and QX861 is chosen: no base frequency needed.
    const struct {
        const char* button;
        const char* frame;
    } reads[] = {
        {"SpeedButton2", "5A5A00005A8006020000960D0A"}, // 8006 read channel
        {"SpeedButton4", "5A5A00005A8004020000940D0A"}, // 8004 read air rate
        {"SpeedButton5", "5A5A00005A8002020000920D0A"}, // 8002 read serial settings
    };
    const std::string wrong = "The Model you chose is wrong,Please Choose Correct Model/Base "
                              "Fre. or Search FIRST!";
    for (const auto& read : reads) {
        SCOPED_TRACE(read.button);
        h->dialogs.shown.clear();
        FillParameters();
        Select("ComboBox15", 0);
        Select("ComboBox16", -1);
        h->G().ModuleFamily = "QX86X";
        h->Click(read.button);
        EXPECT_EQ(Sent(13), read.frame);
        // No family known: the model alone is not enough ...
        FillParameters();
        Select("ComboBox15", 0);
        Select("ComboBox16", -1);
        h->Click(read.button);
        EXPECT_TRUE(NothingSent());
        EXPECT_EQ(Boxes(), std::vector<std::string>{wrong});
        // ... a base frequency as well is.
        FillParameters();
        Select("ComboBox15", 0);
        Select("ComboBox16", 0);
        h->Click(read.button);
        EXPECT_EQ(Sent(13), read.frame);
    }
}

TEST_F(OperationsTest, PairTestGuardLeavesEverythingAsItWas) {
    // The RF test's buttons and menu items included.
    auto press = [this](const char* name) {
        if (auto* item = h->Window().findChild<QAction*>(name))
            item->trigger();
        else
            h->Click(name);
    };
    for (int state : {StatePairReply, StatePairTimed}) {
        for (const char* button : {"SpeedButton2", "SpeedButton13", "Button1", "SpeedButton9",
                                   "SpeedButton3", "SpeedButton21", "SpeedButton14", "N8",
                                   "SpeedButton15", "N15", "SpeedButton38", "SpeedButton40"}) {
            SCOPED_TRACE(button);
            FillParameters();
            h->G().AppState = state;
            h->G().LastCommand = "8000";
            h->dialogs.shown.clear();
            press(button);
            EXPECT_EQ(Boxes(), std::vector<std::string>{"请先停止对传测试!"});
            EXPECT_EQ(List("ComboBox4")->currentIndex(), 2);
            EXPECT_EQ(Field("Edit1")->text(), "433.000");
            EXPECT_EQ(List("ComboBox7")->currentIndex(), 1);
            EXPECT_EQ(Field("Edit16")->text(), "1F");
            EXPECT_EQ(h->G().AppState, state);
            EXPECT_EQ(h->G().LastCommand, "8000");
            EXPECT_EQ(h->G().SequenceMode, "");
            EXPECT_FALSE(h->G().ChainSetAll);
        }
    }
    // The power level is checked before the guard.
    FillParameters();
    Select("ComboBox21", -1);
    h->G().AppState = StatePairReply;
    h->G().LangCode = "EN";
    h->dialogs.shown.clear();
    h->Click("Button2");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"The value is null!"});
    h->dialogs.shown.clear();
    Select("ComboBox21", 3);
    h->Click("Button2");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Please Stop Transmiting both sides!"});
    EXPECT_TRUE(NothingSent());
}

TEST_F(OperationsTest, LanguageIsEnglishOnlyForExactlyEN) {
    const struct {
        const char* lang;
        const char* box;
    } cases[] = {{"EN", "ID is NULL!"}, {"en", "ID号不能为空!"}, {"CN", "ID号不能为空!"}};
    for (const auto& c : cases) {
        FillParameters();
        SetText("Edit15", "");
        h->G().LangCode = c.lang;
        h->dialogs.shown.clear();
        h->Click("SpeedButton27");
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box}) << c.lang;
    }
    // The target field has its own Chinese texts.
    FillParameters();
    SetText("Edit10", "65536");
    h->dialogs.shown.clear();
    h->Click("SpeedButton13");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"目标地址超出范围(0-65535)!"});
}

TEST_F(OperationsTest, DecimalFieldsTakeOnlyDigits) {
    for (const char* name : {"Edit10", "Edit15", "Edit20", "Edit21"}) {
        QLineEdit* edit = Field(name);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, "1a2-B3 ");
        EXPECT_EQ(edit->text(), "123") << name;
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), "12") << name;
    }
}

} // namespace
