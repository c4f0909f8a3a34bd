// kirjanpito-cli: the headless commands over the core.
#include "cli/CliApp.h"

#include "app/AppState.h"
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"
#include "cli/BookGenerator.h"

#include <cstdlib>

namespace kp {
namespace {

constexpr const char* kUsage =
    "Käyttö: kirjanpito-cli KOMENTO ...\n"
    "  info KIRJA            kirjanpidon otsikko, tilikauden kelpoisuus, tilien ja tositteiden "
    "määrä\n"
    "  convert SISÄÄN ULOS   lukee kirjan ja tallentaa sen (muoto tiedostopäätteen mukaan)\n"
    "  generate --vouchers N [--seed S] ULOS\n"
    "                        tekee suuren esimerkkikirjan (sama siemen, sama kirja)\n";

// Numbered accounts the way the account index finds them: anywhere, but not inside another
// numbered account.
int CountAccounts(const BookNode* node) {
    if (!node)
        return 0;
    int count = 0;
    std::vector<const BookNode*> pending{node};
    while (!pending.empty()) {
        const BookNode* n = pending.back();
        pending.pop_back();
        if (n->startsWith(kKeywords[KwAccount]) && n->text().size() >= 5) {
            int cursor = 7;
            const std::string number = ExtractField(n->text(), ' ', ' ', cursor);
            if (ConvertRun(number) > 0) {
                ++count;
                continue;
            }
        }
        const auto& children = n->children();
        pending.insert(pending.end(), children.begin(), children.end());
    }
    return count;
}

int CountVouchers(const BookTree& book) {
    const BookNode* fiscalYear = FiscalYearNode(book);
    const BookNode* accountMap = AccountMapNode(fiscalYear);
    if (!accountMap)
        return 0;
    const BookNode* events = fiscalYear->child(accountMap->index() + 1);
    if (!events)
        return 0;
    int count = 0;
    for (const BookNode* event : events->children())
        if (event->startsWith(kKeywords[KwEvent]))
            ++count;
    return count;
}

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << kUsage;
        return 2;
    }
    AppState state;
    if (FileResult r = LoadBook(state.openBook, args[1]); !r) {
        err << r.message << '\n';
        return 1;
    }
    const BookNode* fiscalYear = FiscalYearNode(state.openBook);
    const bool valid =
        ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), state.periods);
    out << Win1252ToUtf8(BookTitle(state.openBook)) << '\n';
    out << "Tilikausi: " << (valid ? "kelvollinen" : "Virheellinen tilikausi") << '\n';
    out << "Tilejä: " << CountAccounts(AccountMapNode(fiscalYear)) << '\n';
    out << "Tositteita: " << CountVouchers(state.openBook) << '\n';
    return 0;
}

int Convert(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 3) {
        err << kUsage;
        return 2;
    }
    BookTree book;
    if (FileResult r = LoadBook(book, args[1]); !r) {
        err << r.message << '\n';
        return 1;
    }
    if (FileResult r = SaveBook(book, args[2]); !r) {
        err << r.message << '\n';
        return 1;
    }
    return 0;
}

int Generate(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    long vouchers = -1;
    unsigned long seed = 1;
    std::string outName;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--vouchers" || a == "--seed") && i + 1 < args.size()) {
            const std::string& value = args[++i];
            char* end = nullptr;
            const unsigned long n = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || value[0] == '-') {
                err << "Virheellinen luku: " << value << '\n';
                return 2;
            }
            if (a == "--vouchers")
                vouchers = static_cast<long>(n);
            else
                seed = n;
        } else if (outName.empty() && !a.empty() && a[0] != '-') {
            outName = a;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (vouchers < 0 || vouchers > 10000000 || outName.empty()) {
        err << kUsage;
        return 2;
    }
    BookTree book;
    GenerateBook(book, static_cast<int>(vouchers), static_cast<std::uint32_t>(seed));
    if (FileResult r = SaveBook(book, outName); !r) {
        err << r.message << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args[0];
    if (command == "info")
        return Info(args, out, err);
    if (command == "convert")
        return Convert(args, out, err);
    if (command == "generate")
        return Generate(args, out, err);
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return 0;
    }
    err << "Tuntematon komento: " << command << '\n' << kUsage;
    return 2;
}

} // namespace kp
