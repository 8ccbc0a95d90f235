// qxcli: find, read, write and number radio modules from benches and scripts.
#include "commands.h"
#include "records_command.h"

#include <iostream>

using namespace cli;

namespace {

Exit Run(const Arguments& arguments) {
    if (arguments.version) {
        std::cout << "qxcli " << QXCLI_VERSION << "\n";
        return Exit::kDone;
    }
    if (arguments.help) {
        std::cout << HelpText(arguments.command);
        return Exit::kDone;
    }
    if (arguments.command.empty()) {
        std::cerr << HelpText("");
        return Exit::kUsage;
    }
    if (arguments.command == "ports")
        return PortsCommand(arguments);
    if (arguments.command == "search")
        return SearchCommand(arguments);
    if (arguments.command == "read")
        return ReadCommand(arguments);
    if (arguments.command == "sn")
        return SerialNumberCommand(arguments);
    if (arguments.command == "records")
        return RecordsCommand(
            {.store = arguments.records,
             .filter = {arguments.serial, arguments.port, arguments.from, arguments.to},
             .format = arguments.json  ? ListFormat::kJson
                       : arguments.csv ? ListFormat::kCsv
                                       : ListFormat::kText},
            std::cout);
    return WriteCommand(arguments);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        return static_cast<int>(Run(arguments));
    } catch (const Failure& failure) {
        std::cerr << "qxcli: " << failure.message << "\n";
        return static_cast<int>(failure.exit);
    } catch (const serial::ExchangeError& error) {
        std::cerr << "qxcli: " << error.message << "\n";
        return static_cast<int>(ExitOf(error.fault));
    }
}
