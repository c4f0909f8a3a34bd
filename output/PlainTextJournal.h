// The book's vouchers as a plain-text journal that ledger-cli and hledger read, so that a book
// can be cross-checked with those tools.
#pragma once

#include "book/BookTree.h"
#include "book/FileIo.h"
#include "ledger/AccountIndex.h"

#include <string>
#include <vector>

namespace kp {

struct PlainTextJournal {
    std::string text;                  // UTF-8
    std::vector<std::string> left_out; // one line per voucher left out, saying why (UTF-8)
};

// One transaction per voucher, in book order: its date, number and description, then its
// lines as "NUMBER Name" and an amount in euros with a decimal point. A voucher without a real
// date, or whose lines do not add up to zero, is left out and named.
// The book's account index may be given when one is at hand; else one is built.
PlainTextJournal WritePlainTextJournal(BookTree& book, const AccountIndex* bookIndex = nullptr);
// The same text written into the sink as it is made; returns the vouchers left out.
std::vector<std::string> WritePlainTextJournal(BookTree& book, ByteSink& sink,
                                               const AccountIndex* bookIndex = nullptr);

} // namespace kp
