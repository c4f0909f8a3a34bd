// kirjanpito-cli: the headless commands over the core.
#include "cli/CliApp.h"

#include "app/Application.h"
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"
#include "cli/BookGenerator.h"
#include "cli/HeadlessPlatform.h"
#include "cli/PageCommands.h"
#include "cli/PeriodCommands.h"

#include <cstdlib>

namespace kp {
namespace {

constexpr const char* kUsage =
    "Käyttö: kirjanpito-cli KOMENTO ...\n"
    "  info KIRJA            kirjanpidon otsikko, tilikauden kelpoisuus, tilien ja tositteiden "
    "määrä\n"
    "  convert SISÄÄN ULOS   lukee kirjan ja tallentaa sen (muoto tiedostopäätteen mukaan)\n"
    "  generate --vouchers N [--seed S] ULOS\n"
    "                        tekee suuren esimerkkikirjan (sama siemen, sama kirja)\n"
    "  export SIVU KIRJA [valitsimet]   sivun rivit kuten \"Tallenna csv\" ne kirjoittaa\n"
    "  report SIVU KIRJA [valitsimet]   samat rivit p\u00e4\u00e4tteelle\n"
    "  view journal|chart KIRJA         p\u00e4iv\u00e4kirja- tai tilikarttapuu\n"
    "  new-year KIRJA ULOS --name NIMI --start PP.KK.VVVV --end PP.KK.VVVV [--yes]\n"
    "                                   uusi tilikausi tilinp\u00e4\u00e4t\u00f6ksen saldoista\n"
    "  new-company ULOS --name NIMI --start PP.KK.VVVV --end PP.KK.VVVV\n"
    "  vat-rate KIRJA ULOS VANHA=UUSI [...]   alv-kantojen muutos, esim. 24=25,5\n"
    "  Sivut: chart, chart-tree, journal, ledger, income, balance, vat\n"
    "  Valitsimet: --period N, --year VUOSI, --balances, --compare KIRJA2, --filter TEKSTI,\n"
    "              --filter-heading TEKSTI, -o TIEDOSTO\n";

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << kUsage;
        return 2;
    }
    HeadlessPlatform platform(err);
    Application app(platform);
    if (!app.openBook(args[1]))
        return 1;
    const BookNode* fiscalYear = app.index().fiscalYear();
    PeriodState periods;
    const bool valid = ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), periods);
    const BookNode* events = app.index().events();
    int vouchers = 0;
    for (const BookNode* event : events ? events->children() : std::vector<BookNode*>())
        vouchers += event->startsWith(kKeywords[KwEvent]) ? 1 : 0;
    out << Win1252ToUtf8(app.title()) << '\n';
    out << "Tilikausi: " << (valid ? "kelvollinen" : "Virheellinen tilikausi") << '\n';
    out << "Tilejä: " << app.index().accounts().size() << '\n';
    out << "Tositteita: " << vouchers << '\n';
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
    if (command == "export" || command == "report")
        return PageCommand(args, out, err);
    if (command == "view")
        return ViewCommand(args, out, err);
    if (command == "new-year")
        return NewYearCommand(args, out, err);
    if (command == "new-company")
        return NewCompanyCommand(args, out, err);
    if (command == "vat-rate")
        return VatRateCommand(args, out, err);
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
