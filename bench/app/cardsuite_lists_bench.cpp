// How long the program takes to list, and to list again, a save folder of
// 1,000 files and a full card of 127 saves, and how many banners a relisting
// of an unchanged card reads from the adapter (only its directory should be).
//
//   QT_QPA_PLATFORM=offscreen build/default/bin/cardsuite_lists_bench
#include "app_options.h"
#include "save_maker.h"
#include "window/main_form.h"

#include "mcbridge/format.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void makeFolder(int files)
{
    const QString saver = scratch().path() + QStringLiteral("/saver");
    QDir().mkpath(saver);
    for (int i = 0; i < files; ++i) {
        const std::string name = "save" + std::to_string(i);
        mcbtest::writeFile((saver + QLatin1Char('/')).toStdString() + name + ".gci",
                           mcbtest::makeSaveFile({.name = name, .blocks = 1}));
    }
}

void makeFullCard()
{
    // 127 one-block saves on a 16 Mbit card: every directory slot in use.
    std::vector<uint8_t> image = mcb::formatCard(mcb::FormatOptions{16});
    for (unsigned slot = 0; slot < 127; ++slot)
        mcbtest::placeSave(image, slot,
                           mcbtest::makeSaveFile({.name = "s" + std::to_string(slot), .blocks = 1}),
                           5 + slot);
    const QString card = scratch().path() + QStringLiteral("/card.raw");
    mcbtest::writeFile(card.toStdString(), image);
    qputenv("MCBRIDGE_DEVICE", ("image:" + card).toLocal8Bit());
}

std::unique_ptr<TMainForm> newForm()
{
    auto form = std::make_unique<TMainForm>();
    form->quitAction = [] {};
    return form;
}

void FolderOf1000_FirstList(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto form = newForm(); // lists the folder once; its cache is thrown away below
        state.ResumeTiming();
        form->GetFilePIC();
        state.PauseTiming();
        state.counters["decoded"] = form->banners().fileDecodes;
        form.reset();
        state.ResumeTiming();
    }
}

void FolderOf1000_Relist(benchmark::State& state)
{
    auto form = newForm();
    const int before = form->banners().fileDecodes;
    for (auto _ : state)
        form->GetFilePIC();
    state.counters["decoded"] = form->banners().fileDecodes - before;
}

void FullCard_FirstList(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto form = newForm();
        state.ResumeTiming();
        form->UpDateBtnClick();
        state.PauseTiming();
        state.counters["banners_read"] = form->banners().cardDecodes;
        form.reset();
        state.ResumeTiming();
    }
}

void FullCard_Relist(benchmark::State& state)
{
    auto form = newForm();
    form->UpDateBtnClick();
    const int before = form->banners().cardDecodes;
    for (auto _ : state)
        form->UpDateBtnClick();
    // Banners read from the adapter by the relistings: 0 when only the
    // system area (header, directory, map) was read.
    state.counters["banners_read"] = form->banners().cardDecodes - before;
}

} // namespace

BENCHMARK(FolderOf1000_FirstList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FolderOf1000_Relist)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(FullCard_FirstList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FullCard_Relist)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setDataDir(scratch().path());
    makeFolder(1000);
    makeFullCard();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
