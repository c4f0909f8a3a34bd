// The period chooser: preselection, the two change rules, OK and the chosen period.
#include "reports/PeriodChooser.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

// A chooser for a fiscal year from July 2023 to June 2024: years "2023-2024", "2023", "2024".
class Chooser : public testing::Test {
  protected:
    void Show(Period latest, std::string_view first = "01.07.2023",
              std::string_view last = "30.06.2024") {
        ASSERT_TRUE(ValidateFiscalYear(first, last, periods));
        periods.latestEventPeriod = latest;
        chooser.show({"Paakirja", 200, 0});
    }

    PeriodState periods;
    PeriodChooser chooser{periods};
};

TEST_F(Chooser, ShowPreselectsTheLatestVoucherMonthAndYear) {
    EXPECT_EQ(chooser.monthText(), "Valitse");
    Show(MakePeriod(2024, 3));
    EXPECT_TRUE(chooser.visible());
    EXPECT_EQ(chooser.monthText(), "Maaliskuu");
    EXPECT_EQ(chooser.yearText(), "2024");
    Show(0);
    EXPECT_EQ(chooser.monthText(), "Koko kausi");
    EXPECT_EQ(chooser.yearText(), "2023-2024");
    Show(MakePeriod(2025, 2)); // a year outside the list
    EXPECT_EQ(chooser.monthText(), "Helmikuu");
    EXPECT_EQ(chooser.yearIndex(), 0);
}

TEST_F(Chooser, MonthAndYearKeepEachOtherConsistent) {
    Show(MakePeriod(2023, 11));
    chooser.selectMonth(0); // the whole period takes the span item
    EXPECT_EQ(chooser.yearIndex(), 0);
    chooser.selectMonth(5); // a month without a year takes the latest voucher's year
    EXPECT_EQ(chooser.yearText(), "2023");
    chooser.selectYear(2);
    chooser.selectMonth(14); // a chosen year stays
    EXPECT_EQ(chooser.yearText(), "2024");
    chooser.selectYear(0); // the span item takes the whole period
    EXPECT_EQ(chooser.monthIndex(), 0);
    chooser.selectMonth(17); // outside the lists: ignored
    chooser.selectYear(3);
    EXPECT_EQ(chooser.monthIndex(), 0);
    EXPECT_EQ(chooser.yearIndex(), 0);
}

TEST_F(Chooser, MonthWithoutListedLatestYearTakesTheLastYear) {
    Show(0);
    chooser.selectMonth(5);
    EXPECT_EQ(chooser.yearText(), "2024");
}

TEST_F(Chooser, OkRecordsTextAndTitleCancelKeepsThem) {
    Show(MakePeriod(2024, 3));
    chooser.ok({true, "PROJ1", "PROJEKTI"});
    EXPECT_FALSE(chooser.visible());
    EXPECT_EQ(chooser.periodText(), "Maaliskuu 2024");
    EXPECT_EQ(chooser.periodTitle(), "Maaliskuu 2024 PROJEKTI PROJ1");
    Show(MakePeriod(2024, 3), "01.01.2024", "31.12.2024");
    chooser.selectMonth(16);
    EXPECT_FALSE(chooser.yearVisible());
    chooser.cancel();
    EXPECT_EQ(chooser.periodTitle(), "Maaliskuu 2024 PROJEKTI PROJ1");
    chooser.ok({});
    EXPECT_EQ(chooser.periodTitle(), "Loka-Joulu");
}

TEST_F(Chooser, OnlyANumericYearItemChoosesAYear) {
    Show(MakePeriod(2024, 3));
    EXPECT_EQ(chooser.chosen().year, 2024);
    periods.yearList.items[2] = "vuosi";
    EXPECT_FALSE(chooser.chosen().yearChosen);
    EXPECT_EQ(chooser.comparePeriod("1\tX\t15.03.2031"), 0);
}

} // namespace
} // namespace kp
