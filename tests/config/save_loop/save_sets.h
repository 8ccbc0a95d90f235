// The two sets of values the save loop alternates between, so that a test can tell which set
// each group of keys holds after the loop was killed.
#pragma once

#include "config/config_file.h"

struct SaveSet {
    config::OptionValues options;
    config::SerialNoFields fields;
    config::PortSettings port;
};

inline const SaveSet kSaveSets[2] = {
    {{false, 100, 20, 30, true, 1500}, {1, "2023", "01", "00001"}, {1, 3, 0}},
    {{true, 500, 40, 100, false, 1500}, {2, "2024", "12", "00002"}, {3, 4, 1}},
};
