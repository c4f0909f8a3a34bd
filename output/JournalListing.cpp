// The journal listing: the journal view's vouchers as report lines for printing and copying.
#include "output/JournalListing.h"

#include "book/TextHelpers.h"

namespace kp {

bool MonthMatches(int voucherMonth, int monthIndex) {
    if (monthIndex <= 0)
        return true;
    if (monthIndex <= 12)
        return voucherMonth == monthIndex;
    // A quarter takes its three months (13: January to March … 16: October to December).
    const int first = (monthIndex - 13) * 3 + 1;
    return voucherMonth >= first && voucherMonth <= first + 2;
}

namespace {

int MonthOfDate(std::string_view date) {
    const size_t dot = date.find('.');
    if (dot == std::string_view::npos)
        return 0;
    const size_t second = date.find('.', dot + 1);
    const std::string_view digits = date.substr(
        dot + 1, second == std::string_view::npos ? std::string_view::npos : second - dot - 1);
    return ConvertRun(digits);
}

} // namespace

ReportLines BuildJournalListing(const BookTree& journalView, const ReportLines& header,
                                std::string_view periodText, int monthIndex) {
    ReportLines lines;
    const BookNode* root = journalView.first();
    // Room for every line: a head, the entries and a total line with a blank after it per
    // voucher, each no longer than its view text and a few tabs and amounts.
    size_t lineCount = header.size() + 4;
    size_t byteCount = header.byteSize() + 128;
    for (const BookNode* voucher : root ? root->children() : std::span<BookNode* const>()) {
        lineCount += 3 + static_cast<size_t>(voucher->childCount());
        byteCount += voucher->text().size() + 48;
        for (const BookNode* entry : voucher->children())
            byteCount += entry->text().size() + 8;
    }
    lines.reserve(lineCount, byteCount);
    // Reused: the lines themselves are packed into one buffer.
    std::string line;
    std::string amount;
    lines.append(header);
    lines.push_back(std::string(1, kBoldUnderlineMarker) + std::string(kJournalColumns));
    lines.emplace_back();
    Cents totalDebit = 0;
    Cents totalCredit = 0;
    for (const BookNode* voucher : root ? root->children() : std::span<BookNode* const>()) {
        const std::string_view text = voucher->text();
        int cursor = 1;
        const std::string_view number = ExtractFieldView(text, '[', ']', cursor);
        const std::string_view date = ExtractFieldView(text, ' ', ':', cursor);
        ExtractFieldView(text, ' ', ' ',
                         cursor); // the debit total; the cursor stops on the blank after it
        cursor += 2;
        const std::string_view description = ExtractFieldView(text, ' ', '\0', cursor);
        if (!MonthMatches(MonthOfDate(date), monthIndex))
            continue;
        line.assign(1, kBoldMarker);
        line.append(number).append("\t").append(date).append("\t").append(description);
        lines.push_back(line);
        Cents debit = 0;
        Cents credit = 0;
        for (const BookNode* entry : voucher->children()) {
            const std::string_view entryText = entry->text();
            const size_t colon = entryText.find(':');
            amount.assign(entryText.substr(0, colon));
            std::string_view account;
            if (colon != std::string_view::npos) {
                const size_t blank = entryText.find(' ', colon);
                if (blank != std::string_view::npos)
                    account = entryText.substr(blank + 1);
            }
            const Cents cents = MoneyToCents(amount);
            if (cents >= 0) {
                debit += cents;
            } else {
                credit -= cents;
                // The minus becomes a TAB, so a credit lands one column further right.
                if (!amount.empty())
                    amount[0] = '\t';
            }
            line.assign("\t\t").append(account).append("\t\t\t").append(amount);
            lines.push_back(line);
        }
        line.assign(1, kBoldMarker).append("\t\tYht.\t\t\t");
        AppendCents(line, debit);
        line += '\t';
        AppendCents(line, credit);
        lines.push_back(line);
        lines.emplace_back();
        totalDebit += debit;
        totalCredit += credit;
    }
    lines.push_back(std::string(1, kBoldUnderlineMarker) + "\t\t" + std::string(periodText) +
                    " yhteens\xE4\t\t\t" + CentsToText(totalDebit) + "\t" +
                    CentsToText(totalCredit));
    return lines;
}

} // namespace kp
