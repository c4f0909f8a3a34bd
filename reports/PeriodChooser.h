// The period chooser without a window: month and year lists, their change rules, OK and Cancel.
#pragma once

#include "book/BookQueries.h"
#include "reports/ReportFilter.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// The month list: the whole period, the twelve months and the four quarters.
inline constexpr std::array<std::string_view, 17> kPeriodItems = {
    "Koko kausi", "Tammikuu",     "Helmikuu",      "Maaliskuu",     "Huhtikuu",  "Toukokuu",
    "Kes\xE4kuu", "Hein\xE4kuu",  "Elokuu",        "Syyskuu",       "Lokakuu",   "Marraskuu",
    "Joulukuu",   "Tammi-Maalis", "Huhti-Kes\xE4", "Hein\xE4-Syys", "Loka-Joulu"};
inline constexpr int kWholePeriod = 0;
inline constexpr int kFirstQuarter = 13;
// Shown by the month list while nothing is chosen.
inline constexpr std::string_view kNothingChosen = "Valitse";

// A snapshot of the choice, taken once per report so that comparing a posting costs two scans
// of its date.
struct ChosenPeriod {
    int monthIndex = kWholePeriod; // -1 (nothing chosen) counts as the whole period
    bool yearChosen = false;       // a calendar year of a fiscal year over several years
    int year = 0;

    // Months from the chosen period to the date at the end of a posting text ("... 15.03.2024"):
    // negative before it, 0 inside, positive after. A quarter gives -1, 0 or +1 within a year.
    std::int64_t compare(std::string_view postingText) const;
};

// The chooser's fixed placement and purpose, set by whoever opens it.
struct ChooserRequest {
    std::string caption; // "P\xE4\xE4kirja", "P\xE4iv\xE4kirjan tulostus", ...
    int left = 0;
    int tag = 0; // on the journal page: 0 prints, 1 copies
};

// The year list lives in the period state (the fiscal-year check fills it); the chooser keeps
// the month list, the texts recorded on OK and its own visibility.
class PeriodChooser {
  public:
    explicit PeriodChooser(PeriodState& periods) : m_periods(periods) {}

    // Preselects the month and year of the latest voucher and shows the chooser.
    void show(const ChooserRequest& request);
    bool visible() const { return m_visible; }
    const ChooserRequest& request() const { return m_request; }

    int monthIndex() const { return m_monthIndex; }
    std::string_view monthText() const;
    bool yearVisible() const { return m_periods.yearList.visible; }
    const std::vector<std::string>& yearItems() const { return m_periods.yearList.items; }
    int yearIndex() const { return m_periods.yearList.itemIndex; }
    std::string_view yearText() const;

    // A change of the month or year list, by the user or by the other list's rule. Indexes
    // outside the list are ignored.
    void selectMonth(int index);
    void selectYear(int index);
    // Sets both lists as they are given, without the change rules (a scripted choice such as
    // the command line's). Indexes outside the lists are ignored.
    void setChoice(int monthIndex, int yearIndex);

    // OK: records the period text and title and hides the chooser. What runs next depends on
    // the page shown and is the caller's business.
    void ok(const ReportFilter& filter);
    void cancel() { m_visible = false; }

    // Recorded on OK; the ledger and the VAT report put them into their titles.
    const std::string& periodText() const { return m_periodText; }
    const std::string& periodTitle() const { return m_periodTitle; }

    ChosenPeriod chosen() const;
    std::int64_t comparePeriod(std::string_view postingText) const {
        return chosen().compare(postingText);
    }

  private:
    void monthChanged();
    void yearChanged();
    int latestYearItem() const;

    PeriodState& m_periods;
    ChooserRequest m_request;
    bool m_visible = false;
    int m_monthIndex = -1;
    // Set while one list's rule changes the other, so that the other's rule does not answer.
    bool m_adjusting = false;
    std::string m_periodText;
    std::string m_periodTitle;
};

} // namespace kp
