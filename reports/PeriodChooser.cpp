// The period chooser without a window: month and year lists, their change rules, OK and Cancel.
#include "reports/PeriodChooser.h"

#include "book/TextHelpers.h"

namespace kp {
namespace {

// Whether the text is a whole decimal number that ConvertRun reads (0 is its answer for both
// "0" and anything it cannot read).
bool IsInteger(std::string_view text) {
    return ConvertRun(text) != 0 || text == "0" || text == "-0";
}

} // namespace

std::int64_t ChosenPeriod::compare(std::string_view postingText) const {
    int cursor = static_cast<int>(postingText.size());
    const std::int64_t y = ScanNumberBack(postingText, cursor);
    const std::int64_t m = ScanNumberBack(postingText, cursor);
    const std::int64_t chosenYear = yearChosen ? year : y;
    std::int64_t chosenMonth = m;
    if (monthIndex >= kFirstQuarter) {
        const int first = (monthIndex - kFirstQuarter) * 3 + 1;
        if (m < first)
            chosenMonth = m + 1;
        else if (m > first + 2)
            chosenMonth = m - 1;
    } else if (monthIndex >= 1) {
        chosenMonth = monthIndex;
    }
    // 64 bits: a missing date lets the scan pick up any number of the description.
    return (m + 12 * y) - (chosenMonth + 12 * chosenYear);
}

void PeriodChooser::setChoice(int monthIndex, int yearIndex) {
    if (monthIndex >= -1 && monthIndex < static_cast<int>(kPeriodItems.size()))
        m_monthIndex = monthIndex;
    if (yearIndex >= 0 && yearIndex < static_cast<int>(yearItems().size()))
        m_periods.yearList.itemIndex = yearIndex;
}

std::string_view PeriodChooser::monthText() const {
    if (m_monthIndex < 0 || m_monthIndex >= static_cast<int>(kPeriodItems.size()))
        return kNothingChosen;
    return kPeriodItems[static_cast<size_t>(m_monthIndex)];
}

std::string_view PeriodChooser::yearText() const {
    const int i = yearIndex();
    if (i < 0 || i >= static_cast<int>(yearItems().size()))
        return {};
    return yearItems()[static_cast<size_t>(i)];
}

int PeriodChooser::latestYearItem() const {
    const std::string year = std::to_string(PeriodYear(m_periods.latestEventPeriod));
    const auto& items = yearItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == year)
            return static_cast<int>(i);
    return -1;
}

void PeriodChooser::show(const ChooserRequest& request) {
    m_request = request;
    m_monthIndex = PeriodMonth(m_periods.latestEventPeriod);
    if (m_monthIndex < 0 || m_monthIndex > 12)
        m_monthIndex = kWholePeriod;
    if (yearVisible() && !yearItems().empty()) {
        const int item = latestYearItem();
        m_periods.yearList.itemIndex = item >= 0 ? item : 0;
    }
    m_visible = true;
}

void PeriodChooser::selectMonth(int index) {
    if (index < -1 || index >= static_cast<int>(kPeriodItems.size()))
        return;
    m_monthIndex = index;
    monthChanged();
}

void PeriodChooser::selectYear(int index) {
    if (index < -1 || index >= static_cast<int>(yearItems().size()))
        return;
    m_periods.yearList.itemIndex = index;
    yearChanged();
}

void PeriodChooser::monthChanged() {
    if (m_adjusting || !yearVisible() || yearItems().empty())
        return;
    m_adjusting = true;
    if (m_monthIndex == kWholePeriod) {
        selectYear(0);
    } else if (yearIndex() < 1) {
        const int item = latestYearItem();
        selectYear(item >= 0 ? item : static_cast<int>(yearItems().size()) - 1);
    }
    m_adjusting = false;
}

void PeriodChooser::yearChanged() {
    if (m_adjusting || yearIndex() != 0)
        return;
    m_adjusting = true;
    selectMonth(kWholePeriod);
    m_adjusting = false;
}

void PeriodChooser::ok(const ReportFilter& filter) {
    m_periodText = std::string(monthText());
    if (yearVisible())
        m_periodText.append(" ").append(yearText());
    m_periodTitle = m_periodText + filter.titleSuffix();
    m_visible = false;
}

ChosenPeriod PeriodChooser::chosen() const {
    ChosenPeriod period;
    period.monthIndex = m_monthIndex;
    if (yearVisible() && yearIndex() > 0 && IsInteger(yearText())) {
        period.yearChosen = true;
        period.year = ConvertRun(yearText());
    }
    return period;
}

} // namespace kp
