// A gross amount on a VAT account taken apart into the net and the tax lines, and the reverse
// charge's pair of tax lines on a net purchase.
#pragma once

#include "book/BookTree.h"
#include "book/TextHelpers.h"
#include "ledger/AccountIndex.h"

#include <string>
#include <vector>

namespace kp {

// Rates are hundredths of a percent, as the chart keeps them: 25,5 % is 2550.
inline constexpr int kGeneralVatRate = 2550;

// The tax included in a gross amount: gross × rate / (100 % + rate), to the cent, halves away
// from zero. Whole cents and hundredths only, so that every machine gives the same cent.
Cents TaxOfGross(Cents gross, int rate);
// The tax on a net amount: net × rate / 100 %, rounded the same way.
Cents TaxOfNet(Cents net, int rate);

// An account's VAT class (0 without one) and rate (0 when the class takes none).
struct AccountVat {
    int vatClass = 0;
    int rate = 0;
};
AccountVat AccountVatOf(const BookNode* account);

// The reverse charge's rate of a book: its general rate, the highest rate among the accounts
// of sales VAT, or 25,5 % when the chart has none.
int ReverseChargeRate(const AccountIndex& accounts);

// One line of a split: the account's entry text ("2931 Myynnin alv 25,5 %") and the amount,
// debits positive.
struct SplitLine {
    std::string account;
    Cents cents = 0;

    friend bool operator==(const SplitLine&, const SplitLine&) = default;
};

struct VatSplit {
    // The lines that take the typed line's place, the account's own line first; empty when the
    // account's class does not split (or the amount is too large for one line).
    std::vector<SplitLine> lines;
    // Why a class that splits was not split (Windows-1252): "Ei alv-tiliä kannalle 14 %".
    std::string message;
};

// Sales and purchases at a rate: the amount is gross and becomes net plus tax on the account
// with the matching tax class (sales VAT at the same rate; purchase VAT). EU purchases and
// construction services: the amount stays net and the tax goes both ways, payable on the
// class's own tax account and deductible on the purchase VAT account. A tax that rounds to
// nothing adds no line.
VatSplit SplitVatLine(const AccountIndex& accounts, int accountEntry, Cents amount,
                      int reverseChargeRate);

} // namespace kp
