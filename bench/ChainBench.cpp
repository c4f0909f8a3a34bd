// The open-and-report chain on generated books: load, index, journal view, whole-period
// ledger, statements and journal listing, each timed, with the heap held at the end.
#include "app/Application.h"
#include "app/HeadlessPlatform.h"
#include "book/BookFile.h"
#include "cli/BookGenerator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <sstream>

namespace {

const std::string& BookFile(int vouchers) {
    static std::map<int, std::string> files;
    auto it = files.find(vouchers);
    if (it != files.end())
        return it->second;
    kp::BookTree tree;
    kp::GenerateBook(tree, vouchers, 1);
    const std::string name =
        (std::filesystem::temp_directory_path() / ("kp-bench-" + std::to_string(vouchers) + ".tlk"))
            .string();
    kp::SaveBook(tree, name);
    return files.emplace(vouchers, name).first->second;
}

// Small blocks, the large ones malloc maps separately (a ledger's packed lines) and the trees'
// own ranges.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + kp::BookTree::bytesHeldByAllTrees();
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_OpenAndReport(benchmark::State& state) {
    const std::string& file = BookFile(static_cast<int>(state.range(0)));
    std::ostringstream sink;
    std::map<std::string, double> stage;
    std::map<std::string, double> heap;
    double heapMB = 0;
    std::size_t ledgerLines = 0;
    for (auto _ : state) {
        const std::size_t heapBefore = HeapInUse();
        kp::HeadlessPlatform platform(sink);
        kp::Application app(platform);
        auto t = std::chrono::steady_clock::now();
        kp::LoadBook(app.state().openBook, file);
        stage["load"] += Seconds(t);
        heap["load"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        t = std::chrono::steady_clock::now();
        app.rebuildAccountIndex();
        stage["index"] += Seconds(t);
        heap["index"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        t = std::chrono::steady_clock::now();
        app.activatePage(kp::Tab::Journal);
        stage["journal"] += Seconds(t);
        heap["journal"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        t = std::chrono::steady_clock::now();
        app.activatePage(kp::Tab::Ledger);
        app.chooser().setChoice(0, -1);
        app.periodOk();
        stage["ledger"] += Seconds(t);
        heap["ledger"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        t = std::chrono::steady_clock::now();
        app.activatePage(kp::Tab::Income);
        stage["statements"] += Seconds(t);
        heap["statements"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        t = std::chrono::steady_clock::now();
        const kp::ReportLines listing = app.journalListing(0, "Koko kausi");
        stage["listing"] += Seconds(t);
        heap["listing"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        heapMB = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
        ledgerLines = app.ledgerLines().size();
        benchmark::DoNotOptimize(listing.size());
    }
    for (const auto& [name, seconds] : stage)
        state.counters[name + "_ms"] = 1000 * seconds / static_cast<double>(state.iterations());
    state.counters["heap_MB"] = heapMB;
    for (const auto& [name, mb] : heap)
        state.counters[name + "_heapMB"] = mb;
    state.counters["ledger_lines"] = static_cast<double>(ledgerLines);
}
BENCHMARK(BM_OpenAndReport)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
