// How fast the emulated adapter moves sectors, next to the disk doing the
// same work without it; and how many sector reads listing a card costs.
//
//   build/default/bin/mcbridge_bench
#include "card_medium.h"
#include "emulated_adapter.h"
#include "library.h"
#include "mcbridge/banner_encode.h"
#include "mcbridge/format.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace mcb;

std::string scratch(const std::string& name)
{
    static const fs::path dir = [] {
        std::string p = (fs::temp_directory_path() / "mcbridge-bench-XXXXXX").string();
        if (!mkdtemp(p.data()))
            std::abort();
        return fs::path(p);
    }();
    return (dir / name).string();
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& b)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// Connects the library to an emulated adapter over an image file.
struct FileCard {
    std::shared_ptr<Traffic> traffic = std::make_shared<Traffic>();
    explicit FileCard(const std::string& path)
    {
        setAdapterFinder([path, t = traffic]() {
            OpenResult r;
            auto medium = FileMedium::open(path, r.error);
            if (medium)
                r.adapter = std::make_unique<EmulatedAdapter>(std::move(medium), t);
            return r;
        });
        if (IsConnected())
            CloseDevice();
        if (!OpenDevice(nullptr) || !GetCardMemory())
            std::abort();
    }
    ~FileCard()
    {
        CloseDevice();
        setAdapterFinder({});
    }
};

void BM_SectorRead(benchmark::State& state)
{
    const std::string path = scratch("read.raw");
    writeBytes(path, formatCard(FormatOptions{16}));
    FileCard card(path);
    uint8_t buf[512];
    unsigned s = 0;
    for (auto _ : state) {
        if (ReadSector(uint16_t(s), buf, 512) != 512)
            state.SkipWithError("read failed");
        s = (s + 1) % 4096;
    }
    state.counters["sectors/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SectorRead)->UseRealTime();

void BM_SectorWrite(benchmark::State& state)
{
    const std::string path = scratch("write.raw");
    writeBytes(path, formatCard(FormatOptions{16}));
    FileCard card(path);
    std::vector<uint8_t> data(512, 0x5A);
    unsigned s = 80;
    for (auto _ : state) {
        if (s % 16 == 0)
            EraseBlock(uint16_t(s));
        if (WriteSector(uint16_t(s), data.data(), 512) != 512)
            state.SkipWithError("write failed");
        s = s + 1 == 4096 ? 80 : s + 1;
    }
    state.counters["sectors/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SectorWrite)->UseRealTime();

// The same bytes read and written 512 at a time in a plain file.
void BM_PlainSectorRead(benchmark::State& state)
{
    const std::string path = scratch("plain.raw");
    writeBytes(path, formatCard(FormatOptions{16}));
    FILE* f = std::fopen(path.c_str(), "rb");
    uint8_t buf[512];
    unsigned s = 0;
    for (auto _ : state) {
        if (pread(fileno(f), buf, 512, off_t(s) * 512) != 512)
            state.SkipWithError("read failed");
        s = (s + 1) % 4096;
    }
    std::fclose(f);
    state.counters["sectors/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainSectorRead)->UseRealTime();

void BM_PlainSectorWrite(benchmark::State& state)
{
    const std::string path = scratch("plain-w.raw");
    writeBytes(path, formatCard(FormatOptions{16}));
    FILE* f = std::fopen(path.c_str(), "r+b");
    std::vector<uint8_t> data(512, 0x5A);
    unsigned s = 80;
    for (auto _ : state) {
        if (pwrite(fileno(f), data.data(), 512, off_t(s) * 512) != 512)
            state.SkipWithError("write failed");
        s = s + 1 == 4096 ? 80 : s + 1;
    }
    std::fclose(f);
    state.counters["sectors/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainSectorWrite)->UseRealTime();

void BM_WholeCardRead64(benchmark::State& state)
{
    const std::string path = scratch("card64.raw");
    writeBytes(path, formatCard(FormatOptions{64}));
    FileCard card(path);
    const std::string out = scratch("backup64.gcp");
    for (auto _ : state)
        if (!ReadCardToFile(out.c_str()))
            state.SkipWithError("backup failed");
    state.counters["MiB/s"] =
        benchmark::Counter(8.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeCardRead64)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WholeCardWrite64(benchmark::State& state)
{
    const std::string path = scratch("card64w.raw");
    const std::string image = scratch("image64.gcp");
    writeBytes(path, formatCard(FormatOptions{64}));
    writeBytes(image, formatCard(FormatOptions{64}));
    FileCard card(path);
    for (auto _ : state)
        if (!WriteFileToCard(image.c_str()))
            state.SkipWithError("restore failed");
    state.counters["MiB/s"] =
        benchmark::Counter(8.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeCardWrite64)->Unit(benchmark::kMillisecond)->UseRealTime();

// Copying the 8 MiB image as a file, flushed like a backup is.
void BM_PlainImageCopy64(benchmark::State& state)
{
    const std::string from = scratch("plain64.raw");
    const std::string to = scratch("plain64-copy.raw");
    writeBytes(from, formatCard(FormatOptions{64}));
    for (auto _ : state) {
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        FILE* f = std::fopen(to.c_str(), "r+b");
        fsync(fileno(f));
        std::fclose(f);
    }
    state.counters["MiB/s"] =
        benchmark::Counter(8.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainImageCopy64)->Unit(benchmark::kMillisecond)->UseRealTime();

// Listing a card of 127 one-block saves the way the program does: the
// directory, every slot, every banner.
void BM_ListFullCard(benchmark::State& state)
{
    const std::string path = scratch("full.raw");
    writeBytes(path, formatCard(FormatOptions{16}));
    FileCard card(path);
    Banner art{};
    for (std::size_t i = 0; i < art.size(); ++i)
        art[i] = uint16_t(i);
    for (unsigned n = 0; n < 127; ++n) {
        std::vector<uint8_t> f(64 + 8192, 0);
        std::memcpy(f.data(), "BNCE01", 6);
        f[kEntryBannerFormat] = n % 2 ? kBannerIndexed : 2;
        std::snprintf(reinterpret_cast<char*>(f.data() + kEntryName), 32, "save %u", n);
        putBe32(&f[kEntryPictureOffset], 0);
        const auto pic = encodeBanner(art, f[kEntryBannerFormat]);
        std::memcpy(f.data() + 64, pic.data(), pic.size());
        const std::string file = scratch("s.gci");
        writeBytes(file, f);
        if (!InitSaverInfo() || !UpLoadSaver(file.c_str()))
            std::abort();
    }
    const std::string bmp = scratch("icon.bmp");
    uint64_t reads = 0;
    for (auto _ : state) {
        const uint64_t before = card.traffic->sectorReads;
        InitSaverInfo();
        char name[33], code[7];
        uint16_t count;
        unsigned listed = 0;
        for (unsigned slot = 0; slot < 128; ++slot)
            if (GetSaverInfo(slot, name, code, &count) && GetSaverPIC(slot, bmp.c_str()))
                ++listed;
        if (listed != 127)
            state.SkipWithError("not every save was listed");
        reads = card.traffic->sectorReads - before;
    }
    state.counters["reads/save"] = double(reads) / 127.0;
    state.counters["reads/listing"] = double(reads);
    // On a real adapter every read waits 5 ms before its data.
    state.counters["adapter pause s"] = double(reads) * 0.005;
}
BENCHMARK(BM_ListFullCard)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints each benchmark's line as usual, then the ratios a reader wants.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred)
                seconds_[r.run_name.function_name] =
                    r.GetAdjustedRealTime() / 1e9 *
                    (r.time_unit == benchmark::kMillisecond ? 1e6 : 1.0);
    }
    void summary() const
    {
        auto ratio = [&](const char* a, const char* b) {
            const auto x = seconds_.find(a), y = seconds_.find(b);
            if (x != seconds_.end() && y != seconds_.end() && y->second > 0)
                std::printf("  %-22s / %-22s = %.2f\n", a, b, x->second / y->second);
        };
        std::printf("\nTime ratios (emulated adapter / plain file work):\n");
        ratio("BM_SectorRead", "BM_PlainSectorRead");
        ratio("BM_SectorWrite", "BM_PlainSectorWrite");
        ratio("BM_WholeCardRead64", "BM_PlainImageCopy64");
        ratio("BM_WholeCardWrite64", "BM_PlainImageCopy64");
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv)
{
    // The raw sector writes measured here are no user's changes to journal.
    setenv("MCBRIDGE_JOURNAL", "off", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter; // plain text: the figures are meant to be pasted
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summary();
    benchmark::Shutdown();
    fs::remove_all(fs::path(scratch("x")).parent_path());
    return 0;
}
