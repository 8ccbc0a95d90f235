// How long a listing of 1 000 records takes (what `qxcli records` reads), from an SQLite file
// and from a PostgreSQL server of its own, and how long adding one record takes (on the server
// a test's, without fsync, so only the listing compares).
//   records_bench [--records N]
#include "records/record_store.h"
#include "support/postgres_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration took) {
    return std::chrono::duration<double, std::milli>(took).count();
}

records::Record Sample(int i) {
    return {.timeUtc = records::UtcNow(),
            .bench = "bench-1",
            .command = i % 2 ? "write" : "sn",
            .port = "COM" + std::to_string(1 + i % 8),
            .device = "/dev/ttyUSB" + std::to_string(i % 8),
            .model = "QX871",
            .changes = {{"channel", "3", "5"}, {"air_rate", "9600", "19200"}},
            .serialNumber = i % 2 ? "" : "2026-12 " + std::to_string(10000 + i),
            .result = records::Result::kConfirmed,
            .detail = {}};
}

void Measure(const char* name, const std::string& where, int count) {
    const auto store = records::OpenRecordStore(where);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        store->Add(Sample(i));
    const double add = Ms(Clock::now() - start) / count;
    double best = 1e9;
    std::size_t listed = 0;
    for (int run = 0; run < 5; ++run) {
        const auto begin = Clock::now();
        listed = store->List({}).size();
        best = std::min(best, Ms(Clock::now() - begin));
    }
    const auto begin = Clock::now();
    const std::size_t one = store->List({"", "COM3", "", ""}).size();
    std::printf("%-10s add %.2f ms a record; list %zu records %.1f ms (best of 5); "
                "list one port (%zu) %.1f ms\n",
                name, add, listed, best, one, Ms(Clock::now() - begin));
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 2 && std::string(argv[1]) == "--records" ? std::atoi(argv[2]) : 1000;
    char dir[] = "/tmp/qxrecords-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr)
        return 1;
    try {
        Measure("SQLite", std::string(dir) + "/records.sqlite", count);
        PostgresServer server;
        if (!server.Start()) {
            std::fprintf(stderr, "%s\n", server.error().c_str());
            return 1;
        }
        Measure("PostgreSQL", server.Url(), count); // a test server: fsync off
    } catch (const records::StoreError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::filesystem::remove_all(dir);
}
