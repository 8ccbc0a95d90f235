#include "captions.h"

#include "session.h"

namespace core {
namespace {

// Verbatim, accelerator markers, odd spellings and trailing spaces included.
const std::vector<CaptionRow> kCommonCaptions = {
    // Menus.
    {"N1", "COM Option", "COM EINSTELLUNGEN"},
    {"N2", "COM Set"},
    {"FrameMonitorItem", "Frame Monitor", "FRAME-MONITOR"},
    {"SessionLogItem", "Session Log", "SITZUNGSPROTOKOLL"},
    {"N3", "Search Radio", "FUNKMODULE SUCHEN"},
    {"N14", "Begin Search", "Begin SUCHEN"},
    {"N19", "Stop Search", "Stop SUCHEN"},
    {"N4", "Read or Write", "LESEN UND SCHREIBEN"},
    {"N5", "Read All Parameters", "EINLESEN All Parameters"},
    {"N6", "Write All Parameters", "SCHREIBEN All Parameters"},
    {"N18", "Search Before Read/Write", "SUCHEN Before EINLESEN/SCHREIBEN"},
    {"SaveProfileItem", "Save module settings…", "MODULEINSTELLUNGEN SPEICHERN…"},
    {"ApplyProfileItem", "Apply settings…", "EINSTELLUNGEN ANWENDEN…"},
    {"N7", "Radio Test", "FUNK Test"},
    {"N8", "Transmit Test", "SENDE Test"},
    {"N15", "Receive Test", "EMPFANGE Test"},
    {"N9", "Transmit Both Sides", "BIDIREKTIONALE VERBINDUNG"},
    {"N10", "Help", "HILFE"},
    {"N20", "Help", "HILFE"},
    {"N11", "About"},
    {"N13", "Exit"},
    {"MenuLanguage", "Language", "SPRACHE"},
    // Toolbar.
    {"SpeedButton1", "COM(&P)"},
    {"SpeedButton20", "Search(&S)", "SUCHEN(&S)"},
    {"SpeedButton30", "Stop&(&T)", "STOP&(&T)"},
    {"SpeedButton3", "Read (&R)", "EINLESEN (&R)"},
    {"SpeedButton21", "Write(&W)", "SCHREIBEN"},
    {"SpeedButton6", "Help(&H)", "HILFE(&H)"},
    {"SpeedButton7", "Exit(&X)", "EXIT(&X)"},
    // Read and write buttons of the parameter groups.
    {"SpeedButton4", "Read(&3)", "EINLESEN"},
    {"SpeedButton2", "Read(&1)", "EINLESEN"},
    {"SpeedButton22", "Read(&F)", "EINLESEN"},
    {"SpeedButton24", "Read(&7)", "EINLESEN"},
    {"SpeedButton11", "Read(&C)", "EINLESEN"},
    {"SpeedButton13", "Read(&J)", "EINLESEN"},
    {"SpeedButton31", "Read", "EINLESEN"},
    {"Button1", "Read", "EINLESEN"},
    {"SpeedButton5", "Read(&5)", "EINLESEN"},
    {"SpeedButton26", "Read(&H)", "EINLESEN"},
    {"SpeedButton8", "Write(&2)", "SCHREIBEN"},
    {"SpeedButton10", "Write(&6)", "SCHREIBEN"},
    {"SpeedButton23", "Write(&G)", "SCHREIBEN"},
    {"SpeedButton25", "Write(&8)", "SCHREIBEN"},
    {"SpeedButton28", "Write(&D)", "SCHREIBEN"},
    {"SpeedButton12", "Write(&K)", "SCHREIBEN"},
    {"SpeedButton32", "Write(&M)", "SCHREIBEN"},
    {"SpeedButton33", "Write", "SCHREIBEN"},
    {"Button2", "Write", "SCHREIBEN"},
    {"SpeedButton9", "Write(&4)", "SCHREIBEN"},
    {"SpeedButton27", "Write&I)", "SCHREIBEN"},
    // Other buttons.
    {"SpeedButton14", "Begin Test(&A)"},
    {"SpeedButton15", "Close Test(&B)"},
    {"SpeedButton29", "aWake from COM(&E)"},
    {"SpeedButton17", "Send", "SENDEN"},
    {"SpeedButton37", "Send", "SENDEN"},
    {"SpeedButton18", "Stop", "STOP"},
    {"SpeedButton16", "Clear"},
    {"SpeedButton40", "Adjust"},
    {"SpeedButton38", "Set all(G-8-W-A)"},
    {"SpeedButton39", "Set"},
    // Tabs.
    {"TabSheet1", "Radio Parameters", "FUNK EINSTELLUNGEN"},
    {"TabSheet2", "Transmit Both Sides", "BIDIREKTIONALE VERBINDUNG"},
    {"TabSheet3", "Data transmit", "DATENUEBETRAGUNG"},
    // Groups.
    {"GroupBox3", "Channel and Frequency", "KANAL UND FREQUENZ"},
    {"GroupBox1", "RF Baud Rate", "RF Baud"},
    {"GroupBox2", "COM Parameters"},
    {"GroupBox12", "Radio Test"},
    {"GroupBox13", "RF Protocol"},
    {"GroupBox18", "Serial Number", "SERIENNUMMER"},
    {"GroupBox4", "Power Save"},
    {"GroupBox7", ""},
    {"GroupBox14", "Test Type"},
    {"GroupBox15", "Appointed Data"},
    {"GroupBox16", "TX/RX Mode"},
    {"GroupBox17", "Character types"},
    {"GroupBox8", "Stat."},
    {"GroupBox9", "TX Option"},
    {"GroupBox5", "Option"},
    {"GroupBox11", "Transmit", "SENDE"},
    {"GroupBox10", "Receive", "EMPFANGE"},
    {"GroupBox20", "RSSI and Power"},
    {"GroupBox21", "TX"},
    {"GroupBox23", "TX"},
    {"GroupBox22", "RX"},
    {"GroupBox24", "RX"},
    {"GroupBox25", "Interval(wake up from RF)"},
    // Labels.
    {"Label4", "Channel", "KANAL"},
    {"Label5", "Frequency", "FREQUENZ"},
    {"Label1", "Baud Rate"},
    {"Label2", "Baud Rate"},
    {"Label3", "Verify"},
    {"Label28", "Protocol"},
    {"Label6", "Wake up Mode"},
    {"Label30", "ID"},
    {"Label29", "ID:"},
    {"Label31", "Input"},
    {"Label7", "I1"},
    {"Label8", "I2"},
    {"Label32", "OutPut"},
    {"Label9", "O1"},
    {"Label10", "O2"},
    {"Label11", "Transmit", "SENDE"},
    {"Label12", "Receive", "EMPFANGE"},
    {"Label21", "Suceed Rate"},
    {"Label13", "TX "},
    {"Label15", "RX"},
    {"Label17", "OK"},
    {"Label19", "Error"},
    {"Label26", "Timer"},
    {"Label27", "ms"},
    {"Label34", "ms"},
    {"Label36", "ms"},
    {"Label38", "ms"},
    {"Label35", "RX Period"},
    {"Label37", "TX/RX Transtion"},
    {"Label39", "Model", "MODELL"},
    {"Label40", "Base fre.", "HAUPTFREQUENZ"},
    {"Label41", "Please Choose Model/Base Fre. or Search FIRST:",
     "Please Choose MODELL/HAUPTFREQUENZ or Search FIRST:"},
    {"Label49", "RSSI"},
    {"Label50", "Power"},
    {"Label51", "capacitance"},
    {"Label56", "WorkTime(MS):"},
    {"Label57", "SleepTime(S):"},
    // Choices.
    {"RadioButton13", "TX/RX Same"},
    {"RadioButton14", "RX appoint Data"},
    {"RadioButton15", "MainTX"},
    {"RadioButton16", "MainRX"},
    {"RadioButton4", "ASCII"},
    {"RadioButton3", "HEX"},
    {"RadioButton1", "TX after RX"},
    {"RadioButton2", "Timing TX"},
    {"CheckBox1", "Rectify"},
    {"CheckBox2", "Appointed Delay"},
    {"CheckBox4", "Lock parameters"},
    {"CheckBox3", "Change into Data trasmitting Status"},
    // The pair test's resend, round-trip figures and saved results.
    {"CheckBoxResend", "Resend after", "ERNEUT SENDEN NACH"},
    {"GroupBoxLink", "Round trip (ms)", "UMLAUFZEIT (ms)"},
    {"LabelTripLast", "Last", "LETZTE"},
    {"LabelTripMin", "Min", "MIN"},
    {"LabelTripMean", "Mean", "MITTEL"},
    {"LabelTripMax", "Max", "MAX"},
    {"LabelLost", "Lost", "VERLOREN"},
    {"ButtonSaveResults", "Save results…", "ERGEBNISSE SPEICHERN…"},
    {"ActionSaveResults", "Save pair test results…", "ERGEBNISSE SPEICHERN…"},
};

// The captions that name the models, with and without the QX prefix of the own brand.
const std::vector<CaptionRow> kOwnBrandCaptions = {
    {"GroupBox19", "Radio ID and QX875/885/230C power", nullptr, "电台ID与QX875功率"},
    {"GroupBox6", "IO Control(for QX872/QX873 with ID protocol)", nullptr,
     "IO开关量(仅对 QX872/QX873 ID 协议)"},
    {"Label33", "QX875/885/230C power", nullptr, "QX875/885/230C功率"},
};
const std::vector<CaptionRow> kOtherBrandCaptions = {
    {"GroupBox19", "Radio ID and 875/885/230C power", nullptr, "电台ID与875功率"},
    {"GroupBox6", "IO Control(for 872/873 with ID protocol)", nullptr,
     "IO开关量(仅对 872/873 ID 协议)"},
    {"Label33", "875/885/230C power", nullptr, "875/885/230C功率"},
};

std::vector<std::string> PowerLevels() {
    std::vector<std::string> levels;
    for (int level = 0; level <= 15; ++level)
        levels.push_back("Level " + std::to_string(level));
    return levels;
}

} // namespace

TextId WindowCaption(std::string_view variantType, int modelListVariant) {
    if (!OwnBrand(modelListVariant))
        return TextId::kWindowCaptionOtherBrand;
    return IsMorvantelis(variantType) ? TextId::kWindowCaptionMorvantelis
                                      : TextId::kWindowCaptionOwnBrand;
}

std::vector<CaptionRow> MainWindowCaptions(int modelListVariant) {
    std::vector<CaptionRow> rows = kCommonCaptions;
    const auto& brand = OwnBrand(modelListVariant) ? kOwnBrandCaptions : kOtherBrandCaptions;
    rows.insert(rows.end(), brand.begin(), brand.end());
    return rows;
}

const std::vector<CaptionRow>& MainWindowHints() {
    static const std::vector<CaptionRow> hints = {
        {"ComboBox4",
         "Two Attachable Communication RF Module/radio Must have Same channel and RF Rate!  "},
        {"SpeedButton8",
         "Two Attachable Communication RF Module/radio Must have Same channel and RF Rate! "},
        {"ComboBox1",
         "Two Attachable Communication RF Module/radio Must have Same channel and RF Rate! "},
        {"SpeedButton9",
         "Two Attachable Communication RF Module/radio Must have Same channel and RF Rate! "},
        {"ComboBox2",
         "RF Module/radio and The equipment that connected with Must have Same COM Parameters!  "},
        {"SpeedButton10",
         "RF Module/radio and The equipment that connected with Must have Same COM Parameters!  "},
        {"CheckBoxResend", "When answer-driven sending waits longer than this for an answer, the "
                           "frame goes again"},
    };
    return hints;
}

const std::vector<ListRow>& MainWindowLists() {
    static const std::vector<ListRow> lists = {
        {"ComboBox3", {"EVEN", "ODD", "NONE"}},
        {"ComboBox5", {"Velmora", "Compatible"}},
        {"ComboBox6", {"NO Sleep mode", "Hardware", "COM Port", "RF"}},
        {"ComboBox7", {"Low", "High"}},
        {"ComboBox8", {"Low", "High"}},
        {"ComboBox9", {"Low", "High"}},
        {"ComboBox10", {"Low", "High"}},
        {"ComboBox21", PowerLevels()},
    };
    return lists;
}

const std::vector<CaptionRow>& AboutBoxCaptions() {
    static const std::vector<CaptionRow> captions = {
        {"Label1", "VE Rore Dizodo Zurazaro"},
        {"Label5", "Ver: V3.06"},
        {"Label8", "Web:"},
        {"Label3", "Configuration and test tool for serial radio modules"},
        {"Label4", "Questions and suggestions: see the project's home page"},
    };
    return captions;
}

} // namespace core
