// The book check ("Tarkista kirjanpito", `kirjanpito-cli check`): everything in a book that a
// bookkeeper must look at, one Finnish line each.
#include "app/BookCheck.h"

#include "app/Application.h"
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <tuple>
#include <unordered_map>

namespace kp {
namespace {

struct Day {
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
    auto key() const { return std::tie(year, month, day); }
};

// A whole number as the program writes one (a minus, digits, 32 bits); the scanners read
// anything else as 0 or as the digits it starts with.
bool ReadWholeNumber(std::string_view text, std::int32_t& value) {
    value = ConvertRun(text);
    if (value != 0)
        return true;
    const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    return digits < text.size() && text.find_first_not_of('0', digits) == std::string_view::npos;
}

// The day of a date node ("date 2026 3 5"), its fields taken as the journal takes them.
bool ReadNodeDay(std::string_view text, Day& day) {
    int cursor = static_cast<int>(kKeywords[KwDate].size());
    std::int32_t fields[3] = {};
    for (std::int32_t& field : fields)
        if (!ReadWholeNumber(ExtractField(text, ' ', ' ', cursor), field))
            return false;
    day = {fields[0], fields[1], fields[2]};
    return IsCalendarDate(day.year, day.month, day.day);
}

// A display date ("05.03.2026"), read as the fiscal-year check reads it.
Day DisplayDay(std::string_view display) {
    int cursor = 1;
    Day day;
    day.day = ScanNumber(display, cursor);
    day.month = ScanNumber(display, cursor);
    day.year = ScanNumber(display, cursor);
    return day;
}

std::string Quoted(std::string_view bookText) {
    return "\"" + Win1252ToUtf8(bookText) + "\"";
}

// The numbered accounts of the chart as the account index finds them: anywhere in the book but
// inside a voucher, sub-accounts of numbered accounts included. Number words in the order first
// met, with the names of every account that carries the word.
struct ChartAccounts {
    std::vector<std::string> order;
    std::unordered_map<std::string, std::vector<std::string>> names;
};

ChartAccounts CollectChartAccounts(const BookNode* top) {
    ChartAccounts chart;
    std::vector<const BookNode*> pending{top};
    while (!pending.empty()) {
        const BookNode* node = pending.back();
        pending.pop_back();
        const std::string_view text = node->text();
        if (text.size() >= 5 && node->startsWith(kKeywords[KwEvent]))
            continue;
        if (text.size() >= 5 && node->startsWith(kKeywords[KwAccount])) {
            int cursor = 7;
            const std::string number = ExtractField(text, ' ', ' ', cursor);
            if (ConvertRun(number) > 0) {
                auto& names = chart.names[number];
                if (names.empty())
                    chart.order.push_back(number);
                names.push_back(QuotedName(text, cursor));
            }
        }
        const auto& children = node->children();
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return chart;
}

class Checker {
  public:
    explicit Checker(const BookTree& book) : m_book(book) {}

    std::vector<std::string> run() {
        if (m_book.empty()) {
            add("Kirja on tyhjä: siinä ei ole tilikautta eikä tilikarttaa");
            return std::move(m_findings);
        }
        const BookNode* fiscalYear = FiscalYearNode(m_book);
        if (!fiscalYear) {
            add("Kirjassa ei ole tilikautta (fiscal-year)");
        } else {
            checkFiscalYear(*fiscalYear);
        }
        checkChart();
        const BookNode* accountMap = AccountMapNode(fiscalYear);
        if (fiscalYear && !accountMap)
            add("Kirjassa ei ole tilikarttaa (account-map)");
        if (accountMap)
            if (const BookNode* events = fiscalYear->child(accountMap->index() + 1))
                checkVouchers(*events);
        return std::move(m_findings);
    }

  private:
    void add(std::string line) { m_findings.push_back(std::move(line)); }

    void checkFiscalYear(const BookNode& fiscalYear) {
        const std::string start = NthDate(1, &fiscalYear);
        const std::string end = NthDate(2, &fiscalYear);
        PeriodState scratch;
        if (!ValidateFiscalYear(start, end, scratch)) {
            add("Virheellinen tilikausi: " + Win1252ToUtf8(start) + " - " + Win1252ToUtf8(end));
            return;
        }
        m_start = DisplayDay(start);
        m_end = DisplayDay(end);
        if (m_end.key() < m_start.key()) {
            add("Tilikausi päättyy ennen kuin se alkaa: " + Win1252ToUtf8(start) + " - " +
                Win1252ToUtf8(end));
            return;
        }
        m_yearKnown = true;
    }

    void checkChart() {
        m_chart = CollectChartAccounts(m_book.first());
        for (const std::string& number : m_chart.order) {
            const auto& names = m_chart.names[number];
            if (names.size() < 2)
                continue;
            std::string list;
            for (const std::string& name : names)
                list += (list.empty() ? "" : ", ") + Win1252ToUtf8(name);
            add("Tilinumero " + Win1252ToUtf8(number) + " on tilikartassa " +
                std::to_string(names.size()) + " kertaa (" + list + ")");
        }
    }

    void checkVouchers(const BookNode& events) {
        std::vector<const BookNode*> vouchers;
        std::unordered_map<std::int32_t, int> uses;
        for (const BookNode* event : events.children()) {
            std::int32_t n = 0;
            if (event->startsWith(kKeywords[KwEvent])) {
                vouchers.push_back(event);
                if (ReadWholeNumber(numberWord(*event), n))
                    ++uses[n];
            }
        }
        for (const BookNode* event : vouchers) {
            const std::string label = "Tosite " + Win1252ToUtf8(numberWord(*event));
            std::int32_t n = 0;
            if (!ReadWholeNumber(numberWord(*event), n)) {
                add(label + ": tositenumero ei ole luku");
            } else if (auto u = uses.find(n); u != uses.end() && u->second > 1) {
                add("Tositenumero " + std::to_string(n) + " on käytössä " +
                    std::to_string(u->second) + " tositteella");
                uses.erase(u); // said once, where the number first occurs
            }
            checkDate(*event, label);
            checkLines(*event, label);
        }
    }

    static std::string_view numberWord(const BookNode& event) {
        return TrimControl(event.text().substr(kKeywords[KwEvent].size()));
    }

    void checkDate(const BookNode& event, const std::string& label) {
        const BookNode* dateNode = FindChildByPrefix(kKeywords[KwDate], &event);
        if (!dateNode) {
            add(label + ": päiväys puuttuu");
            return;
        }
        int counter = 0;
        const std::string shown = Win1252ToUtf8(ReadDateChild(event, counter));
        Day day;
        if (!ReadNodeDay(dateNode->text(), day)) {
            add(label + ": päiväys " + shown + " ei ole kelvollinen päivämäärä");
            return;
        }
        if (m_yearKnown && (day.key() < m_start.key() || m_end.key() < day.key()))
            add(label + ": päiväys " + shown + " on tilikauden ulkopuolella");
    }

    void checkLines(const BookNode& event, const std::string& label) {
        const BookNode* lines = event.child(2);
        if (!lines) {
            add(label + ": tositteelta puuttuu vientien luettelo");
            return;
        }
        Cents sum = 0;
        for (const BookNode* line : lines->children()) {
            int cursor = 1;
            const std::string key = std::to_string(ScanNumber(line->text(), cursor));
            const std::string account = Win1252ToUtf8(line->text());
            if (TrimControl(line->text()).empty())
                add(label + ": vienti ilman tilinumeroa");
            else if (!m_chart.names.contains(key))
                add(label + ": tiliä " + account + " ei ole tilikartassa");
            const BookNode* money = line->child(0);
            if (!money || !money->startsWith(kKeywords[KwMoney])) {
                add(label + ": tilin " + account + " vienti ilman rahamäärää (luetaan 0,00)");
                continue;
            }
            // Reports read the amount with the scanner: the digits it starts with, else 0.
            int moneyCursor = 5;
            const std::int32_t read = ScanNumber(money->text(), moneyCursor);
            std::int32_t exact = 0;
            if (!ReadWholeNumber(TrimControl(money->text().substr(5)), exact))
                add(label + ": tilin " + account + " rahamäärää " + Quoted(money->text()) +
                    " ei voi lukea (luetaan " + CentsToText(read) + ")");
            sum += read;
        }
        if (sum != 0)
            add(label + " ei täsmää: summien ero " + CentsToText(sum));
    }

    const BookTree& m_book;
    std::vector<std::string> m_findings;
    ChartAccounts m_chart;
    bool m_yearKnown = false;
    Day m_start;
    Day m_end;
};

} // namespace

std::vector<std::string> CheckBook(const BookTree& book) {
    return Checker(book).run();
}

std::vector<std::string> CheckLoadedBook(const FileResult& load, const BookTree& book) {
    std::vector<std::string> findings;
    if (load.damaged)
        findings.push_back(load.message);
    std::vector<std::string> inTree = CheckBook(book);
    findings.insert(findings.end(), inTree.begin(), inTree.end());
    return findings;
}

std::vector<std::string> CheckOpenBook(const Application& app) {
    std::vector<std::string> findings;
    // The book in memory may be a salvaged copy of a damaged file: the file is read again only to
    // learn whether it is still damaged; a file that is gone or unreadable has nothing to add.
    if (!app.fileName().empty()) {
        BookTree scratch;
        const FileResult load = LoadBook(scratch, app.fileName(), LoadMode::Salvage);
        if (load.ok && load.damaged)
            findings.push_back(load.message);
    }
    std::vector<std::string> inTree = CheckBook(app.state().openBook);
    findings.insert(findings.end(), inTree.begin(), inTree.end());
    return findings;
}

} // namespace kp
