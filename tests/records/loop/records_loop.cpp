// A bench in a loop, for the records tests to run beside others and to kill:
//   records_loop sqlite FILE RUN   adds records RUN-1, RUN-2, ... until killed, printing each
//                                  one's serial number once it is committed
//   records_loop counter URL N     takes N numbers from the shared counter, printing each
#include "records/record_store.h"
#include "records/shared_counter.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const std::string mode = argc > 3 ? argv[1] : "";
    try {
        if (mode == "sqlite") {
            const auto store = records::OpenRecordStore(argv[2]);
            for (int i = 1;; ++i) {
                const std::string number = std::string(argv[3]) + "-" + std::to_string(i);
                store->Add({.timeUtc = records::UtcNow(),
                            .bench = "loop",
                            .command = "sn",
                            .port = "COM1",
                            .device = "/dev/ttyUSB0",
                            .model = "QX861",
                            .changes = {{"serial_number", "2024-01 00017", number}},
                            .serialNumber = number,
                            .result = records::Result::kConfirmed,
                            .detail = {}});
                std::cout << number << std::endl;
            }
        }
        if (mode == "counter") {
            for (int i = std::stoi(argv[3]); i > 0; --i)
                std::cout << records::TakeSharedNumber(argv[2], 65534, false) << "\n";
            return 0;
        }
    } catch (const records::StoreError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    std::cerr << "usage: records_loop sqlite FILE RUN | counter URL N\n";
    return 64;
}
