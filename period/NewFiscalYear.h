// The basic-data box: a new company, the next fiscal year from the closing balance sheet, and a
// change of company name and fiscal-year dates.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "book/TextHelpers.h"
#include "ledger/DateField.h"
#include "period/PeriodPrompts.h"

#include <string>
#include <string_view>

namespace kp {

// The three menu commands that open the box.
enum class BasicDataMode { ChangeBasicData, NewCompany, NewFiscalYear };

// The menu items' tags: 1 "Uusi yritys", 2 "Uusi Tilikausi", any other "Muuta perustietoja".
BasicDataMode BasicDataModeFromTag(int tag);

// What the application does after the box was asked to open.
struct BasicDataOpening {
    // The box is to be shown: hide the tab editor, clear its menu check and show the box.
    bool shown = false;
    // The open book was indexed here for the balance check, and its account nodes now carry
    // that index's marks: rebuild the application's account index at once and mark every view
    // stale, whether the box opens or not.
    bool rebuildIndex = false;
};

enum class UnsavedChange { Keep, Set, Clear };

// What the application does after the box's OK.
struct BasicDataResult {
    // False when the dates were refused: the message has been shown and the box stays open with
    // its input. When true the book tree has been changed in place and the application marks
    // every view stale, rebuilds the account index, sets the window title (BookTitle), makes
    // the journal page active and runs its page-change handling.
    bool applied = false;
    bool forgetFileName =
        false; // the next save asks for a name, so the old year is not overwritten
    bool showPageControl = false; // a book exists now
    UnsavedChange unsaved = UnsavedChange::Keep;
};

// The outcome of carrying the closing balances into the new year's opening voucher.
struct CarryOver {
    bool done = false; // false when the book has no chart of accounts: nothing changed
    int lines = 0;     // entry nodes added to the opening voucher
    Cents total = 0;   // sum of the carried balances; not 0 when the result was not booked
};

// Adds `event 0` dated the first day (display form) with the description "Tilinavaus" under the
// events container and returns its empty entries container; none without a container.
BookNode* AddOpeningVoucher(BookTree& book, BookNode* events, std::string_view firstDay);

// Replaces every voucher of the book by one opening voucher that holds the closing balance of
// each balance-sheet account, read from the open book's own balance sheet (never a comparison
// year's column, and with every voucher counted whatever filter the reports use). Reports
// "Vientien ero " and the sum when the balances do not add up to 0.
CarryOver CarryOverBalances(BookTree& book, std::string_view firstDay, PeriodPrompts& prompts);

// The basic-data box (`Perustiedot1`) as a model: the company name and the two date fields, and
// what OK does in the mode the box was opened in. The mode stays until the box is opened again;
// "Peruuta" leaves it.
class BasicDataBox {
  public:
    static constexpr std::string_view kNewCompanyCaption = "Uusi yritys";
    static constexpr std::string_view kNewYearCaption = "Uusi tilikausi";
    static constexpr std::string_view kChangeCaption = "Muuta tietoja";

    BasicDataBox();

    // `Uusi1Click`: asks about unsaved changes; for a new fiscal year checks that a book with a
    // chart is open and asks before going on when its balance sheet does not balance; then
    // fills the fields and shows the box: the book's own data, for a new fiscal year with the
    // year after the book's (from the day after its end, one year long), and empty for a new
    // company.
    BasicDataOpening open(BasicDataMode mode, BookTree& book, PeriodPrompts& prompts);
    // `Button1Click`: checks the dates, then builds the new company's book or changes the open
    // one (and for a new fiscal year carries the balances over). The periods receive the new
    // fiscal year's end and year list.
    BasicDataResult apply(BookTree& book, PeriodState& periods, PeriodPrompts& prompts);
    // `Button2Click`.
    void cancel() { m_visible = false; }

    bool visible() const { return m_visible; }
    BasicDataMode mode() const { return m_mode; }
    std::string_view caption() const;

    // `YritNimi1`: Windows-1252, stored between the double quotes as typed.
    const std::string& companyName() const { return m_companyName; }
    void setCompanyName(std::string name) { m_companyName = std::move(name); }
    // `UusiPvm1` and `UusiPvm2`.
    DateField& firstDay() { return m_firstDay; }
    const DateField& firstDay() const { return m_firstDay; }
    DateField& lastDay() { return m_lastDay; }
    const DateField& lastDay() const { return m_lastDay; }

  private:
    void fill(const BookTree& book);
    void buildNewCompany(BookTree& book) const;

    BasicDataMode m_mode = BasicDataMode::ChangeBasicData;
    bool m_visible = false;
    std::string m_companyName;
    DateField m_firstDay;
    DateField m_lastDay;
};

} // namespace kp
