// qxcli records: the records of writes and serial numbers given, as lines for a person, JSON
// Lines for a script, or CSV for a spreadsheet. Takes options already read from the command line.
#pragma once

#include "failure.h"
#include "records/record.h"

#include <ostream>
#include <string>

namespace cli {

enum class ListFormat { kText, kJson, kCsv };

struct RecordsListing {
    std::string store; // --records: a file or a postgresql:// URL; empty: beside Config.ini
    records::RecordFilter filter;
    ListFormat format = ListFormat::kText;
};

// Throws Failure kStore for a store that cannot be read.
Exit RecordsCommand(const RecordsListing& listing, std::ostream& out);

} // namespace cli
