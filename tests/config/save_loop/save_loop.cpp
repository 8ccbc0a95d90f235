// Saves the three groups of keys of the Config.ini named on the command line over and over,
// alternating between the two sets of values, and writes one byte to stdout after each save,
// until it is killed.
#include "save_sets.h"

#include <cstdlib>

#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path file = argv[1];
    const auto saved = [] {
        if (write(STDOUT_FILENO, ".", 1) != 1) {
            std::_Exit(1);
        }
    };
    for (unsigned round = 0;; ++round) {
        const SaveSet& set = kSaveSets[round % 2];
        config::SaveOptions(file, set.options);
        saved();
        config::SaveSerialNoFields(file, set.fields);
        saved();
        config::SavePortSettings(file, set.port);
        saved();
    }
}
