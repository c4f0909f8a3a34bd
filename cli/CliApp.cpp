// kirjanpito-cli: the headless commands over the core.
#include "cli/CliApp.h"

#include "app/Application.h"
#include "app/BookCheck.h"
#include "app/CommandLineValues.h"
#include "app/HeadlessPlatform.h"
#include "book/Backups.h"
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"
#include "cli/BookGenerator.h"
#include "cli/CliSave.h"
#include "cli/PageCommands.h"
#include "cli/PeriodCommands.h"
#include "cli/VoucherCommand.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kp {
namespace {

constexpr const char* kUsage =
    "Käyttö: kirjanpito-cli KOMENTO ...\n"
    "  info KIRJA            kirjanpidon otsikko, tilikauden kelpoisuus, tilien ja tositteiden "
    "määrä\n"
    "  convert SISÄÄN ULOS   lukee kirjan ja tallentaa sen (muoto tiedostopäätteen mukaan)\n"
    "  check KIRJA           tarkistaa kirjanpidon: yksi rivi kustakin huomautettavasta\n"
    "                        (tila 0: ei huomautettavaa, 1: huomautettavaa)\n"
    "  generate --vouchers N [--seed S] ULOS\n"
    "                        tekee suuren esimerkkikirjan (sama siemen, sama kirja)\n"
    "  export SIVU KIRJA [valitsimet]   sivun rivit kuten \"Tallenna csv\" ne kirjoittaa\n"
    "  export SIVU KIRJA --format xlsx|csv [valitsimet]\n"
    "                                   sivu taulukkona (kuten \"Vie taulukkoon\u2026\")\n"
    "  export plaintext KIRJA [-o TIEDOSTO]\n"
    "                                   tositteet ledger- ja hledger-ohjelmien muodossa\n"
    "  report SIVU KIRJA [valitsimet]   samat rivit p\u00e4\u00e4tteelle\n"
    "  view journal|chart KIRJA         p\u00e4iv\u00e4kirja- tai tilikarttapuu\n"
    "  new-year KIRJA ULOS --name NIMI --start PP.KK.VVVV --end PP.KK.VVVV [--yes]\n"
    "                                   uusi tilikausi tilinp\u00e4\u00e4t\u00f6ksen saldoista\n"
    "  new-company ULOS --name NIMI --start PP.KK.VVVV --end PP.KK.VVVV\n"
    "  vat-rate KIRJA ULOS VANHA=UUSI [...]   alv-kantojen muutos, esim. 24=25,5\n"
    "  backups KIRJA         kirjan varmuuskopiot, uusin ensin: p\u00e4iv\u00e4, aika, koko,\n"
    "                        tositteiden m\u00e4\u00e4r\u00e4 ja tiedosto\n"
    "  add-voucher KIRJA --date PP.KK.VVVV --text TEKSTI [--split-vat] TILI=SUMMA ...\n"
    "                                   kirjaa tositteen ja tallentaa kirjan (--split-vat:\n"
    "                                   alv-tilien summat verollisina, vero omalle rivilleen)\n"
    "  pdf SIVU KIRJA -o ULOS.pdf [valitsimet] [--statement \"1910 3000\"]\n"
    "                                   sivu tulostettuna PDF-tiedostoon (kirjanpito-pdf)\n"
    "  Sivut: chart, chart-tree, journal, ledger, income, balance, vat\n"
    "  Valitsimet: --period N, --year VUOSI, --balances, --compare KIRJA2, --filter TEKSTI,\n"
    "              --filter-heading TEKSTI, -o TIEDOSTO\n"
    "  --salvage: vaurioitunut kirja luetaan niin pitkälle kuin se on ehjä (muuten komento\n"
    "             kieltäytyy ja päättyy tilaan 1)\n";

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << kUsage;
        return 2;
    }
    HeadlessPlatform platform(err);
    Application app(platform);
    app.setOneShot();
    if (!app.openBook(args[1]))
        return 1;
    const BookNode* fiscalYear = app.index().fiscalYear();
    PeriodState periods;
    const bool valid = ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), periods);
    const BookNode* events = app.index().events();
    int vouchers = 0;
    for (const BookNode* event : events ? events->children() : ChildList())
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
    const LoadMode mode = HeadlessPlatform::salvage ? LoadMode::Salvage : LoadMode::Strict;
    if (FileResult r = LoadBook(book, args[1], mode); !r) {
        err << r.message << (r.damaged ? " Valitsin --salvage lukee sen silti.\n" : "\n");
        return 1;
    } else if (r.damaged) {
        err << r.message << '\n';
    }
    return SaveCommandBook(book, args[2], err);
}

// "check": the file is read as far as it goes, so that its damage is one finding among the others.
int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 || (!args[1].empty() && args[1][0] == '-')) {
        err << kUsage;
        return 2;
    }
    BookTree book;
    const FileResult load = LoadBook(book, args[1], LoadMode::Salvage);
    if (!load) {
        err << load.message << '\n';
        return 1;
    }
    const std::vector<std::string> findings = CheckLoadedBook(load, book);
    for (const std::string& finding : findings)
        out << finding << '\n';
    if (findings.empty())
        out << kBookInOrder << '\n';
    return findings.empty() ? 0 : 1;
}

int Generate(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    std::uint64_t vouchers = 0;
    bool vouchersGiven = false;
    std::uint64_t seed = 1;
    std::string outName;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--vouchers" || a == "--seed") && i + 1 < args.size()) {
            const std::string& value = args[++i];
            const bool count = a == "--vouchers";
            const std::uint64_t max = count ? 10000000 : 4294967295u;
            if (!ParseCount(value, max, count ? vouchers : seed)) {
                err << "Virheellinen luku: " << value << " (" << a << " 0.." << max << ")\n";
                return 2;
            }
            vouchersGiven = vouchersGiven || count;
        } else if (outName.empty() && !a.empty() && a[0] != '-') {
            outName = a;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (!vouchersGiven || outName.empty()) {
        err << kUsage;
        return 2;
    }
    if (FormatForFileName(outName) == BookFormat::NestedList)
        return SaveCommandText(
            GenerateBookText(static_cast<int>(vouchers), static_cast<std::uint32_t>(seed)), outName,
            err);
    BookTree book;
    GenerateBook(book, static_cast<int>(vouchers), static_cast<std::uint32_t>(seed));
    return SaveCommandBook(book, outName, err);
}

// "backups": the versions of a book that its saves kept.
int Backups(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << kUsage;
        return 2;
    }
    for (const BackupEntry& entry : ListBackups(args[1], UserDataFolder())) {
        const int vouchers = CountVouchers(entry.file);
        out << entry.dateText() << ' ' << entry.timeText() << '\t' << entry.size << " tavua\t"
            << (vouchers < 0 ? std::string("ei luettavissa")
                             : std::to_string(vouchers) + " tositetta")
            << '\t' << entry.file.string() << '\n';
    }
    return 0;
}

// The folder of this program, from the kernel's link to the running file.
std::filesystem::path ProgramFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::filesystem::path(std::string(buffer, static_cast<size_t>(length))).parent_path();
}

// "pdf": printing needs Qt, which this program does not link; the Qt part of the program,
// kirjanpito-pdf, lies beside it when installed and in the build's qt folder when built.
int Pdf(const std::vector<std::string>& args, std::ostream& err) {
    const std::filesystem::path folder = ProgramFolder();
    std::filesystem::path tool;
    for (const auto& candidate :
         {folder / "kirjanpito-pdf", folder / ".." / "qt" / "kirjanpito-pdf"}) {
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) {
            tool = candidate;
            break;
        }
    }
    if (tool.empty()) {
        err << "PDF-tulostus tarvitsee ohjelman kirjanpito-pdf t\u00e4m\u00e4n ohjelman "
               "rinnalle (Qt-osa ei ole asennettuna).\n";
        return 2;
    }
    // Without a display the Qt part prints offscreen.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<std::string> words{tool.string()};
    words.insert(words.end(), args.begin() + 1, args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (const int rc = posix_spawn(&child, tool.c_str(), nullptr, nullptr, argv.data(), environ);
        rc != 0) {
        err << tool.string() << ": " << std::strerror(rc) << '\n';
        return 2;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

} // namespace

int RunCli(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    // "--salvage" may stand anywhere: every command that reads a book takes it.
    std::vector<std::string> args;
    HeadlessPlatform::salvage = false;
    for (const std::string& arg : given) {
        if (arg == "--salvage")
            HeadlessPlatform::salvage = true;
        else
            args.push_back(arg);
    }
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args[0];
    if (command == "info")
        return Info(args, out, err);
    if (command == "convert")
        return Convert(args, out, err);
    if (command == "check")
        return Check(args, out, err);
    if (command == "export" && args.size() > 1 && args[1] == "plaintext")
        return PlainTextCommand(args, out, err);
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
    if (command == "add-voucher")
        return AddVoucherCommand(args, out, err);
    if (command == "generate")
        return Generate(args, out, err);
    if (command == "backups")
        return Backups(args, out, err);
    if (command == "pdf") {
        out.flush();
        return Pdf(args, err);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return 0;
    }
    err << "Tuntematon komento: " << command << '\n' << kUsage;
    return 2;
}

} // namespace kp
