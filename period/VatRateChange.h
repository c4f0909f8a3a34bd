// The VAT rate panel: every rate of the chart of accounts with a new rate typed beside it.
#pragma once

#include "book/BookTree.h"
#include "period/PeriodPrompts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// A rate in hundredths as the grid shows it: 2400 -> "24,00", 50 -> "0,50".
std::string RateText(std::int64_t hundredths);
// Trailing zeros and then a trailing comma removed: "24,00" -> "24", "25,50" -> "25,5".
std::string ShortRateText(std::string_view rateText);

// The account text with the old rate in its name replaced by the new one, where the old rate
// stands as a rate: not inside a longer number, and followed by "%" or a blank and "%". Only
// the part after the account number is searched, and every such place changes.
// A text with no such place comes back unchanged. Rates are short rate texts.
std::string ReplaceRateInName(std::string_view accountText, std::string_view oldRate,
                              std::string_view newRate);

// What the application does after "Muuta".
struct VatRateOutcome {
    bool closed = false;      // the panel was hidden (after Yes); false after No or with no rates
    bool bookChanged = false; // VAT nodes or account names were rewritten: mark the book changed
};

// The panel `AlvMuutPanel` as a model. Each row holds a current rate ("Nyk.%", not editable), the
// new rate typed by the user ("Uusi %") and the VAT nodes of the sales, credit and purchase
// classes that carry the current rate. The nodes belong to the open book: the application
// cancels the panel whenever it replaces or clears that book.
class VatRatePanel {
  public:
    static constexpr std::string_view kCaption = "Alv-% muutos";
    static constexpr std::string_view kCurrentHeading = "Nyk.%";
    static constexpr std::string_view kNewHeading = "Uusi %";

    struct Row {
        std::string currentRate;
        std::string newRate;
        std::vector<BookNode*> nodes; // a row is used once it holds a node
    };

    VatRatePanel() { cancel(); }

    // `Alvmuut1Click`: lists the rates of the open book's chart and shows the panel. False when
    // the book has no chart of accounts: nothing happens. Opening again without closing keeps
    // the rows and their typed rates and adds what is new.
    bool open(BookTree& book);
    bool visible() const { return m_visible; }

    const std::vector<Row>& rows() const { return m_rows; }
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }

    // Typing into the grid: the text of the current row's new-rate cell as it now stands.
    void editNewRate(std::string text);
    // Enter in the grid: on to the next row, or on the last row the cell is checked.
    void enter();
    // `AlvMuutGrid1SelectCell`: the edited cell is checked before the selection moves.
    void selectCell(int row, int column);
    // Checks and reformats the edited row's new rate: a number shows as a rate text, anything
    // else (that does not start with "0") is cleared.
    void normaliseNewRate();

    // `Ok5Click`: asks "Muutetaanko alv-prosentit?" and on Yes gives every listed node of each
    // row with a new rate that rate, and changes the rate in the account's name.
    VatRateOutcome ok(BookTree& book, PeriodPrompts& prompts);
    // `Cancel5Click`: one empty row, no nodes, hidden.
    void cancel();

  private:
    Row* rowFor(const std::string& rateText);

    std::vector<Row> m_rows;
    int m_editedRow = -1;
    int m_currentRow = 0;
    int m_currentColumn = 1;
    bool m_visible = false;
};

} // namespace kp
