// The VAT calculation page, the user's texts for the VAT classes and the box that edits them.
#pragma once

#include "book/ReportLines.h"
#include "ledger/AccountIndex.h"
#include "ledger/ChartView.h"
#include "reports/PeriodChooser.h"

#include <array>
#include <string>
#include <string_view>

namespace kp {

inline constexpr std::string_view kVatPageCaption = "Alv-laskelma";
// The fixed names of the two result lines; the captions shown on the page are the user's.
inline constexpr std::string_view kDeductibleTaxName = "V\xE4hennett\xE4v\xE4 vero";
inline constexpr std::string_view kPayableTaxName = "Maksettava vero";

// The user's texts for the VAT classes, Windows-1252 like the node texts they stand beside.
// Both tables are indexed by VAT class 0..13; index 0 is the "-" class, which no box edits.
struct VatTextSet {
    VatTexts dropDown = DefaultVatTexts(); // the account editor's list and the chart's VAT lines
    VatTexts report = DefaultVatTexts();   // labels of the VAT page's rate and total lines
    std::string deductibleCaption{kDeductibleTaxName};
    std::string payableCaption{kPayableTaxName};

    friend bool operator==(const VatTextSet&, const VatTextSet&) = default;
};

// The period chooser as the VAT page opens it.
inline ChooserRequest VatChooserRequest() {
    return {std::string(kVatPageCaption), 400, 0};
}

// Activating the VAT page while it is stale: empties the page and opens the period chooser. The
// page is built on the chooser's OK; until then it stays empty and stale.
void PrepareVatPage(PeriodChooser& chooser, ReportLines& lines);

// Replaces the lines with the VAT calculation of the chosen period: per VAT class the period's
// postings on the accounts of that class (the opening voucher left out), the sales and the sales
// VAT split by rate, the deductible and the payable tax. The caller clears the VAT page's stale
// bit.
void BuildVatReport(const AccountIndex& index, const ChosenPeriod& period,
                    std::string_view periodTitle, const VatTextSet& texts, ReportLines& lines);

// A rate in hundredths of a percent, as decimal text, the way a rate line shows it: "2400" gives
// "24%", "2550" gives "25,5%", "1234" gives "12,34%"; texts of one or two characters stay as
// they are ("0").
std::string VatRateText(std::string_view rate);

// What OK in the VAT-texts box did.
struct VatBoxOk {
    // The texts were taken over; the caller writes the settings now.
    bool applied = false;
    // A drop-down text changed: the account editor's class list takes the new texts, and the
    // chart's VAT lines must be rebuilt before the editor reads a class back from one of them.
    bool dropDownChanged = false;
    // Why OK was refused (UTF-8, for a message box); the box then stays open.
    std::string message;
};

// The "Alv-tekstit" box: a grid with the VAT code, the drop-down text and the report text of
// each class, and the two captions of the result lines. Its texts are Windows-1252; the widget
// converts what it shows and what the user types.
class VatTextsBox {
  public:
    static constexpr int kColumns = 3;
    static constexpr int kRows = 15; // heading row, classes 1..13, one empty row
    static constexpr std::array<int, kColumns> kColumnWidths = {120, 180, 330};
    static constexpr std::string_view kCaption = "Muokkaa";

    VatTextsBox();

    // "Alv-tekstit": fills the grid and the captions from the texts and shows the box.
    void open(const VatTextSet& texts);
    bool visible() const { return m_visible; }

    // Row 0 and column 0 are fixed, and the last row belongs to no class.
    static bool editable(int column, int row);
    // Empty outside the grid.
    std::string_view cell(int column, int row) const;
    // False (and nothing changes) for a cell that is not editable.
    bool setCell(int column, int row, std::string_view text);

    // The read-only names beside the two caption fields.
    std::string_view deductibleName() const { return kDeductibleTaxName; }
    std::string_view payableName() const { return kPayableTaxName; }
    const std::string& deductibleCaption() const { return m_deductible; }
    const std::string& payableCaption() const { return m_payable; }
    void setDeductibleCaption(std::string_view text) { m_deductible = text; }
    void setPayableCaption(std::string_view text) { m_payable = text; }

    // OK: classes 1..13 take the grid's texts, and the captions are taken over; the "-" class
    // keeps its texts. Refused while a drop-down text would not lead the account editor back to
    // its own class (empty, or read as another class's text); nothing is taken over then.
    VatBoxOk ok(VatTextSet& texts);
    // "Peruuta": closes the box; nothing changes.
    void cancel() { m_visible = false; }

  private:
    std::array<std::array<std::string, kRows>, kColumns> m_cells;
    std::string m_deductible;
    std::string m_payable;
    bool m_visible = false;
};

} // namespace kp
