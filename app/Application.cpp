// The main window's logic without a window: books, pages, lazy rebuilding, files, comparison.
#include "app/Application.h"

#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "book/Win1252.h"
#include "output/JournalListing.h"
#include "output/LineExport.h"
#include "reports/GeneralLedger.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

namespace kp {
namespace {

FileChoice OpenChoice(const std::string& fileName) {
    return {{{"*.*", "*.*"}, {"*.tlk, *.csv", "*.tlk; *.csv"}}, 1, "", fileName};
}

FileChoice SaveChoice(const std::string& fileName) {
    return {{{"*.*", "*.*"}, {"*.tlk", "*.tlk"}, {"*.csv", "*.csv"}}, 1, "csv", fileName};
}

// Reads a book; none when the user cancelled the reading of a large one.
std::optional<FileResult> ReadBook(Platform& platform, BookTree& tree, const std::string& fileName,
                                   LoadMode mode) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (error || size < kLongReadBytes)
        return LoadBook(tree, fileName, mode);
    auto job = std::make_shared<std::pair<BookTree, FileResult>>();
    if (!platform.runLong("Luetaan kirjaa " + fileName + "\u2026", [job, fileName, mode] {
            job->second = LoadBook(job->first, fileName, mode);
        }))
        return std::nullopt;
    tree = std::move(job->first);
    return std::move(job->second);
}

// A label with the number of what it acted on, when there is one.
std::string Labelled(std::string label, std::string_view number) {
    if (!number.empty())
        label.append(" ").append(number);
    return label;
}

// The voucher number of a journal node, a line standing for its voucher: "[12] ..." gives 12.
std::string_view VoucherNumber(const BookNode* node) {
    while (node && node->level() > 1)
        node = node->parent();
    if (!node || !node->startsWith("["))
        return {};
    const std::string_view text = node->text();
    const size_t close = text.find(']');
    return close == std::string_view::npos ? std::string_view() : text.substr(1, close - 1);
}

// The account number a chart line starts with; none for a heading.
std::string_view AccountNumber(const BookNode* line) {
    if (!line)
        return {};
    const std::string_view text = line->text();
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    return text.substr(0, digits);
}

// "Poistetaanko tosite 61 (31.12.2026, 13063,70)?" for a journal node such as
// "[61] 31.12.2026: 13063,70 - Tiliote": its number, date and debit total as the journal shows
// them.
std::string DeleteVoucherQuestion(const BookNode& voucher) {
    const std::string_view text = voucher.text();
    const size_t close = text.find("] ");
    const size_t colon = text.find(": ", close == std::string_view::npos ? 0 : close);
    std::string question = "Poistetaanko tosite " + std::string(VoucherNumber(&voucher));
    if (close != std::string_view::npos && colon != std::string_view::npos) {
        const std::string_view amount = text.substr(colon + 2);
        question.append(" (")
            .append(text.substr(close + 2, colon - close - 2))
            .append(", ")
            .append(amount.substr(0, amount.find(' ')))
            .append(")");
    }
    return Win1252ToUtf8(question) + "?";
}

// A name typed without an extension gets the chooser's default one.
std::string WithDefaultExtension(std::string name, const std::string& extension) {
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.rfind('.');
    if (!extension.empty() &&
        (dot == std::string::npos || (slash != std::string::npos && dot < slash)))
        name += "." + extension;
    return name;
}

// Whether two names lead to one file (or, when neither exists, are the same name).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::exists(a, error) && std::filesystem::exists(b, error))
        return std::filesystem::equivalent(a, b, error);
    return a == b;
}

} // namespace

Application::Application(Platform& platform) : m_platform(platform) {
    m_state.lineSource = &m_ledgerLines;
    // The journal is searched with every voucher's lines.
    m_search.setBeforeTreeSearch([this](const BookTree& tree) {
        if (&tree == &m_journal.tree())
            m_journal.makeAllLines();
    });
}

JournalSource Application::journalSource() {
    return {m_index, m_index.events(), &m_state.periods};
}

void Application::rebuildAccountIndex() {
    m_state.clearStale(Stale::AccountIndex);
    m_index.rebuild(m_state.openBook, m_state.filter.voucherFilter(), &m_state.periods, true);
    m_accountListLines = AccountListLines(m_index);
}

void Application::rebuildComparisonIndex() {
    m_comparisonIndex.rebuild(m_state.comparisonBook, m_state.filter.voucherFilter(),
                              &m_state.periods, false);
}

std::string Application::title() const {
    return BookTitle(m_state.openBook);
}

std::string Application::windowTitle() const {
    const std::string shown = m_pageControlVisible ? title() : std::string("Kirjanpito");
    const std::string restored = m_restoredFrom.empty()
                                     ? std::string()
                                     : " (palautettu varmuuskopio " + m_restoredLabel + ")";
    return (m_state.unsavedChanges ? "*" : "") + shown + restored;
}

void Application::applySettings(const Settings& settings) {
    m_settings = settings;
    m_fileName = settings.lastName;
    // A settings file from before the list knows only the last book.
    if (m_settings.recentFiles.empty())
        RememberRecentFile(m_settings.recentFiles, settings.lastName);
    m_state.filter.heading = settings.filterHeading;
}

Settings Application::currentSettings() const {
    Settings settings = m_settings;
    settings.lastName = m_fileName;
    settings.filterHeading = m_state.filter.heading;
    return settings;
}

// --- files -------------------------------------------------------------------------------

Answer Application::askSaveChanges() {
    if (!m_state.unsavedChanges)
        return Answer::No;
    const Answer answer = m_platform.askYesNoCancel("Tallennetaanko?");
    if (answer != Answer::Yes)
        return answer;
    // Only a save that really happened lets the caller discard the book.
    return saveCommand(false) ? Answer::Yes : Answer::Cancel;
}

void Application::openCommand(bool lastFile) {
    if (askSaveChanges() == Answer::Cancel)
        return;
    std::string name;
    if (lastFile && !m_fileName.empty() && m_platform.fileExists(m_fileName)) {
        name = m_fileName;
    } else {
        const auto chosen = m_platform.chooseOpenFile(OpenChoice(m_fileName));
        if (!chosen)
            return;
        name = *chosen;
    }
    openBook(name);
}

void Application::openRecentCommand(size_t index) {
    if (index >= m_settings.recentFiles.size() || askSaveChanges() == Answer::Cancel)
        return;
    // Copied: opening rewrites the list. A book that is gone is looked for in the chooser,
    // as the last-file entry does.
    std::string name = m_settings.recentFiles[index];
    if (!m_platform.fileExists(name)) {
        const auto chosen = m_platform.chooseOpenFile(OpenChoice(name));
        if (!chosen)
            return;
        name = *chosen;
    }
    openBook(name);
}

bool Application::openBook(const std::string& fileName) {
    // The book is read beside the open one, which stays open when the file cannot be read.
    BookTree loaded;
    std::optional<FileResult> read = ReadBook(m_platform, loaded, fileName, LoadMode::Strict);
    if (!read)
        return false;
    FileResult r = std::move(*read);
    bool salvaged = false;
    if (!r && r.damaged) {
        std::string damage = r.message;
        if (damage.ends_with(kDamagedNotOpened))
            damage.resize(damage.size() - kDamagedNotOpened.size());
        if (!m_platform.askOpenDamaged(damage))
            return false;
        read = ReadBook(m_platform, loaded, fileName, LoadMode::Salvage);
        if (!read)
            return false;
        r = std::move(*read);
        salvaged = r.ok;
    }
    if (!r) {
        m_platform.showError(r.message);
        return false;
    }
    closeComparison();
    forgetBookInEditors(); // they refer to nodes of the book being replaced
    m_state.openBook = std::move(loaded);
    // A book read from a damaged file is saved under a name the user chooses, never silently
    // over the file it came from.
    m_damagedFile = salvaged ? fileName : std::string();
    m_fileName = fileName;
    RememberRecentFile(m_settings.recentFiles, fileName);
    m_pageControlVisible = true;
    m_state.markAllStale();
    m_state.unsavedChanges = false;
    m_state.periods.eventsContainerLevel = -1;
    rebuildAccountIndex();
    const BookNode* fiscalYear = m_index.fiscalYear();
    if (!ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), m_state.periods))
        m_platform.showError("Virheellinen tilikausi");
    m_activeTab = Tab::Journal;
    if (m_oneShot) {
        bookReplaced();
        return true;
    }
    // The undo history's first snapshot is taken beside the journal view: both only read the
    // book, and on a large book each takes a noticeable part of the wait before the journal.
    std::string snapshot;
    {
        std::jthread snapshotter([&] { SnapshotBook(m_state.openBook, snapshot); });
        pageChanged();
    }
    bookReplaced(&snapshot);
    return true;
}

bool Application::saveCommand(bool saveAs) {
    if (m_state.openBook.empty()) {
        // Said, not passed over: a "Kyllä" to "Tallennetaanko?" must not seem to have saved.
        m_platform.showMessage("Kirja on tyhj\xC3\xA4, eik\xC3\xA4 sit\xC3\xA4 voi tallentaa.");
        return false;
    }
    std::string name;
    if (!saveAs && m_damagedFile.empty() && !m_fileName.empty() &&
        m_platform.fileExists(m_fileName)) {
        name = m_fileName;
    } else {
        // A restored version is proposed under the name of the book it came from.
        const FileChoice choice = SaveChoice(m_fileName.empty() ? m_restoredFrom : m_fileName);
        const auto chosen = m_platform.chooseSaveFile(choice);
        if (!chosen)
            return false;
        name = WithDefaultExtension(*chosen, choice.defaultExtension);
        if (!m_damagedFile.empty() && SameFile(name, m_damagedFile) &&
            !m_platform.askYesNo("Kirja luettiin vaurioituneesta tiedostosta " + m_damagedFile +
                                 ". Tallennetaanko sen p\u00e4\u00e4lle?"))
            return false;
    }
    if (FileResult r = SaveBookKeepingBackup(m_state.openBook, name); !r) {
        m_platform.showError(r.message);
        return false;
    } else if (!r.message.empty()) {
        m_platform.showMessage(r.message); // saved, but no earlier version could be kept
    }
    m_damagedFile.clear();
    m_fileName = name;
    RememberRecentFile(m_settings.recentFiles, name);
    m_state.unsavedChanges = false;
    bookSaved();
    return true;
}

bool Application::closeRequested() {
    // The boxes close only once the window surely closes: a No or Cancel keeps all as it was.
    if (m_voucherEditor.visible() && m_voucherEditor.lineCount() > 0 &&
        !m_platform.askYesNo("Tosite on kesken. Hyl\xC3\xA4t\xC3\xA4\xC3\xA4nk\xC3\xB6 se?"))
        return false;
    if (askSaveChanges() == Answer::Cancel)
        return false;
    hideDialogForm();
    m_vatRatePanel.cancel();
    m_basicData.cancel();
    dropRecovery();
    return true;
}

// --- comparison book ---------------------------------------------------------------------

bool Application::closeComparison() {
    if (m_state.comparisonBook.empty())
        return false;
    m_state.comparisonBook.clear();
    m_state.comparisonLoaded = false;
    m_state.markAllStale();
    m_comparisonIndex.clear();
    return true;
}

std::string_view Application::comparisonCaption() const {
    return m_state.comparisonLoaded ? "Sulje vertailukausi" : "Avaa vertailukausi";
}

void Application::comparisonCommand() {
    if (closeComparison()) {
        activatePage(Tab::Journal);
        return;
    }
    // The chooser starts at the open book's name, which choosing a comparison file never changes.
    const auto chosen = m_platform.chooseOpenFile(OpenChoice(m_fileName));
    if (chosen)
        openComparison(*chosen);
}

bool Application::openComparison(const std::string& fileName) {
    closeComparison();
    if (FileResult r = LoadBook(m_state.comparisonBook, fileName); !r) {
        m_platform.showError(r.message);
        m_state.comparisonBook.clear();
        return false;
    }
    if (m_state.comparisonBook.empty())
        return true; // an empty comparison file leaves the comparison closed, without a message
    m_state.comparisonLoaded = true;
    rebuildComparisonIndex();
    m_state.setStale(Stale::Statements);
    activatePage(Tab::Journal);
    return true;
}

// --- pages -------------------------------------------------------------------------------

bool Application::activatePage(Tab tab) {
    if (!pageChangeAllowed())
        return false;
    m_activeTab = tab;
    pageChanged();
    return true;
}

void Application::pageChanged() {
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    m_chooser.cancel();
    m_state.resetSearch();
    int page = static_cast<int>(m_activeTab);
    switch (m_activeTab) {
    case Tab::Chart:
        m_state.searchTarget = &m_chart.tree();
        m_state.lineSource = &m_accountListLines;
        if (m_state.isStale(Stale::Chart)) {
            m_state.clearStale(Stale::Chart);
            m_chart.build(m_index.accountMap(), m_settings.vat.dropDown);
        }
        break;
    case Tab::Journal:
        m_state.searchTarget = &m_journal.tree();
        if (m_state.isStale(Stale::Journal) && !m_oneShot) {
            m_state.clearStale(Stale::Journal);
            m_journal.build(journalSource());
        }
        break;
    case Tab::Ledger:
        m_state.searchTarget = &m_ledgerLines;
        m_state.lineSource = &m_ledgerLines;
        if (m_state.isStale(Stale::Ledger)) {
            m_ledgerLines.clear();
            m_chooser.show({std::string(kTabCaptions[static_cast<size_t>(Tab::Ledger)]), 200, 0});
        }
        break;
    case Tab::Income:
    case Tab::Balance: {
        const ReportLines* lines =
            m_activeTab == Tab::Income ? &m_statements.income : &m_statements.balance;
        m_state.searchTarget = lines;
        m_state.lineSource = lines;
        if (m_state.isStale(Stale::Statements))
            buildStatements();
        break;
    }
    case Tab::Vat:
        m_state.searchTarget = &m_vatLines;
        m_state.lineSource = &m_vatLines;
        if (m_state.isStale(Stale::Vat))
            PrepareVatPage(m_chooser, m_vatLines);
        break;
    case Tab::Maintenance:
        m_state.searchTarget = &m_state.openBook;
        break;
    case Tab::Comparison:
        m_state.searchTarget = &m_state.comparisonBook;
        break;
    }
    if (page < 0 || page > 5)
        page = 3; // the raw tree pages use the income statement's settings
    m_state.currentPage = static_cast<Page>(page);
}

void Application::buildStatements() {
    m_state.clearStale(Stale::Statements);
    StatementContext context;
    context.index = &m_index;
    context.comparison = m_state.comparisonLoaded;
    context.comparisonBook = &m_state.comparisonBook;
    context.comparisonIndex = &m_comparisonIndex;
    context.periods = &m_state.periods;
    context.filter = m_state.filter;
    BuildStatements(context, true, m_statements);
}

void Application::refreshPages() {
    m_state.markAllStale();
    rebuildAccountIndex();
    pageChanged();
}

void Application::periodOk() {
    m_chooser.ok(m_state.filter);
    if (m_state.currentPage == Page::Ledger) {
        m_state.clearStale(Stale::Ledger);
        BuildLedger(m_index, m_chooser.chosen(), m_chooser.periodTitle(),
                    m_settings.intermediateBalances, m_ledgerLines);
    } else if (m_state.currentPage == Page::Vat) {
        m_state.clearStale(Stale::Vat);
        BuildVatReport(m_index, m_chooser.chosen(), m_chooser.periodTitle(), m_settings.vat,
                       m_vatLines);
    }
}

void Application::toggleIntermediateBalances() {
    m_settings.intermediateBalances = !m_settings.intermediateBalances;
    BuildLedger(m_index, m_chooser.chosen(), m_chooser.periodTitle(),
                m_settings.intermediateBalances, m_ledgerLines);
}

void Application::applyFilter(FilterBox& box) {
    m_state.filter = ApplyFilterBox(box);
    m_state.markAllStale();
    activatePage(Tab::Journal);
}

void Application::Prompts::show(const std::string& text) {
    m_app.m_platform.showMessage(Win1252ToUtf8(text));
}
bool Application::Prompts::askOkCancel(const std::string& text) {
    return m_app.m_platform.askOkCancel(Win1252ToUtf8(text));
}
bool Application::Prompts::askYesNo(const std::string& text) {
    return m_app.m_platform.askYesNo(Win1252ToUtf8(text));
}

void Application::basicDataCommand(BasicDataMode mode) {
    const BasicDataOpening opening = m_basicData.open(mode, m_state.openBook, m_prompts);
    if (opening.rebuildIndex) {
        // The balance check indexed the book on its own; the application's index is redone.
        m_state.markAllStale();
        rebuildAccountIndex();
    }
}

bool Application::basicDataOk() {
    const BasicDataMode mode = m_basicData.mode();
    const BasicDataResult r = m_basicData.apply(m_state.openBook, m_state.periods, m_prompts);
    if (!r.applied)
        return false;
    forgetBookInEditors();
    if (r.forgetFileName) {
        m_fileName.clear();
        m_damagedFile.clear();
    }
    if (r.showPageControl)
        m_pageControlVisible = true;
    if (r.unsaved == UnsavedChange::Set)
        m_state.unsavedChanges = true;
    else if (r.unsaved == UnsavedChange::Clear)
        m_state.unsavedChanges = false;
    m_state.markAllStale();
    rebuildAccountIndex();
    m_activeTab = Tab::Journal;
    pageChanged();
    // A new company or fiscal year is another book; new basic data are a change of this one.
    if (mode == BasicDataMode::ChangeBasicData)
        recordChange("Muuta perustietoja");
    else
        bookReplaced();
    return true;
}

bool Application::vatRateCommand() {
    return m_vatRatePanel.open(m_state.openBook);
}

bool Application::vatRateOk() {
    const VatRateOutcome outcome = m_vatRatePanel.ok(m_state.openBook, m_prompts);
    if (outcome.bookChanged) {
        m_state.markBookChanged();
        recordChange("Alv-% muutos");
    }
    return outcome.bookChanged;
}

TreeCommandResult Application::clearBook() {
    // The questions before destructive commands are short: undo brings everything back.
    if (!m_state.openBook.empty() &&
        !m_platform.askYesNo("Tyhjennet\xC3\xA4\xC3\xA4nk\xC3\xB6 koko kirja?"))
        return {};
    TreeCommandResult result = m_maintenance.clearBook();
    if (result.bookEmptied) {
        forgetBookInEditors();
        m_comparisonIndex.clear();
        rebuildAccountIndex(); // an empty book leaves no node to refer to
        recordChange("Tyhjenn\xE4 kaikki");
    }
    return result;
}

// --- vouchers ----------------------------------------------------------------------------

Cents Application::currentPeriodResult() {
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    if (m_state.isStale(Stale::Statements))
        buildStatements();
    return m_statements.periodResult;
}

void Application::newVoucherCommand(bool copy, const BookNode* selected) {
    // The chooser lists the accounts as they are now.
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    if (!m_index.events())
        return;
    openDialogBox([&] { m_voucherEditor.newVoucher(copy, selected); });
}

void Application::editVoucherCommand(const BookNode* selected) {
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    if (!m_index.events())
        return;
    openDialogBox([&] { m_voucherEditor.editVoucher(selected); });
}

VoucherOk Application::voucherOk() {
    const std::string label = Labelled(
        m_voucherEditor.editedEvent() ? "Muokkaa tositetta" : "Tosite", m_voucherEditor.number());
    const VoucherOk result = m_voucherEditor.ok(
        [this](const std::string& text) { return m_platform.askOkCancel(Win1252ToUtf8(text)); },
        [this](const std::string& text) { m_platform.showError(Win1252ToUtf8(text)); });
    if (result == VoucherOk::Posted) {
        m_state.markBookChanged();
        recordChange(label);
        keepRecoveryCopy(true);
    }
    return result;
}

void Application::applyJournalChange(const JournalChange& change, std::string label) {
    if (change.bookChanged) {
        m_voucherEditor.forgetBook();
        m_state.markBookChanged();
        recordChange(std::move(label));
    }
    if (change.viewRebuilt) {
        m_state.clearStale(Stale::Journal);
        m_state.resetSearch();
    }
}

JournalChange Application::deleteLastVoucher() {
    const BookNode* root = m_journal.root();
    const BookNode* last = root ? root->child(root->childCount() - 1) : nullptr;
    if (!last)
        return {};
    m_journal.makeText(last);
    if (!m_platform.askYesNo(DeleteVoucherQuestion(*last)))
        return {};
    const JournalChange change = m_journal.deleteLastVoucher(m_state.openBook, journalSource());
    applyJournalChange(change, "Poista viimeinen");
    return change;
}

JournalChange Application::renumberVouchers() {
    const BookNode* events = m_index.events();
    if (!events || !events->hasChildren() ||
        !m_platform.askYesNo(
            "P\xC3\xA4ivitet\xC3\xA4\xC3\xA4nk\xC3\xB6 tositenumerot juokseviksi?"))
        return {};
    const JournalChange change = m_journal.renumberVouchers(m_state.openBook, journalSource());
    applyJournalChange(change, "P\xE4ivit\xE4 tositenumerot");
    return change;
}

JournalChange Application::moveVoucher(const BookNode* dragged, const BookNode* target) {
    for (const BookNode* voucher = dragged; voucher; voucher = voucher->parent())
        m_journal.makeText(voucher); // the label reads the number from it
    const std::string label = Labelled("Siirr\xE4 tosite", VoucherNumber(dragged));
    const JournalChange change =
        m_journal.moveVoucher(m_state.openBook, dragged, target, journalSource());
    applyJournalChange(change, label);
    return change;
}

void Application::bookNodesChanged() {
    m_voucherEditor.forgetBook();
    m_accountEditor.forgetBook();
}

void Application::forgetBookInEditors() {
    m_vatRatePanel.cancel();
    m_voucherEditor.forgetBook();
    m_accountEditor.forgetBook();
}

// --- the dialog form and the chart page ----------------------------------------------------

bool Application::dialogFormVisible() const {
    return m_voucherEditor.visible() || m_accountEditor.visible() || m_vatTextsBox.visible();
}

void Application::hideDialogForm() {
    m_voucherEditor.cancel();
    m_accountEditor.hide();
    m_vatTextsBox.cancel();
}

bool Application::voucherCancel() {
    return m_voucherEditor.cancelCommand(
        [this](const std::string& text) { return m_platform.askYesNo(Win1252ToUtf8(text)); });
}

void Application::editAccountCommand(BookNode* line) {
    if (!line)
        return;
    openDialogBox([&] { m_accountEditor.openOnLine(line, m_settings.vat.dropDown); });
}

void Application::newSubAccountCommand(BookNode* line) {
    if (!line)
        return;
    openDialogBox([&] { m_accountEditor.openNewSubAccount(line); });
}

ChartEditResult Application::accountOk() {
    // The duplicate-number check reads the account list, which must know the last change.
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    const std::string label =
        Labelled(m_accountEditor.newSubAccountMode() ? "Uusi alatili" : "Muokkaa tili\xE4",
                 m_accountEditor.numberText());
    ChartEditResult result =
        m_accountEditor.ok(m_state.openBook, m_chart, m_index, m_settings.vat.dropDown);
    if (result.bookChanged) {
        m_state.markBookChanged();
        recordChange(label);
    }
    return result;
}

ChartEditResult Application::deleteAccountCommand(BookNode* line) {
    if (m_state.isStale(Stale::AccountIndex))
        rebuildAccountIndex();
    const std::string label = Labelled("Poista tili", AccountNumber(line));
    ChartEditResult result =
        DeleteChartLine(m_state.openBook, m_chart, m_index, line, [this](const std::string& q) {
            return m_platform.askYesNo(Win1252ToUtf8(q));
        });
    if (result.bookChanged) {
        m_accountEditor.forgetBook(); // it may have been open on a deleted line
        m_state.markBookChanged();
        recordChange(label);
    }
    if (!result.message.empty())
        m_platform.showMessage(result.message);
    return result;
}

bool Application::moveChartLine(BookNode* moved, BookNode* target, DropSpot zone) {
    const std::string label = Labelled("Siirr\xE4 tili", AccountNumber(moved));
    if (!MoveChartLine(m_state.openBook, m_chart, moved, target, zone))
        return false;
    m_state.markBookChanged();
    recordChange(label);
    return true;
}

void Application::vatTextsCommand() {
    openDialogBox([&] {
        if (m_vatTextsBox.visible())
            m_vatTextsBox.cancel();
        else
            m_vatTextsBox.open(m_settings.vat);
    });
}

VatBoxOk Application::vatTextsOk() {
    VatBoxOk result = m_vatTextsBox.ok(m_settings.vat);
    if (result.applied) {
        // The VAT page's labels, and with new drop-down texts the chart's VAT lines.
        m_state.setStale(Stale::Vat);
        if (result.dropDownChanged) {
            m_state.setStale(Stale::Chart);
            if (m_activeTab == Tab::Chart)
                pageChanged();
        }
    }
    return result;
}

// --- lines -------------------------------------------------------------------------------

ReportLines Application::reportHeader(std::string_view title) const {
    ReportLines lines;
    const bool statementPage =
        m_state.currentPage == Page::Income || m_state.currentPage == Page::Balance;
    AddReportHeader(title,
                    {m_index.fiscalYear(), m_state.comparisonLoaded && statementPage,
                     FiscalYearNode(m_state.comparisonBook)},
                    lines);
    return lines;
}

ReportLines Application::journalListing(int monthIndex, std::string_view periodText) const {
    const ReportLines header = reportHeader(std::string(1, kBoldMarker) + "P\xE4iv\xE4kirja " +
                                            std::string(periodText) + " ");
    // A one-shot session has not built the view: the listing is made from the book.
    if (m_oneShot && m_state.isStale(Stale::Journal))
        return BuildJournalListing(JournalSource{m_index, m_index.events(), nullptr}, header,
                                   periodText, monthIndex, m_lineSink);
    return BuildJournalListing(m_journal, header, periodText, monthIndex);
}

bool Application::saveLinesCommand() {
    const size_t slash = m_fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : m_fileName.substr(0, slash + 1);
    const std::string caption = Win1252ToUtf8(kTabCaptions[static_cast<size_t>(m_activeTab)]);
    FileChoice choice = SaveChoice(folder + caption + ".csv");
    choice.filterIndex = 2; // "*.csv"
    const auto chosen = m_platform.chooseSaveFile(choice);
    if (!chosen)
        return false;
    if (FileResult r = SaveLines(pageLines(), WithDefaultExtension(*chosen, "csv")); !r) {
        m_platform.showError(r.message);
        return false;
    }
    return true;
}

void Application::copyLinesCommand() {
    // On the journal page the period is asked first; its OK copies (copyJournal).
    if (m_activeTab == Tab::Journal) {
        m_chooser.show({"P\xE4iv\xE4kirjan tulostus", 130, 1});
        return;
    }
    const ReportLines lines = pageLines();
    if (!lines.empty())
        m_platform.setClipboardText(Win1252ToUtf8(LinesToText(lines)));
}

bool Application::retitlePage(Tab tab) {
    ReportLines* lines = nullptr;
    switch (tab) {
    case Tab::Ledger:
        lines = &m_ledgerLines;
        break;
    case Tab::Income:
        lines = &m_statements.income;
        break;
    case Tab::Balance:
        lines = &m_statements.balance;
        break;
    case Tab::Vat:
        lines = &m_vatLines;
        break;
    default:
        return false;
    }
    if (lines->size() <= 2)
        return false;
    const auto answer =
        m_platform.inputBox("Muutetaan", "Uusi otsikko", Win1252ToUtf8((*lines)[1]));
    if (!answer)
        return false;
    std::string title;
    std::string offending;
    if (!Utf8ToWin1252(*answer, title, &offending)) {
        m_platform.showError(UnsupportedCharacterMessage(offending));
        return false;
    }
    lines->set(1, title);
    return true;
}

void Application::copyJournal() {
    const ReportLines lines = journalListing(m_chooser.monthIndex(), m_chooser.periodText());
    if (!lines.empty())
        m_platform.setClipboardText(Win1252ToUtf8(LinesToText(lines)));
}

ReportLines Application::pageLines() const {
    if (m_activeTab == Tab::Journal)
        return journalListing(kWholePeriod, kPeriodItems[kWholePeriod]);
    if (m_state.lineSource)
        return *m_state.lineSource;
    return {};
}

PrintPage Application::printPage(int page) const {
    PrintPage p;
    p.page = page;
    p.settings = m_settings.print[static_cast<size_t>(std::clamp(page, 0, kPrintPageCount - 1))];
    if (page == 1)
        p.stops = m_settings.journalTabs;
    else if (page == 2)
        p.stops = m_settings.ledgerTabs;
    p.comparisonLoaded = m_state.comparisonLoaded;
    p.companyName = CompanyName(m_state.openBook);
    p.yearEnd = NthDate(2, FiscalYearNode(m_state.openBook));
    return p;
}

} // namespace kp
