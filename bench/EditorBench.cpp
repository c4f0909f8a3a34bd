// The voucher editor's account chooser on a chart of 2,000 accounts: every key release
// searches the sorted account or name list, and opening the drop-down walks it once.
#include "book/NestedList.h"
#include "ledger/AccountIndex.h"
#include "ledger/JournalView.h"
#include "ledger/VoucherEditor.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// Account numbers 1000..2999 with names of a few words, the last voucher numbered 1.
struct LargeChart {
    kp::BookTree book;
    kp::PeriodState periods;
    kp::AccountIndex index{true};
    kp::JournalView journal;

    LargeChart() {
        static const char* const kWords[] = {"Myynti",  "Ostot",  "Kassa", "Pankki",   "Palkat",
                                             "Vuokrat", "Matkat", "Alv",   "Saamiset", "Velat"};
        std::string accounts;
        for (int i = 0; i < 2000; ++i) {
            accounts += "(account " + std::to_string(1000 + i) + " \"" + kWords[i % 10] + " " +
                        kWords[(i / 10) % 10] + " " + std::to_string(i) + "\" ())";
        }
        kp::ParseNestedList(book, "(identity (fiscal-year \"Oy\" (date 2026 1 1) (date 2026 12 31) "
                                  "(account-map (account -1 \"V\" (" +
                                      accounts +
                                      "))) ((event 1 (date 2026 1 2) \"A\" ((1000 (money 1)) "
                                      "(1001 (money -1)))))))");
        index.rebuild(book, {}, &periods, true);
        journal.build({index, index.events(), &periods});
    }
};

LargeChart& Chart() {
    static LargeChart chart;
    return chart;
}

// Typing a number and a name into the chooser, key by key, then committing.
void BM_ChooserTyping(benchmark::State& state) {
    LargeChart& chart = Chart();
    kp::VoucherEditor editor({&chart.book, &chart.journal, &chart.index, &chart.periods, {}});
    editor.newVoucher(false, nullptr);
    for (auto _ : state) {
        editor.dateEnter();
        for (const char c : std::string("2718"))
            editor.chooserType(c);
        editor.chooserKey(kp::EditorKey::Escape);
        for (const char c : std::string("Palkat Ve"))
            editor.chooserType(c);
        benchmark::DoNotOptimize(editor.chooserText());
        editor.chooserKey(kp::EditorKey::Escape);
    }
    state.SetItemsProcessed(state.iterations() * 13);
    state.SetLabel("keys");
}
BENCHMARK(BM_ChooserTyping);

void BM_ChooserDropDown(benchmark::State& state) {
    LargeChart& chart = Chart();
    kp::VoucherEditor editor({&chart.book, &chart.journal, &chart.index, &chart.periods, {}});
    editor.newVoucher(false, nullptr);
    editor.dateEnter();
    editor.chooserType('2');
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.dropDownItems());
}
BENCHMARK(BM_ChooserDropDown);

} // namespace

BENCHMARK_MAIN();
