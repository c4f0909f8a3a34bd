// Loading and saving large books: time, and heap bytes per node of the book tree.
#include "book/BookFile.h"
#include "book/BookTree.h"
#include "book/NestedList.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <malloc.h>
#include <random>
#include <string>

namespace {

// A book of `vouchers` vouchers with 3-4 lines each, as the nested-list writer writes it.
std::string MakeBookText(int vouchers) {
    std::mt19937 rng(42);
    kp::BookTree tree;
    kp::BookNode* root =
        tree.addLast(nullptr, "identity \"Razeri\" version \"versio 0.22\" finances");
    kp::BookNode* fy = tree.addLast(root, "fiscal-year \"Testi Oy\"");
    tree.addLast(fy, "date 2026 1 1");
    tree.addLast(fy, "date 2026 12 31");
    kp::BookNode* map = tree.addLast(fy, "account-map");
    kp::BookNode* assets = tree.addLast(map, "account -1 \"V A S T A A V A A\"");
    kp::BookNode* group = tree.addLast(assets, "");
    for (int a = 1000; a < 1100; ++a)
        tree.addLast(tree.addLast(group, "account " + std::to_string(a) + " \"Tili\""), "");
    tree.addLast(map, "account -1 \"V A S T A T T A V A A\"");
    tree.addLast(map, "account -1 \"T U L O S\"");
    kp::BookNode* events = tree.addLast(fy, "");
    for (int v = 0; v < vouchers; ++v) {
        kp::BookNode* e = tree.addLast(events, "event " + std::to_string(v));
        tree.addLast(e,
                     "date 2026 " + std::to_string(1 + v % 12) + " " + std::to_string(1 + v % 28));
        tree.addLast(e, "\"Myyntilasku " + std::to_string(v) + " asiakas\"");
        kp::BookNode* lines = tree.addLast(e, "");
        const int n = 3 + static_cast<int>(rng() % 2);
        int total = 0;
        for (int l = 0; l < n; ++l) {
            const int cents = l + 1 < n ? static_cast<int>(rng() % 100000) : -total;
            total += cents;
            kp::BookNode* line = tree.addLast(lines, std::to_string(1000 + rng() % 100));
            tree.addLast(line, "money " + std::to_string(cents));
        }
    }
    return kp::FormatNestedList(tree);
}

void BM_ParseNestedList(benchmark::State& state) {
    const std::string text = MakeBookText(static_cast<int>(state.range(0)));
    std::size_t nodes = 0;
    double bytesPerNode = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks + kp::BookTree::bytesHeldByAllTrees();
        kp::BookTree tree;
        kp::ParseNestedList(tree, text);
        const std::size_t after = mallinfo2().uordblks + kp::BookTree::bytesHeldByAllTrees();
        nodes = tree.count();
        bytesPerNode = static_cast<double>(after - before) / static_cast<double>(nodes);
        benchmark::DoNotOptimize(tree.first());
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["bytes_per_node"] = bytesPerNode;
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) * state.iterations());
}
BENCHMARK(BM_ParseNestedList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FormatNestedList(benchmark::State& state) {
    kp::BookTree tree;
    kp::ParseNestedList(tree, MakeBookText(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(kp::FormatNestedList(tree));
}
BENCHMARK(BM_FormatNestedList)->Arg(100000)->Unit(benchmark::kMillisecond);

// A whole save: format, write, read the copy back and compare it with the book, replace.
void BM_SaveBookVerified(benchmark::State& state) {
    kp::BookTree tree;
    kp::ParseNestedList(tree, MakeBookText(static_cast<int>(state.range(0))));
    const std::string name =
        (std::filesystem::temp_directory_path() / "kp-bench-save.tlk").string();
    for (auto _ : state)
        if (!kp::SaveBook(tree, name))
            state.SkipWithError("save failed");
    std::filesystem::remove(name);
}
BENCHMARK(BM_SaveBookVerified)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
