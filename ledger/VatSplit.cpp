// A gross amount on a VAT account taken apart into the net and the tax lines, and the reverse
// charge's pair of tax lines on a net purchase.
#include "ledger/VatSplit.h"

#include "book/BookQueries.h"

#include <cstdint>

namespace kp {
namespace {

// numerator / denominator to the nearest whole, halves away from zero; the denominator is
// positive and the product of the caller's operands fits 64 bits (32-bit cents times a rate).
std::int64_t DivideRounded(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t magnitude = numerator < 0 ? -numerator : numerator;
    const std::int64_t rounded = (2 * magnitude + denominator) / (2 * denominator);
    return numerator < 0 ? -rounded : rounded;
}

// A rate above 0 and at most 100 %: the only ones a tax is worked out at (a book edited by hand
// may hold anything, and a rate beyond all reason would overflow the arithmetic).
bool IsSplitRate(int rate) {
    return rate > 0 && rate <= 10000;
}

// "14 %", "25,5 %": the rate as the chart's account names write it.
std::string RateText(int rate) {
    std::string text = CentsToText(rate);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == ',')
        text.pop_back();
    return text + " %";
}

// The first account in list order with the class (and, when rate is given, that rate).
int FindTaxAccount(const AccountIndex& accounts, int vatClass, int rate = -1) {
    const std::vector<AccountEntry>& list = accounts.accounts();
    for (size_t i = 0; i < list.size(); ++i) {
        const AccountVat vat = AccountVatOf(list[i].node);
        if (vat.vatClass == vatClass && (rate < 0 || vat.rate == rate))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

Cents TaxOfGross(Cents gross, int rate) {
    return DivideRounded(gross * rate, 10000 + static_cast<std::int64_t>(rate));
}

Cents TaxOfNet(Cents net, int rate) {
    return DivideRounded(net * rate, 10000);
}

AccountVat AccountVatOf(const BookNode* account) {
    // The VAT node is an account's second child, after its group node.
    if (!account || account->childCount() < 2)
        return {};
    const std::string_view text = account->child(1)->text();
    if (text.substr(0, 3) != "vat")
        return {};
    int cursor = 4;
    AccountVat vat;
    vat.vatClass = VatClassOfCode(ExtractField(text, ' ', ' ', cursor));
    if (vat.vatClass > 0 && kVatCodes[static_cast<size_t>(vat.vatClass)].hasRate &&
        cursor <= static_cast<int>(text.size()))
        vat.rate = ScanNumber(text, cursor);
    return vat;
}

int ReverseChargeRate(const AccountIndex& accounts) {
    int rate = 0;
    for (const AccountEntry& entry : accounts.accounts()) {
        const AccountVat vat = AccountVatOf(entry.node);
        if (vat.vatClass == SalesVat && IsSplitRate(vat.rate) && vat.rate > rate)
            rate = vat.rate;
    }
    return rate > 0 ? rate : kGeneralVatRate;
}

VatSplit SplitVatLine(const AccountIndex& accounts, int accountEntry, Cents amount,
                      int reverseChargeRate) {
    VatSplit split;
    const std::vector<AccountEntry>& list = accounts.accounts();
    if (accountEntry < 0 || accountEntry >= static_cast<int>(list.size()) || amount == 0 ||
        !FitsLineCents(amount))
        return split;
    const std::string& own = list[static_cast<size_t>(accountEntry)].text;
    const AccountVat vat = AccountVatOf(list[static_cast<size_t>(accountEntry)].node);
    const auto noTaxAccount = [&](int rate) {
        split.message = "Ei alv-tili\xE4 kannalle " + RateText(rate);
        return split;
    };
    switch (vat.vatClass) {
    case Sales:
    case Purchase: {
        if (!IsSplitRate(vat.rate))
            return split;
        const int tax = vat.vatClass == Sales ? FindTaxAccount(accounts, SalesVat, vat.rate)
                                              : FindTaxAccount(accounts, PurchaseVat);
        if (tax < 0)
            return noTaxAccount(vat.rate);
        const Cents cents = TaxOfGross(amount, vat.rate);
        split.lines.push_back({own, amount - cents});
        if (cents != 0)
            split.lines.push_back({list[static_cast<size_t>(tax)].text, cents});
        return split;
    }
    case EuGoodsPurchase:
    case EuServicePurchase:
    case BuildingPurchase: {
        if (!IsSplitRate(reverseChargeRate))
            return split;
        const int payable =
            FindTaxAccount(accounts, vat.vatClass == EuGoodsPurchase     ? EuGoodsVat
                                     : vat.vatClass == EuServicePurchase ? EuServiceVat
                                                                         : BuildingVat);
        const int deductible = FindTaxAccount(accounts, PurchaseVat);
        if (payable < 0 || deductible < 0)
            return noTaxAccount(reverseChargeRate);
        const Cents cents = TaxOfNet(amount, reverseChargeRate);
        if (!FitsLineCents(cents))
            return split;
        split.lines.push_back({own, amount});
        if (cents != 0) {
            split.lines.push_back({list[static_cast<size_t>(payable)].text, -cents});
            split.lines.push_back({list[static_cast<size_t>(deductible)].text, cents});
        }
        return split;
    }
    default:
        return split;
    }
}

} // namespace kp
