// Figures for the hex control on a 64 MiB file: loading, searching next to
// memmem, inserting at the front next to copying the file, changing a byte,
// hex text, painting a screen, and the peak memory of a process that does
// all of it on a 64 MiB file next to one that does it on a 1 MiB file.
//
// Loading, inserting with its undo and changing a byte measure the byte
// store alone, without a widget; searching, hex text and painting go
// through the control, as the editor window uses them.
//
// Run: hexedit_bench (Google Benchmark flags apply). The summary at the end
// prints the ratios; the peak memory comes from child processes, one per
// file size, each reading its own VmHWM.
#include "hexedit/bytestore.h"
#include "hexedit/hexeditor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int64_t cMiB = 1024 * 1024;
constexpr int cPatternSize = 16;

std::vector<uint8_t> MakeData(int64_t aSize)
{
    std::vector<uint8_t> data(static_cast<std::size_t>(aSize));
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (auto& b : data) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = uint8_t(x);
    }
    // The pattern searched for sits in the last 16 bytes.
    for (int i = 0; i < cPatternSize; ++i)
        data[data.size() - cPatternSize + std::size_t(i)] = uint8_t(0xF0 ^ (i * 37));
    return data;
}

std::vector<uint8_t> Pattern()
{
    std::vector<uint8_t> p(cPatternSize);
    for (int i = 0; i < cPatternSize; ++i)
        p[std::size_t(i)] = uint8_t(0xF0 ^ (i * 37));
    return p;
}

void WriteFile(const QString& aPath, const std::vector<uint8_t>& aData)
{
    std::ofstream out(aPath.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(aData.data()), std::streamsize(aData.size()));
}

long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// The child's whole job: everything the benchmarks do, on one file, then
// its own peak resident size.
int PeakChild(const QString& aFile)
{
    THexEditor editor;
    editor.resize(760, 420);
    if (!editor.LoadFromFile(aFile))
        return 1;
    QImage screen(editor.viewport()->size(), QImage::Format_RGB32);
    editor.viewport()->render(&screen);
    auto p = Pattern();
    if (editor.Find(p.data(), cPatternSize, 0, editor.DataSize() - 1, false, false) < 0)
        return 2;
    const uint8_t b = 0x42;
    editor.InsertBuffer(&b, 1, 0);
    editor.Undo();
    editor.SetSelStart(editor.DataSize() - 1);
    editor.viewport()->render(&screen);
    std::printf("%ld\n", PeakKiB());
    return 0;
}

struct Files {
    QTemporaryDir dir;
    QString big;
    QString small;
    QString hex;
    std::vector<uint8_t> bigData;
};

Files* gFiles = nullptr;

class Recorder : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& aRuns) override
    {
        for (const Run& r : aRuns)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds[r.benchmark_name()] = r.real_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(aRuns);
    }
    std::map<std::string, double> seconds;
};

// An edit as the control journals it: the caret on the edited byte.
TUndoRec EditAt(uint8_t aType, int32_t aPos, int32_t aCount)
{
    TUndoRec rec;
    rec.Typ = aType;
    rec.CurPos = aPos;
    rec.SelS = rec.SelE = rec.SelP = -1;
    rec.Pos = aPos;
    rec.Count = aCount;
    return rec;
}

void BM_Load(benchmark::State& state)
{
    TByteStore store;
    for (auto _ : state)
        if (!store.Load(gFiles->big))
            state.SkipWithError("load failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * 64 * cMiB);
}

void BM_Find(benchmark::State& state)
{
    THexEditor editor;
    editor.LoadFromFile(gFiles->big);
    const auto pattern = Pattern();
    int32_t found = -1;
    for (auto _ : state) {
        auto p = pattern;
        found = editor.Find(p.data(), cPatternSize, 0, editor.DataSize() - 1, false, false);
        benchmark::DoNotOptimize(found);
    }
    if (found != editor.DataSize() - cPatternSize)
        state.SkipWithError("pattern not found at the end");
    state.SetBytesProcessed(int64_t(state.iterations()) * 64 * cMiB);
}

void BM_Memmem(benchmark::State& state)
{
    const auto& data = gFiles->bigData;
    const auto pattern = Pattern();
    for (auto _ : state) {
        const void* hit = memmem(data.data(), data.size(), pattern.data(), pattern.size());
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 64 * cMiB);
}

void BM_InsertAtFrontAndUndo(benchmark::State& state)
{
    TByteStore store;
    store.Load(gFiles->big);
    const uint8_t b = 0x42;
    TUndoRec undone;
    auto insert = [&] {
        store.Record(EditAt(U_Insert_buffer, 0, 1), false);
        store.Insert(&b, 1, 0);
    };
    // Once untimed, to be sure both steps really move the whole file.
    insert();
    if (store.Size() != 64 * cMiB + 1 || store.CachedByte(0, 1) != b ||
        store.CachedByte(int32_t(64 * cMiB), 1) != gFiles->bigData.back())
        state.SkipWithError("insertion did not move the content");
    store.Undo(undone, false);
    for (auto _ : state) {
        insert();
        if (!store.Undo(undone, false))
            state.SkipWithError("nothing to undo");
    }
    if (store.Size() != 64 * cMiB || store.CachedByte(0, 1) != gFiles->bigData[0])
        state.SkipWithError("content not restored");
}

void BM_PlainCopy(benchmark::State& state)
{
    const std::string from = gFiles->big.toStdString();
    const std::string to = QDir(gFiles->dir.path()).filePath("copy.bin").toStdString();
    for (auto _ : state)
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    state.SetBytesProcessed(int64_t(state.iterations()) * 64 * cMiB);
}

void BM_ChangeByte(benchmark::State& state)
{
    TByteStore store;
    store.Load(gFiles->big);
    const int32_t pos = int32_t(32 * cMiB);
    const uint8_t first = store.CachedByte(pos, 16);
    // What typing over a byte does to the bytes: journal it, write it, mark it.
    for (auto _ : state) {
        const uint8_t changed = uint8_t(~store.CachedByte(pos, 16));
        store.Record(EditAt(U_Byte_changed, pos, 1), false);
        store.Write(&changed, pos, 1);
        store.SetMark(pos, true, false);
    }
    if (store.CachedByte(pos, 16) != (state.iterations() % 2 ? uint8_t(~first) : first) ||
        !store.Marks().Has(pos) ||
        store.UndoCount() != std::min<int64_t>(state.iterations(), cMax_Undo))
        state.SkipWithError("bytes not changed as typed");
}

void BM_AsHex(benchmark::State& state)
{
    THexEditor editor;
    editor.LoadFromFile(gFiles->hex);
    for (auto _ : state) {
        const QByteArray text = editor.AsHex();
        if (text.size() != 16 * cMiB)
            state.SkipWithError("short hex text");
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 8 * cMiB);
}

void BM_PaintScreen(benchmark::State& state)
{
    THexEditor editor;
    editor.resize(760, 420);
    editor.LoadFromFile(gFiles->big);
    QImage screen(editor.viewport()->size(), QImage::Format_RGB32);
    // Each paint follows a jump to another part of the file, so the rows
    // come from the file and not from the cache.
    const int rows = editor.RowCount();
    int n = 0;
    for (auto _ : state) {
        editor.SetTopRow((n++ % 2) ? rows / 3 : 2 * rows / 3);
        editor.viewport()->render(&screen);
    }
    state.counters["rows"] = editor.VisibleRowCount();
}

long ChildPeak(const QString& aFile)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-child"), aFile});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return -1;
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-child") == 0)
        return PeakChild(QString::fromLocal8Bit(argv[2]));

    Files files;
    files.bigData = MakeData(64 * cMiB);
    files.big = files.dir.filePath(QStringLiteral("big.bin"));
    files.small = files.dir.filePath(QStringLiteral("small.bin"));
    files.hex = files.dir.filePath(QStringLiteral("hex.bin"));
    WriteFile(files.big, files.bigData);
    WriteFile(files.small, MakeData(cMiB));
    WriteFile(files.hex, MakeData(8 * cMiB));
    gFiles = &files;

    benchmark::RegisterBenchmark("Load/64MiB", BM_Load)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Find/16B-at-end/64MiB", BM_Find)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("memmem/16B-at-end/64MiB", BM_Memmem)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("InsertAt0+Undo/64MiB", BM_InsertAtFrontAndUndo)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlainCopy/64MiB", BM_PlainCopy)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ChangeByte/64MiB", BM_ChangeByte)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("AsHex/8MiB", BM_AsHex)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PaintScreen/64MiB", BM_PaintScreen)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);

    auto ms = [&](const char* name) { return recorder.seconds[name] * 1e3; };
    auto ratio = [&](const char* a, const char* b) {
        const double d = recorder.seconds[b];
        return d > 0 ? recorder.seconds[a] / d : 0.0;
    };
    const long peakBig = ChildPeak(files.big);
    const long peakSmall = ChildPeak(files.small);

    std::printf("\nSummary, 64 MiB file\n");
    std::printf("  load                          %9.2f ms\n", ms("Load/64MiB"));
    std::printf("  Find 16 bytes at the end      %9.2f ms   memmem %8.2f ms   ratio %6.2f\n",
                ms("Find/16B-at-end/64MiB"), ms("memmem/16B-at-end/64MiB"),
                ratio("Find/16B-at-end/64MiB", "memmem/16B-at-end/64MiB"));
    std::printf("  insert 1 byte at 0 + undo     %9.2f ms   plain copy %6.2f ms   ratio %6.2f\n",
                ms("InsertAt0+Undo/64MiB"), ms("PlainCopy/64MiB"),
                ratio("InsertAt0+Undo/64MiB", "PlainCopy/64MiB"));
    std::printf("  change one byte               %9.2f us\n", ms("ChangeByte/64MiB") * 1e3);
    std::printf("  AsHex of 8 MiB                %9.2f ms\n", ms("AsHex/8MiB"));
    std::printf("  paint one screen              %9.2f ms\n", ms("PaintScreen/64MiB"));
    std::printf("  peak memory (VmHWM)           64 MiB file %.1f MiB   1 MiB file %.1f MiB\n",
                double(peakBig) / 1024.0, double(peakSmall) / 1024.0);
    benchmark::Shutdown();
    return 0;
}
