// The journal listing: the journal view's vouchers as report lines for printing and copying.
#include "output/JournalListing.h"

#include "book/TextHelpers.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

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

// Builds the listing voucher by voucher from texts of the journal view's form (a voucher node's
// text and its line nodes' texts), whether they come from the view or are made from the book.
// lineCount and byteCount are what the vouchers are expected to take, reserved at once.
class JournalListingBuilder {
  public:
    // With a sink, the lines go on to it as they are made instead of being kept.
    JournalListingBuilder(const ReportLines& header, int monthIndex, std::size_t lineCount,
                          std::size_t byteCount, ByteSink* sink = nullptr);
    void addVoucher(std::string_view text, std::span<const JournalEntry> entries);
    ReportLines finish(std::string_view periodText);

  private:
    int m_monthIndex;
    ReportLines m_lines;
    Cents m_totalDebit = 0;
    Cents m_totalCredit = 0;
};

JournalListingBuilder::JournalListingBuilder(const ReportLines& header, int monthIndex,
                                             std::size_t lineCount, std::size_t byteCount,
                                             ByteSink* sink)
    : m_monthIndex(monthIndex) {
    m_lines.passTo(sink);
    m_lines.reserve(header.size() + 4 + lineCount, header.byteSize() + 128 + byteCount);
    m_lines.append(header);
    m_lines.push_back(std::string(1, kBoldUnderlineMarker) + std::string(kJournalColumns));
    m_lines.emplace_back();
}

void JournalListingBuilder::addVoucher(std::string_view text,
                                       std::span<const JournalEntry> entries) {
    int cursor = 1;
    const std::string_view number = ExtractFieldView(text, '[', ']', cursor);
    const std::string_view date = ExtractFieldView(text, ' ', ':', cursor);
    ExtractFieldView(text, ' ', ' ',
                     cursor); // the debit total; the cursor stops on the blank after it
    cursor += 2;
    const std::string_view description = ExtractFieldView(text, ' ', '\0', cursor);
    if (!MonthMatches(MonthOfDate(date), m_monthIndex))
        return;
    const std::string_view bold(&kBoldMarker, 1);
    m_lines.addToLine(bold);
    m_lines.addToLine(number);
    m_lines.addToLine("\t");
    m_lines.addToLine(date);
    m_lines.addToLine("\t");
    m_lines.addToLine(description);
    m_lines.endLine();
    Cents debit = 0;
    Cents credit = 0;
    for (const JournalEntry& entry : entries) {
        m_lines.addToLine("\t\t");
        m_lines.addToLine(entry.account);
        if (entry.cents >= 0) {
            debit += entry.cents;
            m_lines.addToLine("\t\t\t");
            m_lines.addToLine(CentsText(entry.cents));
        } else {
            // A credit stands one column further right, where a debit has its amount.
            credit -= entry.cents;
            m_lines.addToLine("\t\t\t\t");
            m_lines.addToLine(CentsText(-entry.cents));
        }
        m_lines.endLine();
    }
    m_lines.addToLine(bold);
    m_lines.addToLine("\t\tYht.\t\t\t");
    m_lines.addToLine(CentsText(debit));
    m_lines.addToLine("\t");
    m_lines.addToLine(CentsText(credit));
    m_lines.endLine();
    m_lines.emplace_back();
    m_totalDebit += debit;
    m_totalCredit += credit;
}

ReportLines JournalListingBuilder::finish(std::string_view periodText) {
    m_lines.addToLine(std::string_view(&kBoldUnderlineMarker, 1));
    m_lines.addToLine("\t\t");
    m_lines.addToLine(periodText);
    m_lines.addToLine(" yhteens\xE4\t\t\t");
    m_lines.addToLine(CentsText(m_totalDebit));
    m_lines.addToLine("\t");
    m_lines.addToLine(CentsText(m_totalCredit));
    m_lines.endLine();
    m_lines.passTo(nullptr);
    m_lines.trim();
    return std::move(m_lines);
}

} // namespace

ReportLines BuildJournalListing(JournalView& journalView, const ReportLines& header,
                                std::string_view periodText, int monthIndex) {
    // Room for every line: a head, the entries and a total line with a blank after it per
    // voucher, each no longer than its view text and a few tabs and amounts (lines not made yet
    // are guessed).
    const BookNode* root = journalView.root();
    size_t lineCount = 0;
    size_t byteCount = 0;
    for (const BookNode* voucher : root ? root->children() : ChildList()) {
        const auto lines = static_cast<size_t>(journalView.lineCount(voucher));
        lineCount += 3 + lines;
        byteCount += (voucher->text().empty() ? 40 : voucher->text().size()) + 48;
        if (journalView.linesPending(voucher))
            byteCount += lines * 48;
        for (const BookNode* entry : voucher->children())
            byteCount += entry->text().size() + 8;
    }
    JournalListingBuilder builder(header, monthIndex, lineCount, byteCount);
    journalView.forEachShownVoucher(
        [&](std::string_view voucher, std::span<const JournalEntry> lines) {
            builder.addVoucher(voucher, lines);
        });
    return builder.finish(periodText);
}

ReportLines BuildJournalListing(const JournalSource& source, const ReportLines& header,
                                std::string_view periodText, int monthIndex, ByteSink* sink) {
    size_t lineCount = 0;
    for (const BookNode* event : source.events ? source.events->children() : ChildList())
        if (event->childCount() >= 2)
            lineCount +=
                3 + static_cast<size_t>(event->child(event->childCount() - 1)->childCount());
    JournalListingBuilder builder(header, monthIndex, lineCount, lineCount * 48, sink);
    JournalView texts;
    texts.forEachVoucher(source,
                         [&](std::string_view voucher, std::span<const JournalEntry> lines) {
                             builder.addVoucher(voucher, lines);
                         });
    return builder.finish(periodText);
}

} // namespace kp
