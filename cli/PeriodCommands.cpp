// The year-end commands of kirjanpito-cli: the basic-data box and the rate panel driven as a
// user would, with the questions printed and answered.
#include "cli/PeriodCommands.h"

#include "app/Application.h"
#include "app/CommandLineValues.h"
#include "app/HeadlessPlatform.h"
#include "book/BookFile.h"
#include "book/Win1252.h"
#include "cli/CliSave.h"

#include <optional>

namespace kp {
namespace {

const char* const kUsage =
    "K\xC3\xA4ytt\xC3\xB6: kirjanpito-cli new-year KIRJA ULOS --name NIMI --start PP.KK.VVVV "
    "--end PP.KK.VVVV [--yes]\n"
    "       kirjanpito-cli new-company ULOS --name NIMI --start PP.KK.VVVV --end PP.KK.VVVV\n"
    "       kirjanpito-cli vat-rate KIRJA ULOS VANHA=UUSI [VANHA=UUSI ...]\n";

struct BasicData {
    std::vector<std::string> files;
    std::optional<std::string> name;
    std::optional<std::string> start;
    std::optional<std::string> end;
    bool yes = false;
};

bool ParseBasicData(const std::vector<std::string>& args, BasicData& d, std::ostream& err) {
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::optional<std::string>* target = a == "--name"    ? &d.name
                                             : a == "--start" ? &d.start
                                             : a == "--end"   ? &d.end
                                                              : nullptr;
        if (target) {
            if (i + 1 >= args.size()) {
                err << "Valitsimelta " << a << " puuttuu arvo\n";
                return false;
            }
            *target = args[++i];
        } else if (a == "--yes") {
            d.yes = true;
        } else if (!a.empty() && a[0] == '-') {
            err << "Tuntematon valitsin: " << a << '\n' << kUsage;
            return false;
        } else {
            d.files.push_back(a);
        }
    }
    if (!d.name || !d.start || !d.end) {
        err << kUsage;
        return false;
    }
    // The box would take any text and refuse only what its fiscal-year check refuses; here a
    // date is refused before anything is read or written.
    for (const std::string& date : {*d.start, *d.end}) {
        if (!IsDisplayDate(date)) {
            err << "Virheellinen p\u00e4iv\u00e4ys: " << date << " (muoto PP.KK.VVVV)\n";
            return false;
        }
    }
    return true;
}

// Fills the box as the user types into it and presses OK; saves the book on success.
int ApplyBasicData(Application& app, const BasicData& d, const std::string& out,
                   std::ostream& err) {
    BasicDataBox& box = app.basicDataBox();
    if (!box.visible())
        return 1; // the reason has been printed
    std::string name;
    std::string bad;
    if (!Utf8ToWin1252(*d.name, name, &bad)) {
        err << UnsupportedCharacterMessage(bad) << '\n';
        return 2;
    }
    box.setCompanyName(name);
    box.firstDay().setText(*d.start);
    box.lastDay().setText(*d.end);
    if (!app.basicDataOk())
        return 2; // the dates given do not make a fiscal year; the box has said so
    return SaveCommandBook(app.state().openBook, out, err);
}

} // namespace

int NewYearCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    BasicData d;
    if (!ParseBasicData(args, d, err))
        return 2;
    if (d.files.size() != 2) {
        err << kUsage;
        return 2;
    }
    HeadlessPlatform platform(err, d.yes);
    Application app(platform);
    if (!app.openBook(d.files[0]))
        return 1;
    app.basicDataCommand(BasicDataMode::NewFiscalYear);
    return ApplyBasicData(app, d, d.files[1], err);
}

int NewCompanyCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    BasicData d;
    if (!ParseBasicData(args, d, err))
        return 2;
    if (d.files.size() != 1) {
        err << kUsage;
        return 2;
    }
    HeadlessPlatform platform(err, d.yes);
    Application app(platform);
    app.basicDataCommand(BasicDataMode::NewCompany);
    return ApplyBasicData(app, d, d.files[0], err);
}

int VatRateCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() < 4) {
        err << kUsage;
        return 2;
    }
    // Every change is read before the book is: the panel would clear a new rate it cannot read
    // and the book would be written unchanged.
    struct Change {
        std::string old;
        std::int32_t oldRate = 0;
        std::int32_t newRate = 0;
    };
    std::vector<Change> changes;
    for (size_t i = 3; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos) {
            err << "Virheellinen muutos: " << args[i] << " (muoto VANHA=UUSI, esim. 24=25,5)\n";
            return 2;
        }
        Change change{args[i].substr(0, eq)};
        for (auto [text, rate] :
             {std::pair{change.old, &change.oldRate}, {args[i].substr(eq + 1), &change.newRate}}) {
            if (!ParseRate(text, *rate)) {
                err << "Virheellinen alv-kanta: \"" << text
                    << "\" (prosentti 0\u2013100, enint\u00e4\u00e4n kaksi desimaalia, esim. "
                       "25,5)\n";
                return 2;
            }
        }
        for (const Change& earlier : changes) {
            if (earlier.oldRate == change.oldRate) {
                err << "Alv-kanta " << change.old << " on annettu kahdesti\n";
                return 2;
            }
        }
        changes.push_back(change);
    }
    HeadlessPlatform platform(err, true);
    Application app(platform);
    if (!app.openBook(args[1]))
        return 1;
    if (!app.vatRateCommand()) {
        err << "Kirjassa ei ole tilikarttaa\n";
        return 1;
    }
    VatRatePanel& panel = app.vatRatePanel();
    for (const Change& change : changes) {
        int row = -1;
        for (size_t r = 0; r < panel.rows().size(); ++r)
            if (!panel.rows()[r].nodes.empty() &&
                TextToScaled(panel.rows()[r].currentRate, 2) == change.oldRate)
                row = static_cast<int>(r);
        if (row < 0) {
            err << "Kirjassa ei ole alv-kantaa " << change.old << '\n';
            return 1;
        }
        panel.selectCell(row, 1);
        panel.editNewRate(ScaledToText(change.newRate, 2));
        panel.normaliseNewRate();
    }
    app.vatRateOk();
    return SaveCommandBook(app.state().openBook, args[2], err);
}

} // namespace kp
