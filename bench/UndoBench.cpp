// Undo on a generated book of 100,000 vouchers: posting a voucher with its undo record, the
// record alone, and an undo with its redo.
#include "app/Application.h"
#include "app/HeadlessPlatform.h"
#include "bench/PostVoucher.h"
#include "book/BookFile.h"
#include "cli/BookGenerator.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>

namespace {

constexpr int kVouchers = 100000;

// The application with the generated book opened, as the window opens it.
struct OpenBook {
    std::ostringstream sink;
    kp::HeadlessPlatform platform{sink, true};
    kp::Application app{platform};
    std::string file;

    OpenBook() {
        kp::BookTree tree;
        kp::GenerateBook(tree, kVouchers, 1);
        file = (std::filesystem::temp_directory_path() / "kp-undo-bench.tlk").string();
        kp::SaveBook(tree, file);
        app.openBook(file);
    }
    ~OpenBook() { std::filesystem::remove(file); }

    void postVoucher() { bench::PostVoucher(app); }
};

OpenBook& Book() {
    static OpenBook book;
    return book;
}

// What the window's thread does for OK: posting, the journal node, the undo record.
void BM_PostVoucherWithUndoRecord(benchmark::State& state) {
    OpenBook& book = Book();
    for (auto _ : state)
        book.postVoucher();
    state.counters["undo_bytes"] = static_cast<double>(book.app.undoHistory().storedBytes());
    state.counters["steps"] = static_cast<double>(book.app.undoHistory().stepCount());
    state.counters["snapshot_bytes"] = static_cast<double>(book.app.undoHistory().snapshotBytes());
}
BENCHMARK(BM_PostVoucherWithUndoRecord)->Unit(benchmark::kMillisecond);

// The record alone: the snapshot of the whole book and its difference from the one before.
void BM_RecordOneStep(benchmark::State& state) {
    OpenBook& book = Book();
    kp::BookTree& tree = book.app.state().openBook;
    kp::BookNode* events = book.app.index().events();
    for (auto _ : state) {
        state.PauseTiming();
        tree.addLast(tree.addLast(events, "event 0"), "date 2026 1 1");
        state.ResumeTiming();
        book.app.recordChange("Muutos");
    }
}
BENCHMARK(BM_RecordOneStep)->Unit(benchmark::kMillisecond);

// Undo of a posted voucher and its redo: the book rebuilt twice, with the index and the journal.
void BM_UndoAndRedo(benchmark::State& state) {
    OpenBook& book = Book();
    book.postVoucher();
    for (auto _ : state) {
        book.app.undo();
        book.app.redo();
    }
}
BENCHMARK(BM_UndoAndRedo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
