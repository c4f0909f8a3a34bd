// A deterministic generator of large realistic books, for benchmarks and trials.
#include "cli/BookGenerator.h"

#include "book/BookQueries.h"
#include "book/NestedList.h"

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

void Line(BookTree& tree, BookNode* lines, int account, std::int64_t cents) {
    BookNode* l = tree.addLast(lines, std::to_string(account));
    tree.addLast(l, "money " + std::to_string(cents));
}
BookNode* Voucher(BookTree& tree, BookNode* events, int number, int month, int day,
                  const std::string& description) {
    BookNode* e = tree.addLast(events, "event " + std::to_string(number));
    tree.addLast(e, "date 2026 " + std::to_string(month) + " " + std::to_string(day));
    tree.addLast(e, "\"" + description + "\"");
    return tree.addLast(e, "");
}

// The chart, the opening voucher and, one at a time, the vouchers of a generated book.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : m_rng(seed) {}

    // The book up to its opening voucher; returns the events container.
    BookNode* chart(BookTree& tree);
    // Adds voucher v of n under events (as a root when events is none).
    void voucher(BookTree& tree, BookNode* events, int v, int n);

  private:
    int pick(std::uint32_t n) { return static_cast<int>(m_rng() % n); }

    std::mt19937 m_rng;
    std::vector<int> m_banks, m_sales, m_purchases, m_expenses;
};

BookNode* Generator::chart(BookTree& tree) {
    Builder b{tree};
    BookNode* root = tree.addLast(nullptr, kBookHeader);
    BookNode* fy = tree.addLast(root, "fiscal-year \"Suurkirja Oy\"");
    tree.addLast(fy, "date 2026 1 1");
    tree.addLast(fy, "date 2026 12 31");
    BookNode* map = tree.addLast(fy, "account-map");

    BookNode* assets = tree.addLast(tree.addLast(map, "account -1 \"V A S T A A V A A\""), "");
    BookNode* current = b.heading(assets, "Vaihtuvat vastaavat");
    for (int i = 0; i < 5; ++i) {
        b.account(current, 1910 + i * 10, "Pankkitili " + std::to_string(i + 1));
        m_banks.push_back(1910 + i * 10);
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
    const int rates[] = {2550, 1350, 1000};
    for (int i = 0; i < 12; ++i) {
        const int number = 3000 + i * 10;
        b.vat(b.account(revenue, number, "Myynti " + std::to_string(i + 1)), "sales", rates[i % 3]);
        m_sales.push_back(number);
    }
    BookNode* costs = b.heading(result, "Materiaalit ja palvelut");
    for (int i = 0; i < 30; ++i) {
        const int number = 4000 + i * 10;
        b.vat(b.account(costs, number, "Ostot " + std::to_string(i + 1)), "purchase", rates[i % 3]);
        m_purchases.push_back(number);
    }
    BookNode* staff = b.heading(result, "Henkil\xF6st\xF6kulut");
    b.account(staff, 5000, "Palkat");
    b.account(staff, 6130, "Sosiaaliturvamaksut");
    BookNode* other = b.heading(result, "Liiketoiminnan muut kulut");
    for (int i = 0; i < 40; ++i) {
        const int number = 7000 + i * 20;
        b.account(other, number, "Kulu " + std::to_string(i + 1));
        m_expenses.push_back(number);
    }

    BookNode* events = tree.addLast(fy, "");
    BookNode* opening = Voucher(tree, events, 0, 1, 1, "Tilinavaus");
    Line(tree, opening, 1910, 5000000);
    Line(tree, opening, 2000, -250000);
    Line(tree, opening, 2370, -4750000);
    return events;
}

void Generator::voucher(BookTree& tree, BookNode* events, int v, int n) {
    const int dayOfYear = static_cast<int>(static_cast<std::int64_t>(v - 1) * 360 / n);
    const int month = 1 + dayOfYear / 30;
    const int day = 1 + dayOfYear % 28;
    const int bank = m_banks[static_cast<size_t>(pick(5))];
    const std::int64_t net = 1000 + pick(500000);
    const std::int64_t tax = net * 255 / 1000;
    switch (pick(4)) {
    case 0: {
        BookNode* l =
            Voucher(tree, events, v, month, day, "Myyntilasku " + std::to_string(10000 + v));
        Line(tree, l, bank, net + tax);
        Line(tree, l, m_sales[static_cast<size_t>(pick(12))], -net);
        Line(tree, l, 2939, -tax);
        break;
    }
    case 1: {
        BookNode* l = Voucher(tree, events, v, month, day, "PROJ Ostolasku " + std::to_string(v));
        Line(tree, l, m_purchases[static_cast<size_t>(pick(30))], net);
        Line(tree, l, 1763, tax);
        Line(tree, l, bank, -(net + tax));
        break;
    }
    case 2: {
        BookNode* l =
            Voucher(tree, events, v, month, day, "Palkat " + std::to_string(month) + "/2026");
        const std::int64_t withheld = net / 5;
        Line(tree, l, 5000, net);
        Line(tree, l, 6130, tax / 4);
        Line(tree, l, 2930, -withheld);
        Line(tree, l, bank, -(net - withheld + tax / 4));
        break;
    }
    default: {
        BookNode* l = Voucher(tree, events, v, month, day, "Kulu " + std::to_string(v));
        Line(tree, l, m_expenses[static_cast<size_t>(pick(40))], net);
        Line(tree, l, m_expenses[static_cast<size_t>(pick(40))], tax);
        Line(tree, l, 1763, 0);
        Line(tree, l, bank, -(net + tax));
        break;
    }
    }
}

} // namespace

void GenerateBook(BookTree& tree, int vouchers, std::uint32_t seed) {
    Generator generator(seed);
    BookNode* events = generator.chart(tree);
    for (int v = 1; v <= vouchers; ++v)
        generator.voucher(tree, events, v, vouchers);
}

std::string GenerateBookText(int vouchers, std::uint32_t seed) {
    Generator generator(seed);
    BookTree tree;
    generator.chart(tree);
    std::string text = FormatNestedList(tree);
    // The events container closes last, then the fiscal year and the root: each voucher goes
    // before those three parentheses, written as it is made.
    const std::string closing = text.substr(text.size() - 3);
    text.resize(text.size() - 3);
    BookTree one;
    for (int v = 1; v <= vouchers; ++v) {
        generator.voucher(one, nullptr, v, vouchers);
        text += ' ';
        text += FormatNestedList(one);
        one.clear();
    }
    return text + closing;
}

} // namespace kp
