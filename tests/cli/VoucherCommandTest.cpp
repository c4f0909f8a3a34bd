// "add-voucher": one voucher posted from the command line, split or as given, or refused with
// the book left as it was.
#include "book/BookFile.h"
#include "ledger/AccountIndex.h"
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kp {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The last voucher's date, description and lines as "account:cents".
std::string LastVoucher(const fs::path& file) {
    BookTree book;
    EXPECT_TRUE(LoadBook(book, file.string(), LoadMode::Strict));
    AccountIndex index(false);
    PeriodState periods;
    index.rebuild(book, {}, &periods, true);
    const BookNode* event = index.events()->child(index.events()->childCount() - 1);
    std::string text = std::string(event->child(0)->text()) + " ";
    text += event->child(1)->text();
    for (const BookNode* line : event->child(2)->children()) {
        text.append(" ").append(line->text()).append(":");
        text += line->child(0)->text().substr(6);
    }
    return text;
}

struct AddCase {
    const char* name;
    std::vector<std::string> args; // after the book
    int rc;
    std::string expected; // the last voucher once posted; a piece of the message when refused
};

class AddVoucher : public testing::TestWithParam<AddCase> {};

TEST_P(AddVoucher, PostsOrRefusesWritingNothing) {
    const AddCase& c = GetParam();
    const fs::path book = fs::temp_directory_path() / (std::string("kp-add-") + c.name + ".tlk");
    fs::copy_file(kExampleBook, book, fs::copy_options::overwrite_existing);
    const std::string before = Bytes(book);
    std::vector<std::string> args = {"add-voucher", book.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = Cli(args);
    EXPECT_EQ(result.rc, c.rc) << result.err;
    if (c.rc == 0) {
        EXPECT_EQ(LastVoucher(book), c.expected);
    } else {
        EXPECT_NE(result.err.find(c.expected), std::string::npos) << result.err;
        EXPECT_EQ(Bytes(book), before);
    }
    fs::remove(book);
    fs::remove_all(book.string() + ".varmuuskopiot"); // the save's backup of the old book
}

const std::vector<std::string> kSale = {"--date", "5.3.2026", "--text", "Lasku 12"};

std::vector<std::string> With(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddVoucher,
    testing::Values(
        AddCase{"SaleSplit", With(kSale, {"--split-vat", "1700=125,50", "3000=-125,50"}), 0,
                "date 2026 3 5 \"Lasku 12\" 1700:12550 3000:-10000 2931:-2550"},
        AddCase{"PurchaseSplit", With(kSale, {"--split-vat", "4000=62,75", "1910=-62,75"}), 0,
                "date 2026 3 5 \"Lasku 12\" 4000:5000 1763:1275 1910:-6275"},
        AddCase{"ReverseChargePair", With(kSale, {"--split-vat", "4150=100", "2871=-100"}), 0,
                "date 2026 3 5 \"Lasku 12\" 4150:10000 2935:-2550 1763:2550 2871:-10000"},
        AddCase{"AsGivenWithoutTheSwitch", With(kSale, {"1700=125,5", "3000=-125,50"}), 0,
                "date 2026 3 5 \"Lasku 12\" 1700:12550 3000:-12550"},
        AddCase{"Unbalanced", With(kSale, {"1700=125,50", "3000=-100"}), 2,
                "Tosite ei t\u00e4sm\u00e4\u00e4"},
        AddCase{"UnknownAccount", With(kSale, {"1700=1", "3001=-1"}), 2, "Tuntematon tili: 3001"},
        AddCase{"AccountNotANumber", With(kSale, {"1700=1", "Kassa=-1"}), 2,
                "Tuntematon tili: Kassa"},
        AddCase{"DateBeforeTheYear",
                {"--date", "31.12.2025", "--text", "x", "1700=1", "3000=-1"},
                2,
                "ei ole tilikaudella 01.01.2026\u201331.12.2026"},
        AddCase{"NoSuchDay",
                {"--date", "30.2.2026", "--text", "x", "1700=1", "3000=-1"},
                2,
                "Virheellinen p\u00e4iv\u00e4ys"},
        AddCase{"AmountWithADot", With(kSale, {"1700=1.50", "3000=-1,50"}), 2,
                "Virheellinen summa: \"1.50\""},
        AddCase{"ThreeDecimals", With(kSale, {"1700=1,505", "3000=-1,505"}), 2,
                "Virheellinen summa"},
        AddCase{"BeyondOneLine", With(kSale, {"1700=21474836,48", "3000=-21474836,48"}), 2,
                "Virheellinen summa: \"21474836,48\""},
        AddCase{"LineWithoutAmount", With(kSale, {"1700=1", "3000"}), 2, "Virheellinen rivi"},
        AddCase{"NoLines", kSale, 2, "K\u00e4ytt\u00f6"}),
    [](const testing::TestParamInfo<AddCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace kp
