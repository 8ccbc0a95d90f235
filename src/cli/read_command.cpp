#include "commands.h"

#include "serial/module_profile_io.h"

#include <cstdio>
#include <iostream>

namespace cli {

namespace {

std::string Json(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void PrintJson(const ModulePort& port, const config::ModuleProfile& profile) {
    std::cout << "{\"port\": " << Json(port.Name())
              << ", \"line\": " << Json(core::LineSettingText(port.Line()))
              << ", \"model\": " << Json(profile.model) << ", \"module\": {";
    const char* separator = "";
    for (const auto& [key, value] : profile.identity) {
        std::cout << separator << Json(key) << ": " << Json(value);
        separator = ", ";
    }
    std::cout << "}, \"settings\": {";
    separator = "";
    for (const auto& [setting, value] : profile.settings) {
        std::cout << separator << Json(core::RowOf(setting).key) << ": "
                  << Json(core::SettingValueText(setting, value));
        separator = ", ";
    }
    std::cout << "}}\n";
}

} // namespace

Exit ReadCommand(const Arguments& arguments) {
    const auto port = OpenPort(arguments);
    const Module module = FindModule(*port, arguments);
    const config::ModuleProfile profile = ReadProfile(*port, module, AnswerWait(arguments));
    if (arguments.json)
        PrintJson(*port, profile);
    else
        std::cout << config::ModuleProfileText(profile);
    return Exit::kDone;
}

} // namespace cli
