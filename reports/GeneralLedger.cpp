// The general ledger page and the header that every report page starts with.
#include "reports/GeneralLedger.h"

#include "book/BookQueries.h"
#include "book/TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kp {
namespace {

inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

bool IsOpeningVoucher(std::string_view postingText) {
    return postingText.substr(0, 2) == "0\t";
}

// The account's first line: number and name, with the balance carried into the period.
void AddOpeningLine(std::string_view account, Cents balance, ReportLines& lines) {
    std::string line;
    line.reserve(account.size() + 32);
    line += kBoldMarker;
    line += account;
    line += "\t\tAlkusaldo\t\t\t\t";
    line += CentsToText(balance);
    lines.push_back(std::move(line));
}

} // namespace

void AddReportHeader(std::string_view title, const HeaderSource& source, ReportLines& lines) {
    const BookNode* fiscalYear = source.fiscalYear;
    if (!fiscalYear)
        return;
    size_t marks = 0;
    while (marks + 1 < title.size() && static_cast<unsigned char>(title[marks]) <= 32)
        ++marks;
    int cursor = static_cast<int>(kKeywords[KwFiscalYear].size());
    const std::string company = QuotedName(fiscalYear->text(), cursor);
    const std::string lastDay = NthDate(2, fiscalYear);
    std::string head(title.substr(0, marks));
    head.append(company).append(" ").append(NthDate(1, fiscalYear)).append(" - ").append(lastDay);
    if (source.columnHeads)
        head.append("\t").append(lastDay).append("\t").append(
            NthDate(2, source.comparisonFiscalYear));
    lines.push_back(std::move(head));
    lines.emplace_back(title);
    lines.emplace_back();
}

void BuildLedger(const AccountIndex& index, const ChosenPeriod& period,
                 std::string_view periodTitle, bool intermediateBalances, ReportLines& lines) {
    lines.clear();
    if (!index.fiscalYear())
        return;
    size_t postings = 0;
    std::uint32_t voucherCount = 0;
    for (const AccountEntry& account : index.accounts()) {
        const auto& entries = index.entries(account.node);
        postings += entries.size();
        for (const LedgerEntry& entry : entries)
            voucherCount = std::max(voucherCount, entry.voucher + 1);
    }
    lines.reserve(postings + 5 * index.accounts().size() + 8, postings * 64);

    std::string title;
    title.append(1, kBoldMarker).append("P\xE4\xE4kirja ").append(periodTitle).append(" ");
    AddReportHeader(title, {index.fiscalYear()}, lines);
    lines.push_back(std::string(1, kBoldUnderlineMarker) + std::string(kLedgerColumns));
    lines.emplace_back();

    // Where each voucher lies against the period, read once per voucher from the text its
    // postings share; the walk over the accounts then touches only this small table.
    enum Place : std::uint8_t { Opening, Before, Inside, After };
    std::vector<Place> places(voucherCount);
    for (std::uint32_t v = 0; v < voucherCount; ++v) {
        const std::string_view text = index.voucherText(v);
        const std::int64_t d = period.compare(text);
        places[v] = IsOpeningVoucher(text) ? Opening : d < 0 ? Before : d == 0 ? Inside : After;
    }

    Cents grandDebit = 0;
    Cents grandCredit = 0;
    std::vector<const LedgerEntry*> inPeriod;
    for (const AccountEntry& account : index.accounts()) {
        // The opening balance takes the opening voucher and everything before the period, the
        // lines everything inside it, whatever the order of the vouchers in the journal; postings
        // after the period count nowhere.
        Cents balance = 0;
        bool reachesPeriod = false;
        inPeriod.clear();
        for (const LedgerEntry& entry : index.entries(account.node)) {
            const Place place = places[entry.voucher];
            if (place == Inside || place == After)
                reachesPeriod = true;
            if (place == Opening || place == Before)
                balance += entry.cents;
            else if (place == Inside)
                inPeriod.push_back(&entry);
        }
        if (!reachesPeriod && balance == 0)
            continue;
        AddOpeningLine(account.text, balance, lines);

        Cents debit = 0;
        Cents credit = 0;
        for (size_t k = 0; k < inPeriod.size(); ++k) {
            // The postings of one account lie scattered over the vouchers: ask for the texts a
            // few lines ahead so that copying them does not wait for memory.
            if (k + 8 < inPeriod.size())
                Prefetch(index.voucherText(inPeriod[k + 8]->voucher).data());
            const LedgerEntry* entry = inPeriod[k];
            const std::string_view text = index.voucherText(entry->voucher);
            const Cents a = entry->cents;
            balance += a;
            lines.addToLine("\t");
            lines.addToLine(text);
            lines.addToLine("\t");
            if (a >= 0) {
                debit += a;
                lines.addToLine(CentsText(a));
                lines.addToLine("\t");
            } else {
                credit += -a;
                lines.addToLine("\t");
                lines.addToLine(CentsText(-a));
            }
            if (intermediateBalances) {
                lines.addToLine("\t");
                lines.addToLine(CentsText(balance));
            }
            lines.endLine();
        }
        grandDebit += debit;
        grandCredit += credit;

        const size_t printed = inPeriod.size();
        if (printed == 0 && balance == 0)
            continue;
        if (printed > 1) {
            std::string total = "\t\tYhteens\xE4 " + std::to_string(printed) + " kpl\t\t";
            total += CentsToText(debit);
            total += '\t';
            total += CentsToText(credit);
            lines.push_back(std::move(total));
        }
        std::string closing = "\x02\t\tLoppusaldo\t\t\t\t";
        closing += CentsToText(balance);
        lines.push_back(std::move(closing));
        lines.emplace_back();
    }

    std::string last;
    last.append(1, kBoldMarker).append("\t\t").append(periodTitle).append(" yhteens\xE4\t\t");
    last += CentsToText(grandDebit);
    last += '\t';
    last += CentsToText(grandCredit);
    lines.push_back(std::move(last));
    lines.trim();
}

} // namespace kp
