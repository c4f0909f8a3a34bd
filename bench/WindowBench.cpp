// The window on a large book: from making the main window to the journal drawn with the book's
// vouchers, and switching between the journal and the chart of accounts afterwards.
#include "book/BookFile.h"
#include "cli/BookGenerator.h"
#include "qt/MainWindow.h"
#include "qt/QtPlatform.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTabWidget>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <malloc.h>
#include <memory>

namespace {

std::string BookFile(int vouchers) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("kp-window-bench-" + std::to_string(vouchers) + ".tlk"))
                                 .string();
    if (!std::filesystem::exists(name)) {
        kp::BookTree tree;
        kp::GenerateBook(tree, vouchers, 1);
        kp::SaveBook(tree, name);
    }
    return name;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_WindowShowsJournal(benchmark::State& state) {
    const std::string file = BookFile(static_cast<int>(state.range(0)));
    double shown = 0;
    double switching = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto platform = std::make_unique<kp::QtPlatform>();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        auto window = std::make_unique<kp::MainWindow>(*platform, kp::Settings{}, std::string());
        window->show();
        if (!window->openFile(file)) {
            state.SkipWithError("the book did not open");
            return;
        }
        QTreeView* journal = window->treeView(kp::Tab::Journal);
        while (journal->model()->rowCount() == 0 || !journal->isVisible())
            QApplication::processEvents();
        window->grab(); // drawn
        shown += Seconds(start);

        state.PauseTiming();
        for (int i = 0; i < 4; ++i) {
            const auto at = std::chrono::steady_clock::now();
            window->pages()->setCurrentIndex(
                static_cast<int>(i % 2 ? kp::Tab::Journal : kp::Tab::Chart));
            QApplication::processEvents();
            window->grab();
            switching += Seconds(at) / 4;
        }
        window.reset();
        platform.reset();
        // Freed pages go back to the system, so that each round, like a program just started,
        // pays for the fresh memory it touches.
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["shown_ms"] = 1000 * shown / static_cast<double>(state.iterations());
    state.counters["switch_ms"] = 1000 * switching / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WindowShowsJournal)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
