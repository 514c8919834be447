// A whole open and save of a profile, timed beside a plain read and write of
// the same bytes (the floor), at 50 KB (a real profile's size), 1 MB and
// 100 MB. The open is LoadProfile and its 16 LoadTag calls; the save is 19
// UpdateTag calls, each changing its value's length, and WriteProfile, which
// also syncs the bytes to disk. After the runs a table gives, per size, the
// time of each, their ratio and the cost per MB (growth should be linear).
//
//   profile_bench --benchmark_repetitions=5     all sizes, median of five
//   profile_bench --benchmark_filter=/1048576   one size

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profile/FileAccess.h"
#include "profile/ProfileEntries.h"
#include "profile/TextStore.h"

namespace {

using namespace profile;

constexpr std::int64_t kSizes[] = {50 * 1024, 1024 * 1024, 100 * 1024 * 1024};

// Elements like those that make up most of a real profile.
std::string Filler(std::size_t size, int& counter) {
    std::string s;
    s.reserve(size + 200);
    while (s.size() < size) {
        const std::string n = std::to_string(counter++);
        s += "<Tool" + n + "><Diameter>0.</Diameter><Length>1.e-003</Length><Desc>Tool " + n +
             " C:\\Mach3\\Tools</Desc></Tool" + n + ">\r\n";
    }
    s.resize(size);
    return s;
}

// A synthetic profile of the given size: the handled entries stand where a real
// profile has them, among its first 40 KB, and the rest is bulk.
std::string MakeProfile(std::size_t size) {
    std::string head = "<Mach3Profile>\r\n<Port1Add>888</Port1Add>";
    int counter = 0;
    head += Filler(3000, counter);
    head += "<Input11Active>1</Input11Active><Input11Port>1</Input11Port><Input11Pin>13</Input11Pin>"
            "<Input11Neg>0</Input11Neg>";
    head += Filler(2000, counter);
    head += "<Input22Neg>1</Input22Neg>";
    head += Filler(11000, counter);
    head += "<PulseWidth>5.</PulseWidth>";
    head += Filler(19000, counter);
    for (int k = 0; k < 10; ++k) head += "<JogInc" + std::to_string(k) + ">1.e-003</JogInc" + std::to_string(k) + ">";
    head += "<M4RefHome>4.8e+004</M4RefHome>";
    head += Filler(5000, counter);
    head += "<Steps6>1.</Steps6>";
    const std::string tail = "</Mach3Profile>\r\n";
    if (head.size() + tail.size() < size) head += Filler(size - head.size() - tail.size(), counter);
    head += tail;
    head.resize(size);
    return head;
}

// The largest file the floor reads, as the open allows.
constexpr std::uint64_t kLargest = std::uint64_t{1} << 31;

// A folder of its own under the system's temporary folder, removed at the end.
struct Fixture {
    std::filesystem::path dir;
    std::filesystem::path path;
    std::string bytes;
    explicit Fixture(std::int64_t size) {
        dir = std::filesystem::temp_directory_path() / ("profile_bench-" + std::to_string(std::random_device{}()));
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        path = dir / "Mach3Mill.xml";
        bytes = MakeProfile(static_cast<std::size_t>(size));
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (error || !out) {
            std::fprintf(stderr, "cannot write the benchmark profile %s\n", files::PathText(path).c_str());
            std::exit(1);
        }
    }
    ~Fixture() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;
};

// The keys an open reads, and the replacements of a save.
std::vector<std::string_view> OpenKeys() {
    std::vector<std::string_view> keys{entries::Port.openKey, entries::Steps.openKey};
    for (const EntryKeys& jog : entries::Jog) keys.push_back(jog.openKey);
    keys.insert(keys.end(), {entries::PulseWidth.openKey, entries::XmlRevision.openKey,
                             entries::ProbeLogic.openKey, entries::FourthHoming.openKey});
    return keys;
}

std::vector<Replacement> SaveReplacements() {
    std::vector<Replacement> r{{entries::Steps.saveKey, "7999.999"},
                               {entries::Port.saveKey, "53248"},
                               {entries::PulseWidth.saveKey, "5"},
                               {entries::XmlRevision.saveKey, "48000"}};
    for (const EntryKeys& jog : entries::Jog) r.push_back({jog.saveKey, "0.001"});
    r.push_back({entries::ProbeLogic.saveKey, "0"});
    for (Replacement& h : HomingReplacements(0)) r.push_back(std::move(h));
    return r;
}

void OpenAndSave(benchmark::State& state) {
    Fixture fx(state.range(0));
    const std::vector<std::string_view> keys = OpenKeys();
    const std::vector<Replacement> replacements = SaveReplacements();
    std::size_t found = 0;
    for (auto _ : state) {
        std::string xml;
        if (!LoadProfile(fx.path, xml)) state.SkipWithError("LoadProfile failed");
        for (std::string_view key : keys) found += LoadTag(xml, key).size();
        for (const Replacement& r : replacements) UpdateTag(xml, r.key, r.value);
        if (!WriteProfile(fx.path, xml)) state.SkipWithError("WriteProfile failed");
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The floor: read the whole file and write the same bytes back over it in
// place; or, synced, hand them to the file layer's replace, which flushes them
// to the disk through a temporary file as the save does.
void PlainRoundTrip(benchmark::State& state, bool sync) {
    Fixture fx(state.range(0));
    for (auto _ : state) {
        std::string bytes;
        if (!files::ReadWhole(fx.path, bytes, kLargest)) state.SkipWithError("plain read failed");
        if (sync) {
            if (const files::Outcome written = files::ReplaceWhole(fx.path, bytes); !written)
                state.SkipWithError(("synced write failed: " + written.reason).c_str());
        } else {
            std::ofstream out(fx.path, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            if (!out) state.SkipWithError("plain write failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void PlainReadWrite(benchmark::State& state) { PlainRoundTrip(state, false); }
void PlainReadSyncedWrite(benchmark::State& state) { PlainRoundTrip(state, true); }

// Keeps the mean time of each run, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            const std::int64_t size = std::atoll(name.c_str() + slash + 1);
            seconds_[size][name.substr(0, slash)].push_back(run.real_accumulated_time /
                                                            static_cast<double>(run.iterations));
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        std::printf("\nfloor: plain read + write; synced floor: the read, then the file layer's\n"
                    "synced replace (temporary file flushed to the disk, then renamed over),\n"
                    "as the save does. Ratio: open+save time over the floor's time. With\n"
                    "--benchmark_repetitions=N the times are the median of the N runs, and the\n"
                    "last column gives the ratio of the best runs too.\n");
        std::printf("\n%-8s %10s %10s %13s %8s %13s %10s %12s\n", "size", "floor ms", "synced ms", "open+save ms",
                    "ratio", "ratio synced", "ms per MB", "best ratio");
        for (const auto& [size, times] : seconds_) {
            const auto floor = times.find("PlainReadWrite");
            const auto synced = times.find("PlainReadSyncedWrite");
            const auto ours = times.find("OpenAndSave");
            if (floor == times.end() || ours == times.end() || synced == times.end()) continue;
            const double mb = static_cast<double>(size) / (1024.0 * 1024.0);
            const double f = Median(floor->second), y = Median(synced->second), o = Median(ours->second);
            std::printf("%-8s %10.3f %10.3f %13.3f %7.2fx %12.2fx %10.3f %11.2fx\n", SizeName(size).c_str(), f * 1e3,
                        y * 1e3, o * 1e3, o / f, o / y, o * 1e3 / mb, Best(ours->second) / Best(floor->second));
        }
    }

private:
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    static double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
    static std::string SizeName(std::int64_t size) {
        if (size >= 1024 * 1024) return std::to_string(size / (1024 * 1024)) + " MB";
        return std::to_string(size / 1024) + " KB";
    }
    std::map<std::int64_t, std::map<std::string, std::vector<double>>> seconds_;
};

void Sizes(benchmark::internal::Benchmark* b) {
    for (std::int64_t size : kSizes) b->Arg(size);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(PlainReadWrite)->Apply(Sizes);
BENCHMARK(PlainReadSyncedWrite)->Apply(Sizes);
BENCHMARK(OpenAndSave)->Apply(Sizes);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
