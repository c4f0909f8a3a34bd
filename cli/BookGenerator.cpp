// A deterministic generator of large realistic books, for benchmarks and trials.
#include "cli/BookGenerator.h"

#include "book/BookQueries.h"

#include <random>
#include <string>
#include <vector>

namespace kp {
namespace {

struct Builder {
    BookTree& tree;
    BookNode* account(BookNode* group, int number, const std::string& name) {
        BookNode* node =
            tree.addLast(group, "account " + std::to_string(number) + " \"" + name + "\"");
        tree.addLast(node, "");
        return node;
    }
    BookNode* heading(BookNode* parent, const std::string& name) {
        BookNode* node = tree.addLast(parent, "account 0 \"" + name + "\"");
        return tree.addLast(node, "");
    }
    void vat(BookNode* account, const char* code, int rate) {
        tree.addLast(account,
                     std::string("vat ") + code + (rate ? " " + std::to_string(rate) : ""));
    }
};

} // namespace

void GenerateBook(BookTree& tree, int vouchers, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&](std::uint32_t n) { return static_cast<int>(rng() % n); };
    Builder b{tree};
    BookNode* root = tree.addLast(nullptr, kBookHeader);
    BookNode* fy = tree.addLast(root, "fiscal-year \"Suurkirja Oy\"");
    tree.addLast(fy, "date 2026 1 1");
    tree.addLast(fy, "date 2026 12 31");
    BookNode* map = tree.addLast(fy, "account-map");

    BookNode* assets = tree.addLast(tree.addLast(map, "account -1 \"V A S T A A V A A\""), "");
    BookNode* current = b.heading(assets, "Vaihtuvat vastaavat");
    std::vector<int> banks;
    for (int i = 0; i < 5; ++i) {
        b.account(current, 1910 + i * 10, "Pankkitili " + std::to_string(i + 1));
        banks.push_back(1910 + i * 10);
    }
    b.account(current, 1700, "Myyntisaamiset");
    b.vat(b.account(current, 1763, "Arvonlis\xE4verosaamiset"), "debit", 0);
    BookNode* liabilities =
        tree.addLast(tree.addLast(map, "account -1 \"V A S T A T T A V A A\""), "");
    BookNode* equity = b.heading(liabilities, "Oma p\xE4\xE4oma");
    b.account(equity, 2000, "Osakep\xE4\xE4oma");
    b.account(equity, 2370, "@Edellisten tilikausien voitto");
    BookNode* debts = b.heading(liabilities, "Vieras p\xE4\xE4oma");
    b.account(debts, 2871, "Ostovelat");
    b.vat(b.account(debts, 2939, "Arvonlis\xE4verovelka"), "credit", 2550);
    b.account(debts, 2930, "Ennakonpid\xE4tysvelka");
    b.account(debts, 2940, "Sosiaaliturvamaksuvelka");
    BookNode* result = tree.addLast(tree.addLast(map, "account -1 \"T U L O S\""), "");
    BookNode* revenue = b.heading(result, "Liikevaihto");
    std::vector<int> sales;
    const int rates[] = {2550, 1350, 1000};
    for (int i = 0; i < 12; ++i) {
        const int number = 3000 + i * 10;
        b.vat(b.account(revenue, number, "Myynti " + std::to_string(i + 1)), "sales", rates[i % 3]);
        sales.push_back(number);
    }
    BookNode* costs = b.heading(result, "Materiaalit ja palvelut");
    std::vector<int> purchases;
    for (int i = 0; i < 30; ++i) {
        const int number = 4000 + i * 10;
        b.vat(b.account(costs, number, "Ostot " + std::to_string(i + 1)), "purchase", rates[i % 3]);
        purchases.push_back(number);
    }
    BookNode* staff = b.heading(result, "Henkil\xF6st\xF6kulut");
    b.account(staff, 5000, "Palkat");
    b.account(staff, 6130, "Sosiaaliturvamaksut");
    BookNode* other = b.heading(result, "Liiketoiminnan muut kulut");
    std::vector<int> expenses;
    for (int i = 0; i < 40; ++i) {
        const int number = 7000 + i * 20;
        b.account(other, number, "Kulu " + std::to_string(i + 1));
        expenses.push_back(number);
    }

    BookNode* events = tree.addLast(fy, "");
    auto line = [&](BookNode* lines, int account, std::int64_t cents) {
        BookNode* l = tree.addLast(lines, std::to_string(account));
        tree.addLast(l, "money " + std::to_string(cents));
    };
    auto voucher = [&](int number, int month, int day, const std::string& description) {
        BookNode* e = tree.addLast(events, "event " + std::to_string(number));
        tree.addLast(e, "date 2026 " + std::to_string(month) + " " + std::to_string(day));
        tree.addLast(e, "\"" + description + "\"");
        return tree.addLast(e, "");
    };
    BookNode* opening = voucher(0, 1, 1, "Tilinavaus");
    line(opening, 1910, 5000000);
    line(opening, 2000, -250000);
    line(opening, 2370, -4750000);
    for (int v = 1; v <= vouchers; ++v) {
        const int dayOfYear = static_cast<int>(static_cast<std::int64_t>(v - 1) * 360 / vouchers);
        const int month = 1 + dayOfYear / 30;
        const int day = 1 + dayOfYear % 28;
        const int bank = banks[static_cast<size_t>(pick(5))];
        const std::int64_t net = 1000 + pick(500000);
        const std::int64_t tax = net * 255 / 1000;
        switch (pick(4)) {
        case 0: {
            BookNode* l = voucher(v, month, day, "Myyntilasku " + std::to_string(10000 + v));
            line(l, bank, net + tax);
            line(l, sales[static_cast<size_t>(pick(12))], -net);
            line(l, 2939, -tax);
            break;
        }
        case 1: {
            BookNode* l = voucher(v, month, day, "PROJ Ostolasku " + std::to_string(v));
            line(l, purchases[static_cast<size_t>(pick(30))], net);
            line(l, 1763, tax);
            line(l, bank, -(net + tax));
            break;
        }
        case 2: {
            BookNode* l = voucher(v, month, day, "Palkat " + std::to_string(month) + "/2026");
            const std::int64_t withheld = net / 5;
            line(l, 5000, net);
            line(l, 6130, tax / 4);
            line(l, 2930, -withheld);
            line(l, bank, -(net - withheld + tax / 4));
            break;
        }
        default: {
            BookNode* l = voucher(v, month, day, "Kulu " + std::to_string(v));
            line(l, expenses[static_cast<size_t>(pick(40))], net);
            line(l, expenses[static_cast<size_t>(pick(40))], tax);
            line(l, 1763, 0);
            line(l, bank, -(net + tax));
            break;
        }
        }
    }
}

} // namespace kp
