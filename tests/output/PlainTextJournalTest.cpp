// The plain-text journal for ledger-cli and hledger.
#include "output/PlainTextJournal.h"

#include "../ledger/TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

TEST(PlainTextJournal, VouchersBecomeTransactionsOrAreNamedAsLeftOut) {
    BookTree book = test::ParseBook(
        "(account 1910 \"Pankki: k\xE4ytt\xF6tili\" ()) (account 3000 \"Myynti  kotimaa\" ())",
        "(event 0 (date 2020 1 1) \"Avaus; alku\" ((1910 (money 150005)) (3000 (money -150005))))"
        "(event 1 (date 2020 2 3) \"Pieni\" ((1910 (money -5)) (9999 (money 5))))"
        "(event 2 (date 2020 13 45) \"Ei p\xE4iv\xE4\xE4\" ((1910 (money 1)) (3000 (money -1))))"
        "(event 3 (date 2020 3 1) \"Vino\" ((1910 (money 100)) (3000 (money -99))))"
        "(event 4 (date 2020 3 2) \"Tyhj\xE4\" ())");
    const PlainTextJournal journal = WritePlainTextJournal(book);
    EXPECT_EQ(journal.text, "; Kirjanpito Oy Testi Ab 01.01.2020 - 31.12.2020\n"
                            "\n2020-01-01 (0) Avaus, alku\n"
                            "    1910 Pankki. k\u00e4ytt\u00f6tili  1500.05\n"
                            "    3000 Myynti kotimaa  -1500.05\n"
                            "\n2020-02-03 (1) Pieni\n"
                            "    1910 Pankki. k\u00e4ytt\u00f6tili  -0.05\n"
                            "    9999 ???  0.05\n"
                            "\n; 2020-03-02 (4) Tyhj\u00e4\n");
    EXPECT_EQ(journal.left_out,
              (std::vector<std::string>{
                  "Tosite 2: ei kelvollista p\u00e4iv\u00e4yst\u00e4",
                  "Tosite 3: viennit eiv\u00e4t t\u00e4sm\u00e4\u00e4 (ero 0.01)"}));
}

} // namespace
} // namespace kp
