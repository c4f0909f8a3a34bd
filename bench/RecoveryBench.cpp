// Posting a voucher on a generated book of 100,000 vouchers as the window's thread does it with
// recovery copies on: the posting, the undo record and the copy handed to the writer's thread.
#include "app/Application.h"
#include "app/HeadlessPlatform.h"
#include "bench/PostVoucher.h"
#include "book/BookFile.h"
#include "cli/BookGenerator.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

void BM_PostVoucherWithRecoveryCopy(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "kp-recovery-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string file = (folder / "kirja.tlk").string();
    {
        kp::BookTree tree;
        kp::GenerateBook(tree, 100000, 1);
        kp::SaveBook(tree, file);
    }
    std::ostringstream sink;
    kp::HeadlessPlatform platform{sink, true};
    {
        kp::Application app{platform};
        app.enableRecovery(folder / "palautus");
        app.openBook(file);
        for (auto _ : state)
            bench::PostVoucher(app);
        state.counters["snapshot_bytes"] = static_cast<double>(app.undoHistory().snapshotBytes());
        app.recoveryWriter()->wait();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_PostVoucherWithRecoveryCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
