// The date field in overwrite mode: typing, caret keys, the dots and the three fields' rules.
#include "ledger/DateField.h"

#include <gtest/gtest.h>
#include <string>

namespace kp {
namespace {

enum class Field { Voucher, FirstDay, LastDay };

struct KeyCase {
    const char* name;
    Field field;
    const char* text;
    int click;        // -1: the whole text selected, as by Ctrl+A
    const char* keys; // '<' Left, '>' Right, '^' Home, '$' End, '~' Delete, others typed
    const char* expected;
    int selStart;
    int selLength;
};

class DateFieldKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(DateFieldKeys, LeaveTextAndSelection) {
    const KeyCase& c = GetParam();
    DateField f = c.field == Field::Voucher    ? DateField::voucherDate()
                  : c.field == Field::FirstDay ? DateField::firstDay()
                                               : DateField::lastDay();
    f.setText(c.text);
    if (c.click < 0)
        f.select(0, static_cast<int>(f.text().size()));
    else
        f.click(c.click);
    const std::string moves = "<>^$~";
    const DateKey keys[] = {DateKey::Left, DateKey::Right, DateKey::Home, DateKey::End,
                            DateKey::Delete};
    for (const char* k = c.keys; *k; ++k) {
        const size_t move = moves.find(*k);
        if (move == std::string::npos)
            f.type(*k);
        else
            f.press(keys[move]);
    }
    EXPECT_EQ(f.text(), c.expected);
    EXPECT_EQ(f.selectionStart(), c.selStart);
    EXPECT_EQ(f.selectionLength(), c.selLength);
}

const KeyCase kKeyCases[] = {
    {"TypedDateStepsOverDots", Field::FirstDay, "00.00.0000", 0, "05012020", "05.01.2020", 10, 0},
    {"DigitOverwritesAndPassesDot", Field::FirstDay, "00.00.0000", 1, "7", "07.00.0000", 3, 1},
    {"RightPassesDot", Field::FirstDay, "31.12.2020", 4, ">", "31.12.2020", 6, 1},
    {"RightOnLastCharacterStays", Field::FirstDay, "31.12.2020", 9, ">", "31.12.2020", 9, 1},
    {"LeftPassesDot", Field::FirstDay, "31.12.2020", 3, "<", "31.12.2020", 1, 1},
    {"LeftOnFirstCharacterStays", Field::FirstDay, "31.12.2020", 0, "<", "31.12.2020", 0, 1},
    {"LeftFromEndSelectsEight", Field::LastDay, "31.12.2020", 10, "<", "31.12.2020", 8, 1},
    {"ClickBeyondEndClamps", Field::FirstDay, "31.12.2020", 40, "<", "31.12.2020", 8, 1},
    {"HomeAndEnd", Field::FirstDay, "31.12.2020", 7, "^$", "31.12.2020", 10, 0},
    {"NonDigitsDiscarded", Field::FirstDay, "31.12.2020", 4, "a-~\b\r", "31.12.2020", 4, 1},
    {"LetterTakenInLastDay", Field::LastDay, "31.12.2020", 0, "x", "x1.12.2020", 1, 1},
    {"DeleteRemovesInLastDay", Field::LastDay, "31.12.2020", 7, "~", "31.12.220", 7, 1},
    {"BackspaceRemovesInLastDay", Field::LastDay, "31.12.2020", 10, "\b", "31.12.202", 9, 0},
    {"FullFieldRefusesAppend", Field::FirstDay, "31.12.2020", 10, "1", "31.12.2020", 10, 0},
    {"VoucherDateHasNoLimit", Field::Voucher, "31.12.2020", 10, "1", "31.12.20201", 11, 0},
    {"ShortTextGetsItsDots", Field::Voucher, "", 0, "0501", "05.01.", 6, 0},
    {"DotsWrittenOverDigits", Field::LastDay, "0000000000", 0, "1234", "12.34.0000", 6, 1},
    {"TypedDotsAreAlreadyThere", Field::LastDay, "31.12.2026", 0, "31.12.2027", "31.12.2027", 10,
     0},
    {"TypedOverTheWholeDate", Field::LastDay, "31.12.2026", -1, "31.12.2027", "31.12.2027", 10, 0},
    {"DigitsOverTheWholeDate", Field::FirstDay, "31.12.2026", -1, "01012027", "01.01.2027", 10, 0},
};

INSTANTIATE_TEST_SUITE_P(DateField, DateFieldKeys, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& row) -> std::string {
                             return row.param.name;
                         });

TEST(DateField, DoubleClickSelectsOneCharacterOnlyInTheFirstDay) {
    DateField first = DateField::firstDay();
    first.setText("05.01.2020");
    first.doubleClick(3);
    EXPECT_EQ(first.selectedText(), "0");
    DateField last = DateField::lastDay();
    last.setText("05.01.2020");
    last.doubleClick(3); // the plain edit's word selection
    EXPECT_EQ(last.selectedText(), "05.01.2020");
}

TEST(DateField, EnterIsLeftToTheOwner) {
    DateField f = DateField::voucherDate();
    EXPECT_EQ(f.type('x'), DateKeyPress::Discarded);
    EXPECT_EQ(f.type('\r'), DateKeyPress::Enter);
    EXPECT_EQ(f.type('1'), DateKeyPress::Typed);
    EXPECT_EQ(f.text(), "10.00.0000");
}

} // namespace
} // namespace kp
