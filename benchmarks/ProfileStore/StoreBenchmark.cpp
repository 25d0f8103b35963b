// Reading and writing a full profile file (500 entries in every group) with
// the service build of the store. The file is left in ZRK_BENCH_DIR (or a
// temporary folder) as "full-profile.plist" so other readers can be timed on
// the same bytes (compare_plistlib.py).
#include "StoreInternal.h"
#include "StorePaths.h"
#include "VXPList.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

struct FullFile {
    std::string dir;
    std::string path;
    std::unique_ptr<ProfileList> lists[3];

    FullFile() {
        const char* given = std::getenv("ZRK_BENCH_DIR");
        if (given != nullptr && given[0] != '\0') {
            dir = given;
        } else {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "zrk-bench-XXXXXX").string();
            if (::mkdtemp(pattern.data()) == nullptr) {
                std::abort();
            }
            dir = pattern;
        }
        path = dir + "/full-profile.plist";
        for (int g = 0; g < 3; ++g) {
            lists[g] = std::make_unique<ProfileList>();
            for (int i = 0; i < kMaxProfileEntries; ++i) {
                ProfileEntry& e = lists[g]->litem[i];
                e.iIndexOnDevice = i + 1;
                e.iInMenu = 1 + (i % 6);
                e.iProfileClass = g == 0 ? 1 + (i % 2) : 3;
                e.iLocation = i % 2 == 0 ? kLocationDisk : kLocationCard;
                std::snprintf(e.FileName, sizeof e.FileName, "PROF%04d.ICC", i);
                std::snprintf(e.ProfileName, sizeof e.ProfileName, "Profile %d of group %d", i, g);
            }
            lists[g]->iNum = kMaxProfileEntries;
        }
        zrk::StorePaths paths;
        paths.current = path;
        zrk::StorePathScope scope(paths);
        if (VXPListWriteProfile_All(lists[0].get(), lists[1].get(), lists[2].get()) != 0) {
            std::abort();
        }
    }
};

FullFile& fullFile() {
    static FullFile file;
    return file;
}

void BM_ReadAll(benchmark::State& state) {
    FullFile& file = fullFile();
    zrk::StorePaths paths;
    paths.current = file.path;
    zrk::StorePathScope scope(paths);
    auto rgb = std::make_unique<ProfileList>();
    auto sim = std::make_unique<ProfileList>();
    auto dst = std::make_unique<ProfileList>();
    for (auto _ : state) {
        std::memset(rgb.get(), 0, sizeof(ProfileList));
        std::memset(sim.get(), 0, sizeof(ProfileList));
        std::memset(dst.get(), 0, sizeof(ProfileList));
        if (VXPListReadProfile_All(rgb.get(), sim.get(), dst.get()) != 0 ||
            rgb->iNum != kMaxProfileEntries) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(dst->litem[499].iInMenu);
    }
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);

// The whole write: probe, XML text, temporary file, fsync, rename.
void BM_WriteAll(benchmark::State& state) {
    FullFile& file = fullFile();
    zrk::StorePaths paths;
    paths.current = file.dir + "/written-profile.plist";
    zrk::StorePathScope scope(paths);
    for (auto _ : state) {
        if (VXPListWriteProfile_All(file.lists[0].get(), file.lists[1].get(),
                                    file.lists[2].get()) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteAll)->Unit(benchmark::kMillisecond);

// Only building the property list and its XML text.
void BM_SerialiseAll(benchmark::State& state) {
    FullFile& file = fullFile();
    std::string xml;
    for (auto _ : state) {
        if (!zrk::store::buildProfileXml(file.lists[0].get(), file.lists[1].get(),
                                         file.lists[2].get(), &xml)) {
            state.SkipWithError("serialise failed");
            break;
        }
        benchmark::DoNotOptimize(xml.data());
    }
}
BENCHMARK(BM_SerialiseAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
