// Every parameter button's frame on the wire, LastCommand, state and progress text, in both
// framings, and the controls a read empties before it sends.
#include "operations_fixture.h"

namespace {

struct WireCase {
    const char* button;
    const char* frame5A5A;
    const char* frameEDED; // what goes out under "MORVANTELIS"
    const char* lastCommand;
    const char* progressEnglish;
    const char* progressChinese;
    std::vector<const char*> cleared;
};

// Frames: header, address 0000, marker 5A, code, length, payload, checksum, CR LF; the short
// form is EDED, code, payload, checksum; the IO form 4040, A6, ID, length + 5, code, payload.
const std::vector<WireCase> kCases{
    // read channel: 8006 payload 0000 / 06 00
    {"SpeedButton2",
     "5A5A00005A8006020000960D0A",
     "EDED0600E0",
     "8006",
     "Reading Channel and Frequency......",
     "正在读取信道与频率......",
     {"ComboBox4", "Edit1", "Edit19"}},
    // write channel 3: 8005 payload 0300 / 05 03
    {"SpeedButton8",
     "5A5A00005A8005020300980D0A",
     "EDED0503E2",
     "8005",
     "Writing Channel and frequency......",
     "设置信道与频率......",
     {}},
    // read air rate: 8004 0000 / 04 00
    {"SpeedButton4",
     "5A5A00005A8004020000940D0A",
     "EDED0400DE",
     "8004",
     "Reading RF Baud Rate......",
     "正在读取空中波特率......",
     {"ComboBox1"}},
    // write air rate 9600: 8003 0500 / 03 05
    {"SpeedButton9",
     "5A5A00005A8003020500980D0A",
     "EDED0305E2",
     "8003",
     "Writing RF Baud Rate......",
     "设置空中波特率......",
     {}},
    // read serial settings: 8002 0000 / 02 00
    {"SpeedButton5",
     "5A5A00005A8002020000920D0A",
     "EDED0200DC",
     "8002",
     "Read COM Baud Rate......",
     "正在读取串口波特率......",
     {"ComboBox2", "ComboBox3"}},
    // write serial 19200 odd: 8001 0602 / 01 06 (the short form has no parity)
    {"SpeedButton10",
     "5A5A00005A8001020602990D0A",
     "EDED0106E1",
     "8001",
     "Writing COM Baud Rate......",
     "设置串口波特率......",
     {}},
    // read air protocol: 8014 0000, no short form
    {"SpeedButton22",
     "5A5A00005A8014020000A40D0A",
     nullptr,
     "8014",
     "Read RF protocol......",
     "读取空中协议......",
     {"ComboBox5"}},
    // write air protocol "兼容": 8009 0100
    {"SpeedButton23",
     "5A5A00005A80090201009A0D0A",
     nullptr,
     "8009",
     "Writing RF protocol......",
     "正在设置空中协议......",
     {}},
    // read ID: 800D 0000
    {"SpeedButton26",
     "5A5A00005A800D0200009D0D0A",
     nullptr,
     "800D",
     "Reading ID......",
     "正在读取电台ID......",
     {"Edit15"}},
    // write ID 300: 800C 012C
    {"SpeedButton27",
     "5A5A00005A800C02012CC90D0A",
     nullptr,
     "800C",
     "Write ID......",
     "正在设置电台ID......",
     {}},
    // output power 2 W: 8017 0100 (bare model names in this window: "875" in the Chinese text)
    {"SpeedButton33",
     "5A5A00005A8017020100A80D0A",
     nullptr,
     "8017",
     "Set Power......",
     "正在设置电台功率（仅对875）......",
     {}},
    // read power-saving mode: 8010 0000
    {"SpeedButton11",
     "5A5A00005A8010020000A00D0A",
     nullptr,
     "8010",
     "Reading Power Save Mode......",
     "正在读取省电模式......",
     {"ComboBox6"}},
    // power-saving mode air wake-up: 800F 0300
    {"SpeedButton28",
     "5A5A00005A800F020300A20D0A",
     nullptr,
     "800F",
     "Writing powersaved mode......",
     "正在设置省电模式......",
     {}},
    // serial wake-up: 8011 0000
    {"SpeedButton29",
     "5A5A00005A8011020000A10D0A",
     nullptr,
     "8011",
     "Waking up from COM Port......",
     "正在进行串口唤醒......",
     {}},
    // duty cycle 500 ms, 2 s: 8016 01F4 07D0
    {"SpeedButton39",
     "5A5A00005A80160401F407D0740D0A",
     nullptr,
     "8016",
     "Writing duty cycle time......",
     "正在设置空中唤醒占空比时间......",
     {}},
    // IO read to ID 300 (012C): 8013 0000
    {"SpeedButton13",
     "4040A6012C0780130000ED0D0A",
     nullptr,
     "40408013",
     "Read IO status......",
     "正在读取IO开关量......",
     {"ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10"}},
    // output 1 high: line 01 level 01
    {"SpeedButton12",
     "4040A6012C0780120101EE0D0A",
     nullptr,
     "40408012",
     "Writing output status......",
     "正在设置输出开关量(o口)......",
     {}},
    // output 2 low: line 02 level 00
    {"SpeedButton32",
     "4040A6012C0780120200EE0D0A",
     nullptr,
     "40408012",
     "Writing output status......",
     "正在设置输出开关量(o口)......",
     {}},
    // field strength: 8012 0000 / 12 00
    {"Button1",
     "5A5A00005A8012020000A20D0A",
     "EDED1200EC",
     "8012",
     "Reading ......",
     "正在读取场强......",
     {"Edit16", "Edit17"}},
    // power level 15: 8013 0F00 / 13 0F
    {"Button2",
     "5A5A00005A8013020F00B20D0A",
     "EDED130FFC",
     "8013",
     "Writing Power Level......",
     "正在设置功率......",
     {}},
};

bool IsEmpty(QWidget* widget) {
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentIndex() == -1;
    return qobject_cast<QLineEdit*>(widget)->text().isEmpty();
}

// Presses every button once under `variant`, starting each from `state`.
void PressAll(OperationsTest& t, GuiHarness& h, const std::string& variant, int state,
              bool english) {
    h.G().VariantType = variant;
    h.G().LangCode = english ? "EN" : "CN";
    for (const WireCase& c : kCases) {
        SCOPED_TRACE(c.button);
        t.FillParameters();
        h.G().AppState = state;
        h.G().LastCommand.clear();
        h.Click(c.button);
        const std::string expected =
            variant == "MORVANTELIS" && c.frameEDED != nullptr ? c.frameEDED : c.frame5A5A;
        EXPECT_EQ(t.Sent(expected.size() / 2), expected);
        EXPECT_EQ(h.G().LastCommand, c.lastCommand);
        EXPECT_EQ(h.G().AppState, StateCommand);
        EXPECT_EQ(h.Status(2), QString::fromUtf8(english ? c.progressEnglish : c.progressChinese));
        for (const char* name : c.cleared)
            EXPECT_TRUE(IsEmpty(h.Find<QWidget>(name))) << name;
    }
    EXPECT_TRUE(t.NothingSent());
    EXPECT_TRUE(h.Boxes().empty());
}

TEST_F(OperationsTest, EveryButtonSendsItsStandardFrameFromStoppedState) {
    PressAll(*this, *h, "", StateStopped, true);
}

TEST_F(OperationsTest, EveryButtonSendsItsShortFrameUnderMorvantelisFromDataState) {
    PressAll(*this, *h, "MORVANTELIS", StateDataComm, false);
}

TEST_F(OperationsTest, OutputPowerProgressNamesTheModelWithPrefixWhenTheListDoes) {
    FillParameters();
    h->G().ModelListVariant = 1;
    h->Click("SpeedButton33");
    EXPECT_EQ(Sent(13), "5A5A00005A8017020100A80D0A");
    EXPECT_EQ(h->Status(2), QString::fromUtf8("正在设置电台功率（仅对QX875）......"));
}

} // namespace
