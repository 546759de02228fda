// What the journal adds to a change on an emulated card over an image file:
// the time, the adapter's sector reads and the bytes the record takes, for
// an upload of a new 7-block save, a replacement of a 7-block save and a
// delete, each with the journal off and on.
//
//   build/default/bin/journal_bench
#include "card_medium.h"
#include "emulated_adapter.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace mcb;

const fs::path& scratch()
{
    static const fs::path dir = [] {
        std::string p = (fs::temp_directory_path() / "journal-bench-XXXXXX").string();
        if (!mkdtemp(p.data()))
            std::abort();
        return fs::path(p);
    }();
    return dir;
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& b)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A 7-block save file: its entry, then patterned blocks.
std::vector<uint8_t> saveFile(const char* name, uint8_t seed)
{
    std::vector<uint8_t> f(kEntrySize + 7 * kBlockSize, 0);
    std::memset(f.data(), 0xFF, kEntrySize);
    std::memcpy(f.data(), "GBNE01", 6);
    std::memset(f.data() + kEntryName, 0, kEntryNameSize);
    std::strcpy(reinterpret_cast<char*>(f.data() + kEntryName), name);
    f[kEntryBlockCount] = 0;
    f[kEntryBlockCount + 1] = 7;
    f[kEntryFirstBlock] = 0;
    f[kEntryFirstBlock + 1] = 0;
    for (std::size_t i = kEntrySize; i < f.size(); ++i)
        f[i] = uint8_t(i * 7 + seed);
    return f;
}

uint64_t folderBytes(const fs::path& dir)
{
    uint64_t n = 0;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir))
            n += e.file_size();
    return n;
}

enum class Change { Upload, Replace, Delete };

// One change per iteration on a 16 Mbit card image that holds one 7-block
// save, put back between iterations (not timed).
void run(benchmark::State& state, Change change, bool journal)
{
    const fs::path image = scratch() / "card.raw";
    const fs::path folder = scratch() / "journal";
    const auto old = saveFile("old", 1);
    const auto fresh = saveFile("old", 9);
    const auto other = saveFile("new", 5);
    auto traffic = std::make_shared<Traffic>();
    setDeviceHook([&](std::string_view device) -> std::optional<OpenResult> {
        if (device != "bench")
            return std::nullopt;
        OpenResult r;
        if (auto medium = FileMedium::open(image.string(), r.error))
            r.adapter = std::make_unique<EmulatedAdapter>(std::move(medium), traffic);
        return r;
    });
    // The card with the old save, made through the library once.
    writeBytes(image, formatCard(FormatOptions{16}));
    {
        mcb_card* c = nullptr;
        mcb_open("bench", &c);
        mcb_set_journal(c, nullptr, MCB_JOURNAL_OFF);
        const mcb_write_request r{sizeof r, MCB_WRITE_NEW, 0, 0};
        mcb_write_save(c, old.data(), old.size(), &r, nullptr);
        mcb_close(c);
    }
    std::ifstream in(image, std::ios::binary);
    const std::vector<uint8_t> base((std::istreambuf_iterator<char>(in)), {});
    uint64_t reads = 0, bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(image, base);
        fs::remove_all(folder);
        mcb_card* c = nullptr;
        if (mcb_open("bench", &c) != MCB_OK || mcb_load(c) < 0)
            state.SkipWithError("open failed");
        mcb_set_journal(c, journal ? folder.c_str() : nullptr, journal ? 0 : MCB_JOURNAL_OFF);
        const uint64_t before = traffic->sectorReads;
        state.ResumeTiming();
        int status = MCB_OK;
        if (change == Change::Delete) {
            status = mcb_delete_save(c, 0, nullptr);
        } else {
            const auto& file = change == Change::Upload ? other : fresh;
            const mcb_write_request r{
                sizeof r, change == Change::Upload ? MCB_WRITE_NEW : MCB_WRITE_REPLACE_NAME, 0, 0};
            status = mcb_write_save(c, file.data(), file.size(), &r, nullptr);
        }
        state.PauseTiming();
        if (status != MCB_OK)
            state.SkipWithError(mcb_strerror(status));
        reads += traffic->sectorReads - before;
        mcb_close(c);
        bytes += folderBytes(folder);
        state.ResumeTiming();
    }
    state.counters["sector_reads"] = double(reads) / double(state.iterations());
    state.counters["journal_bytes"] = double(bytes) / double(state.iterations());
    setDeviceHook({});
}

void BM_Upload7(benchmark::State& s) { run(s, Change::Upload, s.range(0) != 0); }
void BM_Replace7(benchmark::State& s) { run(s, Change::Replace, s.range(0) != 0); }
void BM_Delete7(benchmark::State& s) { run(s, Change::Delete, s.range(0) != 0); }

BENCHMARK(BM_Upload7)->ArgName("journal")->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(BM_Replace7)->ArgName("journal")->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(BM_Delete7)->ArgName("journal")->Arg(0)->Arg(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(scratch());
    return 0;
}
