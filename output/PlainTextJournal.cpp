// The book's vouchers as a plain-text journal for ledger-cli and hledger.
#include "output/PlainTextJournal.h"

#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"
#include "ledger/AccountIndex.h"

#include <cstdint>
#include <unordered_map>

namespace kp {
namespace {

// "dd.mm.yyyy" as "yyyy-mm-dd"; empty when it is no calendar date.
std::string IsoDate(std::string_view display) {
    if (display.size() != 10 || display[2] != '.' || display[5] != '.')
        return {};
    const auto number = [&](size_t from, size_t count) {
        int value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (display[i] < '0' || display[i] > '9')
                return -1;
            value = value * 10 + (display[i] - '0');
        }
        return value;
    };
    if (!IsCalendarDate(number(6, 4), number(3, 2), number(0, 2)))
        return {};
    return std::string(display.substr(6, 4)) + "-" + std::string(display.substr(3, 2)) + "-" +
           std::string(display.substr(0, 2));
}

// Euros with a decimal point: -1234.50.
std::string Euros(std::int64_t cents) {
    const std::uint64_t magnitude =
        cents < 0 ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    std::string fraction = std::to_string(magnitude % 100);
    if (fraction.size() < 2)
        fraction.insert(0, "0");
    return (cents < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}

// The journal tools end an account name at two blanks, take ":" as a sub-account and ";" as
// the start of a comment: those stand otherwise.
std::string ToolSafe(std::string text, bool account) {
    std::string safe;
    for (char c : text) {
        if (c == '\t' || (c == ' ' && !safe.empty() && safe.back() == ' '))
            continue;
        if (c == ';')
            c = ',';
        else if (account && c == ':')
            c = '.';
        safe += c;
    }
    while (!safe.empty() && safe.back() == ' ')
        safe.pop_back();
    return safe;
}

} // namespace

PlainTextJournal WritePlainTextJournal(BookTree& book, const AccountIndex* bookIndex) {
    PlainTextJournal journal;
    ByteSink sink(journal.text);
    journal.left_out = WritePlainTextJournal(book, sink, bookIndex);
    return journal;
}

std::vector<std::string> WritePlainTextJournal(BookTree& book, ByteSink& sink,
                                               const AccountIndex* bookIndex) {
    std::vector<std::string> leftOut;
    AccountIndex built(false);
    if (!bookIndex)
        built.rebuild(book, {}, nullptr, false);
    const AccountIndex& index = bookIndex ? *bookIndex : built;
    sink << "; " << Win1252ToUtf8(BookTitle(book)) << '\n';
    const BookNode* events = index.events();
    if (!events)
        return leftOut;
    std::unordered_map<std::int32_t, std::string> accounts; // "    1910 Pankkitili  "
    std::string lines;
    for (const BookNode* event : events->children()) {
        if (!event->startsWith(kKeywords[KwEvent]))
            continue;
        int cursor = 5;
        const std::string number = std::to_string(ScanNumber(event->text(), cursor));
        int counter = 0;
        const std::string date = IsoDate(ReadDateChild(*event, counter));
        if (date.empty()) {
            leftOut.push_back("Tosite " + number + ": ei kelvollista p\u00e4iv\u00e4yst\u00e4");
            continue;
        }
        lines.clear();
        std::int64_t sum = 0;
        for (const BookNode* line :
             event->childCount() > 2 ? event->child(2)->children() : ChildList()) {
            if (!line->hasChildren() || !line->child(0)->startsWith(kKeywords[KwMoney]))
                continue;
            int moneyCursor = 5;
            const std::int32_t cents = ScanNumber(line->child(0)->text(), moneyCursor);
            int lineCursor = 1;
            const std::int32_t accountNumber = ScanNumber(line->text(), lineCursor);
            // A book has few accounts and many lines: each account's text is made once.
            auto [account, added] = accounts.try_emplace(accountNumber);
            if (added)
                account->second =
                    "    " +
                    ToolSafe(Win1252ToUtf8(index.lookupAccount(std::to_string(accountNumber))),
                             true) +
                    "  ";
            sum += cents;
            lines.append(account->second).append(Euros(cents)).append(1, '\n');
        }
        if (sum != 0) {
            leftOut.push_back("Tosite " + number +
                              ": viennit eiv\u00e4t t\u00e4sm\u00e4\u00e4 (ero " + Euros(sum) +
                              ")");
            continue;
        }
        int quote = 1;
        const std::string description =
            ToolSafe(Win1252ToUtf8(TrimControl(QuotedName(
                         event->childCount() > 1 ? event->child(1)->text() : "", quote))),
                     false);
        // A voucher without lines moves no money; the tools want postings, so it stays a comment.
        sink << '\n' << (lines.empty() ? "; " : "") << date;
        sink << " (" << number << ") " << description;
        sink << '\n' << lines;
    }
    return leftOut;
}

} // namespace kp
