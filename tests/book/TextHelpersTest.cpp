// Scanners, money and scaled-number conversions, prefix search and the Finnish collation.
#include "book/TextHelpers.h"

#include "book/Collation.h"
#include "book/ReportLines.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kp {
namespace {

TEST(MoneyToCents, ReadsTypedAmounts) {
    // Text, cents, whether one book line can hold it. One decimal counts tenfold, a third is
    // not read, the first digits are always the whole part, a minus counts when it stands
    // before where the decimals end, and digit grouping is not recognised.
    // clang-format off
    const std::tuple<const char*, Cents, bool> cases[] = {
        {"12,50", 1250, true}, {"12,5", 1250, true}, {"12", 1200, true}, {"12,345", 1234, true},
        {",75", 7500, true}, {"-0,50", -50, true}, {"-12,05", -1205, true}, {"12.50", 1250, true},
        {"12,50 -", 1250, true}, {"1 234,56", 123, true}, {"", 0, true}, {"-", 0, true},
        {"abc", 0, true}, {"0,5", 50, true}, {"-,75", -75, true}, {"100", 10000, true},
        {"1,999", 199, true}, {"-12,50", -1250, true}, {"12,5-", 1200, true},
        {"99999999999,50", 50, true}, {"21474836,47", 2147483647, true},
        {"21474836,48", 2147483648LL, false}, {"-21474836,48", -2147483648LL, true},
        {"-21474836,49", -2147483649LL, false}, {"30000000", 3000000000LL, false},
        {"0,00", 0, true}, {"-999999999,99", -99999999999LL, false},
        {"9999999999,99", 99, true}, {"1 234,56", 123, true}};
    // clang-format on
    for (const auto& [text, cents, fits] : cases) {
        EXPECT_EQ(MoneyToCents(text), cents) << text;
        EXPECT_EQ(FitsLineCents(MoneyToCents(text)), fits) << text;
    }
}

TEST(CentsToText, TwoDecimalsCommaLeadingMinusAndNoWrap) {
    // clang-format off
    const std::pair<Cents, const char*> cases[] = {
        {123455, "1234,55"}, {-5, "-0,05"}, {0, "0,00"}, {5, "0,05"}, {-100, "-1,00"},
        {-123455, "-1234,55"}, {2147483647LL + 100, "21474837,47"},
        {std::numeric_limits<Cents>::max(), "92233720368547758,07"},
        {std::numeric_limits<Cents>::min(), "-92233720368547758,08"}};
    // clang-format on
    for (const auto& [cents, text] : cases)
        EXPECT_EQ(CentsToText(cents), text) << cents;
    for (Cents c :
         {Cents{-1205}, Cents{-5}, Cents{7}, kMaxLineCents, kMinLineCents, Cents{3000000000LL}})
        EXPECT_EQ(MoneyToCents(CentsToText(c)), c) << c;
}

using Scanner = std::int32_t (*)(std::string_view, int&);
const Scanner Fwd = ScanNumber;
const Scanner Back = ScanNumberBack;
const Scanner At = [](std::string_view text, int& cursor) { return NumberAt(text, cursor); };
const Scanner Dec = ScanDecimals;

TEST(Scanners, ResultAndCursor) {
    // Scanner, text, cursor before, result, cursor after.
    // clang-format off
    const std::tuple<Scanner, const char*, int, int, int> cases[] = {
        {Fwd, "15.3.2020", 1, 15, 3}, {Fwd, "15.3.2020", 3, 3, 5}, {Fwd, "15.3.2020", 5, 2020, 10},
        {Fwd, "15.3.2020", 10, 0, 10}, {Fwd, "abc", 1, 0, 4}, {Fwd, "x-5y", 1, -5, 4},
        {Fwd, "5-3", 1, 0, 4}, {Fwd, "--5", 1, 0, 4}, {Fwd, "a - b", 1, 0, 4},
        {Fwd, "2147483647", 1, 2147483647, 11}, {Fwd, "-2147483648", 1, -2147483647 - 1, 12},
        {Fwd, "2147483648", 1, 0, 11}, {Fwd, "", 1, 0, 1}, {Fwd, "12", 5, 0, 5},
        {Fwd, "00000000001x", 1, 1, 12}, {Fwd, "a99999999999", 1, 0, 13}, {Fwd, "-x", 1, 0, 2},
        {Back, "15.3.2020", 99, 2020, 5}, {Back, "15.3.2020", 5, 3, 3},
        {Back, "15.3.2020", 3, 15, 0}, {Back, "15.3.2020", 0, 0, 0}, {Back, "abc", 3, 0, 0},
        {Back, "ab12cd", 6, 12, 2}, {Back, "x-5", 3, -5, 1}, {Back, "10-20", 5, 0, 0},
        {Back, "12,50 -", 7, 0, 6}, {Back, "", 1, 0, 0},
        {At, "ab12c", 3, 12, 3}, {At, "ab12c", 2, 0, 2}, {At, "ab12c", 4, 2, 4},
        {At, "ab12c", 9, 0, 9}, {At, "account -1 \"V\"", 9, -1, 9},
        {Dec, "12", 3, 0, 3}, {Dec, "12,5", 3, 50, 5}, {Dec, "12,05", 3, 5, 6},
        {Dec, "12,345", 3, 34, 6}, {Dec, "12,-5", 3, 50, 6}, {Dec, "12,5-", 3, 0, 6}};
    // clang-format on
    for (const auto& [scan, text, cursorIn, result, cursorOut] : cases) {
        int cursor = cursorIn;
        EXPECT_EQ(scan(text, cursor), result) << text << " from " << cursorIn;
        EXPECT_EQ(cursor, cursorOut) << text << " from " << cursorIn;
    }
}

struct FieldCase {
    const char* name;
    const char* text;
    char open;
    char close;
    int cursorIn;
    const char* field;
    int cursorOut;
};

TEST(ExtractField, FieldAndCursor) {
    const FieldCase cases[] = {
        {"year, from the keyword's last letter", "date 2020 3 15", ' ', ' ', 4, "2020", 10},
        {"month", "date 2020 3 15", ' ', ' ', 10, "3", 12},
        {"day", "date 2020 3 15", ' ', ' ', 12, "15", 15},
        {"after the last field", "date 2020 3 15", ' ', ' ', 15, "", 16},
        {"company name", "fiscal-year \"Oy Esimerkki Ab\"", '"', '"', 11, "Oy Esimerkki Ab", 29},
        {"missing opening delimiter: two past the end", "abc", '"', '"', 1, "", 5},
        {"missing closing delimiter", "a \"bc", '"', '"', 1, "bc", 6},
        {"null closing takes the rest", "key rest of it", ' ', '\0', 1, "rest of it", 15},
        {"null opening starts at the cursor", "abc,def", '\0', ',', 1, "abc", 4},
        {"empty field", "a,,b", ',', ',', 2, "", 3},
        {"cursor past the end", "abc", ' ', ' ', 9, "", 10}};
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.name);
        int cursor = c.cursorIn;
        EXPECT_EQ(ExtractField(c.text, c.open, c.close, cursor), c.field);
        EXPECT_EQ(cursor, c.cursorOut);
    }
}

TEST(SmallHelpers, FillStringAndLeadingDigits) {
    EXPECT_EQ(FillString(3, '-'), "---");
    EXPECT_EQ(FillString(0, 'x'), "");
    EXPECT_EQ(FillString(-2, 'x'), "");
    const std::pair<const char*, int> digits[] = {{"1910 Kassa", 4}, {"123", 3}, {"", 0},
                                                  {"-5", 0},         {" 12", 0}, {"Kassa 1", 0}};
    for (const auto& [text, count] : digits)
        EXPECT_EQ(LeadingDigits(text), count) << text;
}

TEST(ScaledNumbers, ToTextAndBackRounded) {
    const std::tuple<std::int64_t, int, const char*> toText[] = {
        {2400, 2, "24,00"}, {5, 2, "0,05"},  {1250, 2, "12,50"}, {0, 2, "0,00"},
        {7, 0, "7"},        {10, 2, "0,10"}, {1, 1, "0,1"},      {2400, 0, "2400"}};
    for (const auto& [value, decimals, text] : toText)
        EXPECT_EQ(ScaledToText(value, decimals), text) << value << "/" << decimals;
    // A letter after the kept decimals rounds up; a letter among them leaves no number.
    const std::tuple<const char*, int, std::int32_t> fromText[] = {
        {"24,5", 2, 2450}, {"24,555", 2, 2456}, {"24,554", 2, 2455}, {"24", 2, 2400},
        {"7.25", 2, 725},  {"abc", 2, 0},       {"", 2, 0},          {"24,5", 0, 25},
        {"24,4", 0, 24},   {"0,005", 2, 1},     {"24,55x", 2, 2456}, {"24,5x", 2, 0}};
    for (const auto& [text, decimals, value] : fromText)
        EXPECT_EQ(TextToScaled(text, decimals), value) << text << "/" << decimals;
    for (std::int64_t rate : {0, 5, 1000, 1400, 2400, 2550})
        EXPECT_EQ(TextToScaled(ScaledToText(rate, 2), 2), rate);
}

TEST(FindByPrefix, BinarySearchOverSortedAccounts) {
    const std::vector<std::string> accounts = {"1700 Ennakkomaksut", "1910 Kassa", "1920 Pankki"};
    // The first halving meets 1910, not 1920.
    const std::pair<const char*, int> cases[] = {{"19", 1}, {"192", 2}, {"17", 0},
                                                 {"2", -1}, {"0", -1},  {"", -1}};
    for (const auto& [key, index] : cases)
        EXPECT_EQ(FindByPrefix(accounts, key), index) << key;
    EXPECT_EQ(FindByPrefix(std::vector<std::string>{}, "1"), -1);
    EXPECT_EQ(FindByPrefix(std::vector<std::string>{"19"}, "1910"), -1); // item shorter than key
}

TEST(FindByPrefix, FindsEveryNameInAListSortedTheFinnishWay) {
    // Case-insensitive; Å, Ä, Ö after Z; accented letters as their base letter, Ü as Y;
    // blanks before digits before letters.
    // clang-format off
    std::vector<std::string> names = {"\xD6ljy", "Zeta", "\xC5ke", "aalto", "\xC4ij\xE4", "\xC9mile",
                                      "Oja", "P\xE4\xE4oma", "Pankki", "\xDCmit", "Xylo", "2 Z",
                                      "1000 Y", "100 X", "-"};
    std::sort(names.begin(), names.end(), CollateLess());
    EXPECT_EQ(names, (std::vector<std::string>{"-", "100 X", "1000 Y", "2 Z", "aalto", "\xC9mile",
                                               "Oja", "Pankki", "P\xE4\xE4oma", "Xylo", "\xDCmit",
                                               "Zeta", "\xC5ke", "\xC4ij\xE4", "\xD6ljy"}));
    const std::pair<const char*, const char*> keys[] = {
        {"AALTO", "aalto"}, {"em", "\xC9mile"}, {"p\xC4", "P\xE4\xE4oma"}, {"pan", "Pankki"},
        {"\xE5", "\xC5ke"}, {"\xE4i", "\xC4ij\xE4"}, {"\xF6L", "\xD6ljy"}, {"z", "Zeta"},
        {"ym", "\xDCmit"}, {"\xFC", "\xDCmit"}, {"100 ", "100 X"}, {"1000", "1000 Y"}};
    // clang-format on
    for (const auto& [key, found] : keys) {
        const int i = FindByPrefix(names, key);
        ASSERT_GE(i, 0) << key;
        EXPECT_EQ(names[static_cast<size_t>(i)], found);
    }
    EXPECT_EQ(FindByPrefix(names, "xa"), -1);
}

TEST(ReportLines, LinesKeepTheirBytesAsThePageGrowsIsTrimmedAndRetitled) {
    ReportLines lines;
    lines.push_back("first");
    // A line of the page itself appended again, while the page grows under it.
    for (int i = 0; i < 20; ++i)
        lines.push_back(lines[static_cast<std::size_t>(i)]);
    lines.addToLine("a");
    lines.addToLine(CentsText(-1205));
    lines.endLine();
    lines.endLine(); // no pieces: an empty line
    lines.reserve(1000, 100000);
    lines.trim();
    ReportLines copy = lines;
    lines.clear();
    ASSERT_EQ(copy.size(), 23u);
    EXPECT_EQ(copy[20], "first");
    EXPECT_EQ(copy[21], "a-12,05");
    EXPECT_EQ(copy[22], "");
    // A line replaced by a longer and by a shorter one moves the lines after it.
    copy.set(21, "a much longer line");
    copy.set(0, "");
    EXPECT_EQ(copy[0], "");
    EXPECT_EQ(copy[1], "first");
    EXPECT_EQ(copy[20], "first");
    EXPECT_EQ(copy[21], "a much longer line");
    EXPECT_EQ(copy[22], "");
    EXPECT_EQ(copy.byteSize(), 20 * 5 + 18u);
}

// Lines of every length class, short and long ones across the blocks in which a page finds its
// lines, checked against plain strings after each change.
TEST(ReportLines, LinesOfAnyLengthAreFoundSequentiallyAndByJumps) {
    const std::size_t lengths[] = {0, 1, 254, 255, 256, 70000, 3, 0, 255};
    ReportLines lines;
    std::vector<std::string> model;
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(lines.size(), model.size());
        std::size_t i = 0;
        for (std::string_view line : lines)
            ASSERT_EQ(line, model[i++]) << i;
        auto back = lines.end();
        for (std::size_t j = model.size(); j-- > 0;) {
            const auto jump = static_cast<std::ptrdiff_t>(j);
            ASSERT_EQ(*--back, model[j]) << j;
            ASSERT_EQ(lines[j], model[j]) << j;
            ASSERT_EQ(*(lines.begin() + jump), model[j]) << j;
        }
    };
    for (std::size_t i = 0; i < 200; ++i) {
        model.push_back(std::string(lengths[i % std::size(lengths)], char('a' + i % 26)));
        lines.push_back(model.back());
    }
    check("made");
    const std::pair<std::size_t, std::size_t> sets[] = {
        {5, 2}, {31, 300}, {32, 0}, {33, 255}, {3, 254}, {199, 1000}, {0, 256}, {5, 70001}};
    for (const auto& [line, length] : sets) {
        model[line] = std::string(length, 'x');
        lines.set(line, model[line]);
    }
    check("set");
    const ReportLines copy = lines;
    lines.append(copy);
    const std::vector<std::string> before = model;
    model.insert(model.end(), before.begin(), before.end());
    lines.trim();
    check("appended and trimmed");
}

} // namespace
} // namespace kp
