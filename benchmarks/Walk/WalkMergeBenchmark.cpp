// The in-process parts of a walk: filing cells into the spool, and the merge
// of a full spool into a profile file (read, merge, write).
#include "MibWalk.h"
#include "SpoolPlist.h"
#include "StorePaths.h"
#include "VXPList.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A temporary installation root with the store pointed at one user's files.
class BenchRoot {
public:
    BenchRoot() {
        std::string pattern = (fs::temp_directory_path() / "zrk-walk-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        dir_ = pattern;
        ::setenv("ZRK5100_ROOT", dir_.c_str(), 1);
        fs::create_directories(dir_ + "/Library/Printers/Ostra/Preferences/"
                                      "com.ostra.printers.ZR-K5100");
        zrk::formStorePaths("bench", zrk::kModelToken, &paths_);
        scope_ = std::make_unique<zrk::StorePathScope>(paths_);
    }
    ~BenchRoot() {
        scope_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

private:
    std::string dir_;
    zrk::StorePaths paths_;
    std::unique_ptr<zrk::StorePathScope> scope_;
};

// The cells of a table of `rows` rows, as the agent sends them.
std::vector<netsnmp_variable_list*> tableCells(int rows) {
    std::vector<netsnmp_variable_list*> cells;
    for (int column = 1; column <= 7; ++column) {
        for (int row = 1; row <= rows; ++row) {
            const oid name[] = {1,     3,
                                6,     1,
                                4,     1,
                                18334, 1,
                                1,     1,
                                1,     6,
                                13,    1,
                                1,     static_cast<oid>(column),
                                1,     static_cast<oid>(row)};
            netsnmp_variable_list* var = nullptr;
            if (column == 3 || column == 4) {
                char text[32];
                std::snprintf(text, sizeof text, column == 3 ? "Profile %d" : "PROF%04d.ICC", row);
                snmp_varlist_add_variable(&var, name, std::size(name), ASN_OCTET_STR, text,
                                          std::strlen(text));
            } else {
                const long value = column == 2 ? 4 + row % 2 : column == 5 ? 1 + row % 3 : row;
                snmp_varlist_add_variable(&var, name, std::size(name), ASN_INTEGER, &value,
                                          sizeof value);
            }
            cells.push_back(var);
        }
    }
    return cells;
}

void spoolTable(const std::vector<netsnmp_variable_list*>& cells) {
    zrk::vSpoolPlist(nullptr, 0, nullptr, 1);
    for (const netsnmp_variable_list* var : cells) {
        zrk::vSpoolPlist(var->name, var->name_length, var, 0);
    }
}

void BM_SpoolFullTable(benchmark::State& state) {
    const auto cells = tableCells(500);
    for (auto _ : state) {
        spoolTable(cells);
        benchmark::DoNotOptimize(zrk::PlistForSpool.iNum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cells.size()));
    for (netsnmp_variable_list* var : cells) {
        snmp_free_varbind(var);
    }
}
BENCHMARK(BM_SpoolFullTable);

// A refresh of a printer that still has all of its 500 profiles: the file
// read, the merge and the rewrite.
void BM_MergeFullTable(benchmark::State& state) {
    BenchRoot root;
    const auto cells = tableCells(500);
    spoolTable(cells);
    zrk::vRestructPlistSpool2Current(0);
    for (auto _ : state) {
        if (zrk::vRestructPlistSpool2Current(0) != 0) {
            state.SkipWithError("the profile file was not written");
            break;
        }
    }
    for (netsnmp_variable_list* var : cells) {
        snmp_free_varbind(var);
    }
}
BENCHMARK(BM_MergeFullTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
