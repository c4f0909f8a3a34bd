// "add-voucher" of kirjanpito-cli: one voucher posted through the voucher box's controller,
// its lines entered as the keyboard enters them, so that the VAT split works as in the window.
#include "cli/VoucherCommand.h"

#include "app/Application.h"
#include "app/CommandLineValues.h"
#include "app/HeadlessPlatform.h"
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/Win1252.h"
#include "cli/CliSave.h"

#include <cstdio>
#include <optional>

namespace kp {
namespace {

const char* const kUsage =
    "K\u00e4ytt\u00f6: kirjanpito-cli add-voucher KIRJA --date PP.KK.VVVV --text TEKSTI "
    "[--split-vat] TILI=SUMMA [TILI=SUMMA ...]\n"
    "  SUMMA euroina desimaalipilkulla, debet positiivinen ja kredit negatiivinen "
    "(1910=125,50 3000=-125,50)\n";

struct TypedLine {
    std::string account;
    Cents cents = 0;
};

// "5.1.2025" as the date field holds it, "05.01.2025"; the text has passed IsDisplayDate.
std::string PaddedDate(const std::string& text) {
    const size_t first = text.find('.');
    const size_t second = text.find('.', first + 1);
    const auto two = [](std::string part) { return part.size() < 2 ? "0" + part : part; };
    return two(text.substr(0, first)) + "." + two(text.substr(first + 1, second - first - 1)) +
           "." + text.substr(second + 1);
}

// A display date as one number that grows with the day: 05.01.2025 is 20250105.
long DayKey(const std::string& display) {
    if (display.size() != 10)
        return -1;
    return std::stol(display.substr(6, 4)) * 10000 + std::stol(display.substr(3, 2)) * 100 +
           std::stol(display.substr(0, 2));
}

} // namespace

int AddVoucherCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::optional<std::string> date;
    std::optional<std::string> text;
    bool splitVat = false;
    std::vector<TypedLine> lines;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--date" || a == "--text") {
            if (i + 1 >= args.size()) {
                err << "Valitsimelta " << a << " puuttuu arvo\n";
                return 2;
            }
            (a == "--date" ? date : text) = args[++i];
        } else if (a == "--split-vat") {
            splitVat = true;
        } else if (!a.empty() && a[0] == '-') {
            err << "Tuntematon valitsin: " << a << '\n' << kUsage;
            return 2;
        } else if (files.empty()) {
            files.push_back(a);
        } else {
            const size_t eq = a.find('=');
            TypedLine line;
            if (eq == std::string::npos) {
                err << "Virheellinen rivi: " << a << " (muoto TILI=SUMMA, esim. 3000=-125,50)\n";
                return 2;
            }
            line.account = a.substr(0, eq);
            const std::string amount = a.substr(eq + 1);
            if (!ParseEuros(amount, line.cents)) {
                err << "Virheellinen summa: \"" << amount
                    << "\" (euroina desimaalipilkulla, enint\u00e4\u00e4n kaksi desimaalia, "
                       "kredit miinusmerkill\u00e4, esim. -125,50)\n";
                return 2;
            }
            lines.push_back(line);
        }
    }
    if (files.size() != 1 || !date || !text || lines.empty()) {
        err << kUsage;
        return 2;
    }
    if (!IsDisplayDate(*date)) {
        err << "Virheellinen p\u00e4iv\u00e4ys: " << *date
            << " (anna kalenterin p\u00e4iv\u00e4 muodossa PP.KK.VVVV)\n";
        return 2;
    }
    std::string description;
    std::string bad;
    if (!Utf8ToWin1252(*text, description, &bad)) {
        err << UnsupportedCharacterMessage(bad) << '\n';
        return 2;
    }

    HeadlessPlatform platform(err);
    Application app(platform);
    if (!app.openBook(files[0]))
        return 1;
    const std::string day = PaddedDate(*date);
    const BookNode* fiscalYear = app.index().fiscalYear();
    const std::string first = NthDate(1, fiscalYear);
    const std::string last = NthDate(2, fiscalYear);
    if (DayKey(first) < 0 || DayKey(last) < 0 || DayKey(day) < DayKey(first) ||
        DayKey(day) > DayKey(last)) {
        err << "P\u00e4iv\u00e4ys " << day << " ei ole tilikaudella " << first << "\u2013" << last
            << '\n';
        return 2;
    }
    std::vector<int> entries;
    for (const TypedLine& line : lines) {
        const int i = app.index().findAccount(line.account);
        const std::string number =
            i < 0 ? std::string()
                  : app.index().accounts()[static_cast<size_t>(i)].text.substr(
                        0, static_cast<size_t>(
                               LeadingDigits(app.index().accounts()[static_cast<size_t>(i)].text)));
        if (line.account.empty() || number != line.account) {
            err << "Tuntematon tili: " << line.account << '\n';
            return 2;
        }
        entries.push_back(i);
    }

    app.settings().vatSplit = splitVat;
    app.newVoucherCommand(false, nullptr);
    VoucherEditor& editor = app.voucherEditor();
    if (!editor.visible()) {
        err << "Kirjassa ei ole tositteita, joihin tositteen voisi lis\u00e4t\u00e4\n";
        return 1;
    }
    editor.date().setText(day);
    editor.setDescription(description);
    for (size_t k = 0; k < lines.size(); ++k) {
        editor.enterLine(entries[k], lines[k].cents);
        if (!editor.status().empty())
            err << Win1252ToUtf8(editor.status()) << " (rivi " << lines[k].account
                << " kirjataan sellaisenaan)\n";
    }
    if (editor.unbalanced()) {
        err << "Tosite ei t\u00e4sm\u00e4\u00e4: debet ja kredit eroavat "
            << editor.differenceText() << " euroa; mit\u00e4\u00e4n ei kirjattu\n";
        return 2;
    }
    const std::string number = editor.number();
    if (app.voucherOk() != VoucherOk::Posted)
        return 2; // the editor has said why
    if (SaveCommandBook(app.state().openBook, files[0], err) != 0)
        return 1;
    out << "Tosite " << number << " kirjattu\n";
    return 0;
}

} // namespace kp
