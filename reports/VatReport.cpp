// The VAT calculation page, the user's texts for the VAT classes and the box that edits them.
#include "reports/VatReport.h"

#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "reports/GeneralLedger.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace kp {
namespace {

constexpr std::string_view kVatKeyword = "vat";

struct AccountSum {
    std::string text; // "Tili 1910"
    Cents sum = 0;
};

struct ClassSums {
    Cents sum = 0;
    std::vector<AccountSum> accounts; // those with a non-zero period sum, in list order
};

struct RateSum {
    std::string rate; // hundredths of a percent as decimal text, "2400"
    Cents sum = 0;
};

// The working sums of one build.
struct VatSums {
    std::array<ClassSums, kVatClassCount> classes;
    std::vector<RateSum> salesRates;    // class 1
    std::vector<RateSum> salesVatRates; // class 2

    const ClassSums& of(int k) const { return classes[static_cast<size_t>(k)]; }
};

// Whether each voucher's postings count: not the opening voucher, and inside the period. Read
// once per voucher from the text its postings share.
class VoucherChoice {
  public:
    VoucherChoice(const AccountIndex& index, const ChosenPeriod& period)
        : m_index(index), m_period(period) {}

    bool counts(std::uint32_t voucher) {
        if (voucher >= m_known.size())
            m_known.resize(voucher + 1, Unknown);
        if (m_known[voucher] == Unknown) {
            const std::string_view text = m_index.voucherText(voucher);
            int cursor = 1;
            const bool inside = ScanNumber(text, cursor) > 0 && m_period.compare(text) == 0;
            m_known[voucher] = inside ? Counts : Skipped;
        }
        return m_known[voucher] == Counts;
    }

  private:
    enum State : std::uint8_t { Unknown, Counts, Skipped };
    const AccountIndex& m_index;
    const ChosenPeriod& m_period;
    std::vector<State> m_known;
};

void AddToRate(std::vector<RateSum>& rates, std::string rate, Cents sum) {
    for (RateSum& entry : rates) {
        if (entry.rate == rate) {
            entry.sum += sum;
            return;
        }
    }
    rates.push_back({std::move(rate), sum});
}

VatSums CollectVatSums(const AccountIndex& index, const ChosenPeriod& period) {
    VatSums sums;
    VoucherChoice choice(index, period);
    for (const AccountEntry& account : index.accounts()) {
        const BookNode* node = account.node;
        if (!node)
            continue;
        const std::span<const LedgerEntry> entries = index.entries(node);
        if (entries.empty() || node->childCount() < 2 || !node->child(1)->startsWith(kVatKeyword))
            continue;
        const std::string_view vatText = node->child(1)->text();
        int cursor = static_cast<int>(kVatKeyword.size());
        const std::string code = ExtractField(vatText, ' ', ' ', cursor);
        const std::int32_t rate = ScanNumber(vatText, cursor);
        const int k = VatClassOfCode(code);
        if (k == 0)
            continue;

        Cents p = 0;
        for (const LedgerEntry& entry : entries)
            if (choice.counts(entry.voucher))
                p += entry.cents;

        // A rate gets its line even when its accounts had nothing in the period.
        if (k == Sales)
            AddToRate(sums.salesRates, std::to_string(rate), p);
        else if (k == SalesVat)
            AddToRate(sums.salesVatRates, std::to_string(rate), p);
        ClassSums& target = sums.classes[static_cast<size_t>(k)];
        target.sum += p;
        if (p != 0) {
            int numberCursor = static_cast<int>(kKeywords[KwAccount].size());
            target.accounts.push_back(
                {"Tili " + ExtractField(node->text(), ' ', ' ', numberCursor), p});
        }
    }
    return sums;
}

// Sales and the taxes owed are credits in the book; the page shows them with the sign reversed
// so that they read as positive amounts.
enum class Sign { AsIs, Reversed };

class VatPageWriter {
  public:
    VatPageWriter(const VatTextSet& texts, ReportLines& lines) : m_texts(texts), m_lines(lines) {}

    void accountLines(const ClassSums& sums, Sign sign) {
        for (const AccountSum& account : sums.accounts) {
            m_line.assign(" ").append(account.text).append("\t").append(amount(account.sum, sign));
            m_lines.push_back(m_line);
        }
    }

    void section(const VatSums& sums, int k, Sign sign) {
        accountLines(sums.of(k), sign);
        m_line.assign(m_texts.report[static_cast<size_t>(k)])
            .append("\t")
            .append(amount(sums.of(k).sum, sign));
        m_lines.push_back(m_line);
        m_lines.emplace_back();
    }

    void rateLines(const std::vector<RateSum>& rates, int k) {
        for (const RateSum& rate : rates)
            rateLine(m_texts.report[static_cast<size_t>(k)], rate.rate,
                     amount(rate.sum, Sign::Reversed));
    }

    void rateLine(std::string_view label, std::string_view rate, std::string_view shown) {
        m_line.assign(label).append(" ").append(VatRateText(rate)).append("\t").append(shown);
        m_lines.push_back(m_line);
        m_lines.emplace_back();
    }

    static std::string amount(Cents sum, Sign sign) {
        return CentsToText(sign == Sign::Reversed ? -sum : sum);
    }

  private:
    const VatTextSet& m_texts;
    ReportLines& m_lines;
    std::string m_line;
};

} // namespace

void PrepareVatPage(PeriodChooser& chooser, ReportLines& lines) {
    lines.clear();
    chooser.show(VatChooserRequest());
}

std::string VatRateText(std::string_view rate) {
    std::string text(rate);
    if (text.size() <= 2)
        return text;
    if (text.back() == '0') {
        text.pop_back();
        if (text.back() == '0')
            text.pop_back();
        else
            text.insert(text.size() - 1, ",");
    } else {
        text.insert(text.size() - 2, ",");
    }
    return text + "%";
}

void BuildVatReport(const AccountIndex& index, const ChosenPeriod& period,
                    std::string_view periodTitle, const VatTextSet& texts, ReportLines& lines) {
    lines.clear();
    const VatSums sums = CollectVatSums(index, period);

    std::string title(kVatPageCaption);
    title.append(" ").append(periodTitle).append(" ");
    AddReportHeader(title, {index.fiscalYear()}, lines);
    lines.emplace_back();

    VatPageWriter page(texts, lines);
    // The taxes first, down to what is payable; then the sales and purchases they arise from.
    page.accountLines(sums.of(SalesVat), Sign::Reversed);
    page.rateLines(sums.salesVatRates, SalesVat);
    page.section(sums, EuGoodsVat, Sign::Reversed);
    page.section(sums, EuServiceVat, Sign::Reversed);
    page.section(sums, BuildingVat, Sign::Reversed);
    page.accountLines(sums.of(PurchaseVat), Sign::AsIs);
    page.rateLine(texts.deductibleCaption, "",
                  VatPageWriter::amount(sums.of(PurchaseVat).sum, Sign::AsIs));
    lines.emplace_back();
    const Cents payable = sums.of(SalesVat).sum + sums.of(EuGoodsVat).sum +
                          sums.of(EuServiceVat).sum + sums.of(BuildingVat).sum +
                          sums.of(PurchaseVat).sum;
    page.rateLine(texts.payableCaption, "", VatPageWriter::amount(payable, Sign::Reversed));
    lines.emplace_back();

    page.accountLines(sums.of(Sales), Sign::Reversed);
    page.rateLines(sums.salesRates, Sales);
    page.section(sums, EuGoodsSales, Sign::Reversed);
    page.section(sums, EuServiceSales, Sign::Reversed);
    page.section(sums, EuGoodsPurchase, Sign::AsIs);
    page.section(sums, EuServicePurchase, Sign::AsIs);
    page.section(sums, BuildingSales, Sign::Reversed);
    page.section(sums, BuildingPurchase, Sign::AsIs);
    lines.emplace_back("\t ========");
}

// --- VAT-texts box -------------------------------------------------------------------------

VatTextsBox::VatTextsBox() {
    m_cells[0][0] = "Alv-koodi";
    for (int k = 1; k < kVatClassCount; ++k)
        m_cells[0][static_cast<size_t>(k)] = kVatCodes[static_cast<size_t>(k)].code;
}

void VatTextsBox::open(const VatTextSet& texts) {
    for (int k = 1; k < kVatClassCount; ++k) {
        m_cells[1][static_cast<size_t>(k)] = texts.dropDown[static_cast<size_t>(k)];
        m_cells[2][static_cast<size_t>(k)] = texts.report[static_cast<size_t>(k)];
    }
    m_cells[1][0] = "Pudotusvalikossa";
    m_cells[2][0] = "Alv-laskelmassa";
    m_deductible = texts.deductibleCaption;
    m_payable = texts.payableCaption;
    m_visible = true;
}

bool VatTextsBox::editable(int column, int row) {
    return column >= 1 && column < kColumns && row >= 1 && row < kVatClassCount;
}

std::string_view VatTextsBox::cell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return {};
    return m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
}

bool VatTextsBox::setCell(int column, int row, std::string_view text) {
    if (!editable(column, row))
        return false;
    m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = text;
    return true;
}

VatBoxOk VatTextsBox::ok(VatTextSet& texts) {
    VatBoxOk result;
    if (!m_visible)
        return result;
    VatTexts dropDown = texts.dropDown;
    for (int k = 1; k < kVatClassCount; ++k)
        dropDown[static_cast<size_t>(k)] = m_cells[1][static_cast<size_t>(k)];
    // The account editor finds an account's class again from the chart's VAT line, by its
    // text up to the first digit; a text that finds another class (or none) would quietly
    // move the account into that class on the editor's OK.
    for (int k = 1; k < kVatClassCount; ++k) {
        if (FindVatClass(dropDown[static_cast<size_t>(k)], dropDown) != k) {
            result.message = "Pudotusvalikon teksti rivill\xC3\xA4 " +
                             std::string(kVatCodes[static_cast<size_t>(k)].code) +
                             " on tyhj\xC3\xA4 tai sekoittuu toisen alv-koodin tekstiin.";
            return result;
        }
    }
    result.applied = true;
    result.dropDownChanged = dropDown != texts.dropDown;
    texts.dropDown = std::move(dropDown);
    for (int k = 1; k < kVatClassCount; ++k)
        texts.report[static_cast<size_t>(k)] = m_cells[2][static_cast<size_t>(k)];
    texts.deductibleCaption = m_deductible;
    texts.payableCaption = m_payable;
    m_visible = false;
    return result;
}

} // namespace kp
