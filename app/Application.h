// The main window's logic without a window: books, pages, lazy rebuilding, files, comparison.
#pragma once

#include "app/AppState.h"
#include "app/Maintenance.h"
#include "app/Platform.h"
#include "app/Recovery.h"
#include "app/Search.h"
#include "app/UndoHistory.h"
#include "book/Backups.h"
#include "ledger/AccountEditor.h"
#include "ledger/AccountIndex.h"
#include "ledger/ChartView.h"
#include "ledger/JournalView.h"
#include "ledger/VoucherEditor.h"
#include "output/PrintJob.h"
#include "output/Settings.h"
#include "period/NewFiscalYear.h"
#include "period/VatRateChange.h"
#include "reports/PeriodChooser.h"
#include "reports/Statements.h"
#include "reports/VatReport.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kp {

// Books this large are read off the window's thread, behind a box that offers "Peruuta".
inline constexpr std::uintmax_t kLongReadBytes = std::uintmax_t{4} << 20;

// The tabs of the page control, in order; tabs 6 and 7 show only while the maintenance page
// is unlocked.
enum class Tab : int {
    Chart = 0,
    Journal = 1,
    Ledger = 2,
    Income = 3,
    Balance = 4,
    Vat = 5,
    Maintenance = 6,
    Comparison = 7
};
inline constexpr int kTabCount = 8;
inline constexpr std::array<std::string_view, kTabCount> kTabCaptions = {
    "Tilikartta", "P\xE4iv\xE4kirja", "P\xE4\xE4kirja", "Tuloslaskelma",
    "Tase",       "Alv-laskelma",     "Yll\xE4pito",    "Vertailukausi"};

class Application {
  public:
    explicit Application(Platform& platform);

    AppState& state() { return m_state; }
    const AppState& state() const { return m_state; }
    const AccountIndex& index() const { return m_index; }
    const AccountIndex& comparisonIndex() const { return m_comparisonIndex; }
    const JournalView& journal() const { return m_journal; }
    JournalView& journal() { return m_journal; }
    const ChartView& chart() const { return m_chart; }
    PeriodChooser& chooser() { return m_chooser; }
    const PeriodChooser& chooser() const { return m_chooser; }
    const StatementPages& statements() const { return m_statements; }
    const ReportLines& ledgerLines() const { return m_ledgerLines; }
    const ReportLines& vatLines() const { return m_vatLines; }
    // The ledger's or the VAT page's lines, moved out of a session that is about to end.
    ReportLines takeLedgerLines() { return std::move(m_ledgerLines); }
    ReportLines takeVatLines() { return std::move(m_vatLines); }
    const ReportLines& accountListLines() const { return m_accountListLines; }

    // The file name of the open book (empty after a new company or year).
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string name) { m_fileName = std::move(name); }
    bool pageControlVisible() const { return m_pageControlVisible; }
    Tab activeTab() const { return m_activeTab; }
    bool intermediateBalances() const { return m_settings.intermediateBalances; }
    void setIntermediateBalances(bool on) { m_settings.intermediateBalances = on; }
    const VatTexts& vatTexts() const { return m_settings.vat.dropDown; }

    // A one-shot session of the command-line tool, which opens a book and reads or writes some
    // of its pages: no undo history is kept, opening a book builds no page, and the journal view
    // is never built: the journal listing is made from the book directly.
    void setOneShot() { m_oneShot = true; }
    // In a one-shot session: the ledger and the journal listing are passed on to the sink line by
    // line as they are made, not kept (a long page written straight to a file). None keeps them.
    void passLinesTo(ByteSink* sink) {
        m_lineSink = sink;
        m_ledgerLines.passTo(sink);
    }

    // The settings read at start: the last file, the filter heading, VAT texts, print settings.
    void applySettings(const Settings& settings);
    // The settings as they are now, to be written on an orderly close.
    Settings currentSettings() const;
    Settings& settings() { return m_settings; }
    bool maintenanceShown() const { return m_maintenance.tabsShown(); }
    Maintenance& maintenance() { return m_maintenance; }
    Search& search() { return m_search; }
    // "Uusi yritys", "Uusi Tilikausi", "Muuta perustietoja": opens the basic-data box.
    void basicDataCommand(BasicDataMode mode);
    // The box's OK; false when its input was refused (the message has been shown).
    bool basicDataOk();
    BasicDataBox& basicDataBox() { return m_basicData; }
    // "Alv-% muutos": opens the rate panel; its "Muuta".
    bool vatRateCommand();
    bool vatRateOk();
    VatRatePanel& vatRatePanel() { return m_vatRatePanel; }

    // The voucher editor and the journal's commands. `selected` is the journal's selection.
    VoucherEditor& voucherEditor() { return m_voucherEditor; }
    // "Uusi tosite" (copy false) and "Kopioi uusi tosite" (copy true).
    void newVoucherCommand(bool copy, const BookNode* selected);
    // "Muokkaa tositetta" and a double click on the journal.
    void editVoucherCommand(const BookNode* selected);
    // The editor's OK; messages and the "Summien ero" question go through the platform.
    VoucherOk voucherOk();
    // The editor's "Peruuta" and Esc; the question before lines are thrown away goes through
    // the platform. True when the box closed.
    bool voucherCancel();
    // "Poista viimeinen", "Päivitä tositenumerot", a voucher dropped on another.
    JournalChange deleteLastVoucher();
    JournalChange renumberVouchers();
    JournalChange moveVoucher(const BookNode* dragged, const BookNode* target);
    // A maintenance command changed the book's nodes: nothing may keep referring to them.
    void bookNodesChanged();

    // The dialog form shows one box at a time: the account editor, the voucher editor or the
    // VAT texts. Opening a box while the form is shown closes the form instead.
    bool dialogFormVisible() const;
    void hideDialogForm();

    // The chart page's commands on its selected line.
    AccountEditor& accountEditor() { return m_accountEditor; }
    // "Muokkaa tiliä" and a double click on the chart.
    void editAccountCommand(BookNode* line);
    // "Uusi alatili".
    void newSubAccountCommand(BookNode* line);
    // The account editor's OK.
    ChartEditResult accountOk();
    // "Poista tili".
    ChartEditResult deleteAccountCommand(BookNode* line);
    // The context menu for the selected line.
    ChartMenuState chartMenu(const BookNode* line) const {
        return ChartContextMenu(line, dialogFormVisible());
    }
    // A chart line dropped on another.
    bool moveChartLine(BookNode* moved, BookNode* target, DropSpot zone);

    // "Alv-tekstit" and the box's OK; after an applied OK the caller writes the settings.
    VatTextsBox& vatTextsBox() { return m_vatTextsBox; }
    void vatTextsCommand();
    VatBoxOk vatTextsOk();

    // "Tyhjennä kaikki": both trees emptied, and nothing refers to their nodes any more.
    TreeCommandResult clearBook();
    // The maintenance page's edits of the open book ("Lisää", "Poista", a new text, a drop),
    // recorded for undo; the comparison tree's are not the book's and are not recorded.
    TreeCommandResult addNode(BookNode* selection);
    TreeCommandResult deleteNode(BookNode* selection);
    TreeCommandResult editNodeText(MaintenanceTree tree, BookNode* selection);
    TreeCommandResult dropNode(MaintenanceTree tree, DragSource source, BookNode* selection,
                               BookNode* hitNode, DropSpot spot);

    // --- undo and redo ---------------------------------------------------------------------
    // Every command that changes the open book ends by recording the change under a label
    // (Windows-1252), so that any change can be undone; a change nobody recorded is recorded
    // as "Muutos" before an undo or a save. Opening a book, a new fiscal year or a new company
    // start the history afresh.
    void recordChange(std::string label);
    bool canUndo() const { return m_undo.canUndo(); }
    bool canRedo() const { return m_undo.canRedo(); }
    // "Kumoa: Tosite 62" and "Tee uudelleen: Tosite 62"; "Kumoa" and "Tee uudelleen" when
    // there is nothing to do.
    std::string undoCaption() const;
    std::string redoCaption() const;
    // The book as it was before the last change, or again after it. Every node of the book is
    // new afterwards: the boxes that showed book nodes close (a new voucher being typed stays),
    // the views are rebuilt when shown, the page shown stays. False when there was nothing to do.
    bool undo();
    bool redo();
    const UndoHistory& undoHistory() const { return m_undo; }

    // What the window says it did last, for its status bar (Windows-1252): "Tallennettu klo
    // 14.03", "Kumottu: Tosite 62".
    const std::string& statusText() const { return m_status; }
    // The window's title: the book's, with "*" in front while it has unsaved changes.
    std::string windowTitle() const;

    // "Avaa" (lastFile false) and the last-file entry (true).
    void openCommand(bool lastFile);
    // The last books in "Tiedosto", the latest first; a book that is gone is looked for in the
    // open chooser.
    const std::vector<std::string>& recentFiles() const { return m_settings.recentFiles; }
    void openRecentCommand(size_t index);
    // Loads the file as the open book and shows its journal; the prompt and the file choice
    // have been made. False when the file could not be read (the message has been shown).
    bool openBook(const std::string& fileName);
    // "Tallenna" (saveAs false) and "Tallenna nimellä". True when the book was written.
    bool saveCommand(bool saveAs);
    // Yes when the changes were saved, no when there were none or the user discards them,
    // cancel when the user cancels or the save did not happen.
    Answer askSaveChanges();
    // The window's close request (its close button, "Sulje", the session ending). A voucher
    // with lines in its box is asked about first, then the unsaved changes; a No or Cancel
    // keeps everything open. True when the window may close: every box has been closed.
    bool closeRequested();

    // --- backups and recovery copies (ApplicationRecovery.cpp) ------------------------------
    // The earlier versions of the open book kept by its saves, the newest first (for a restored
    // version, those of the book it came from); none for a book without a file.
    std::vector<BackupEntry> backups() const;
    // "Palauta varmuuskopio…": the version is opened as a new book without a file name, which
    // the title names as restored; the unsaved changes are asked about first.
    bool restoreBackup(const BackupEntry& backup);
    // From now on a book with unsaved changes is copied into the folder (the window's choice;
    // the command line and the tests leave it off).
    void enableRecovery(std::filesystem::path folder);
    // The window's timer and every posted voucher (posted true): a copy is handed to the
    // writer's thread when one is due.
    void keepRecoveryCopy(bool posted = false);
    // At start: a recovery copy newer than the open book, or one of a book without a name, is
    // offered; Yes opens it with unsaved changes. True when one was opened.
    bool offerRecovery();
    RecoveryWriter* recoveryWriter() { return m_recovery.get(); }

    // "Avaa vertailukausi" / "Sulje vertailukausi".
    void comparisonCommand();
    // False when the file could not be read (the message has been shown).
    bool openComparison(const std::string& fileName);
    bool closeComparison();
    std::string_view comparisonCaption() const;

    // The page control: a change is refused while a print job runs.
    bool pageChangeAllowed() const { return m_state.pageSwitchAllowed(); }
    bool activatePage(Tab tab);
    // The page-changed handler: index first, then the page's builder when its bit is set.
    void pageChanged();
    // "Päivitä sivut".
    void refreshPages();

    // The period chooser's OK: the ledger or the VAT report for the chosen period.
    void periodOk();
    void periodCancel() { m_chooser.cancel(); }
    // "Välisaldot".
    void toggleIntermediateBalances();
    // The filter box's OK.
    void applyFilter(FilterBox& box);

    void rebuildAccountIndex();
    void rebuildComparisonIndex();

    // The window title for the open book.
    std::string title() const;

    // The lines "Tallenna csv" writes and "Kopioi kaikki" copies for the page shown. On the
    // journal page that is the journal listing of the whole period.
    ReportLines pageLines() const;
    // "Tallenna csv": the page's lines to a text file named by the user, proposed as the page's
    // caption + ".csv" in the open book's folder; the book's own file name stays as it was.
    bool saveLinesCommand();
    // "Vie taulukkoon…": the page's lines as a spreadsheet file named by the user, proposed as the
    // page's caption + ".xlsx" in the open book's folder; a name ending in ".csv" gets CSV.
    bool exportSheetCommand();
    // "Kopioi kaikki": the page's lines on the clipboard; on the journal page the period
    // chooser opens first ("Päiväkirjan tulostus", tag 1), and its OK runs copyJournal.
    void copyLinesCommand();
    // The journal listing of the period chosen, on the clipboard.
    void copyJournal();
    // A double click on a statement list: asks for a new report title (its line 1). True when
    // the title changed.
    bool retitlePage(Tab tab);
    // The journal listing for a month-list index (the period text as the chooser shows it).
    ReportLines journalListing(int monthIndex, std::string_view periodText) const;
    // The report header for a title, as every report page starts.
    ReportLines reportHeader(std::string_view title) const;
    // What a print job of a page (0..5) needs from the open book and the settings.
    PrintPage printPage(int page) const;

  private:
    // The year-end operations' questions, through the platform.
    class Prompts : public PeriodPrompts {
      public:
        explicit Prompts(Application& app) : m_app(app) {}
        bool askSaveChanges() override { return m_app.askSaveChanges() != Answer::Cancel; }
        void show(const std::string& text) override;
        bool askOkCancel(const std::string& text) override;
        bool askYesNo(const std::string& text) override;

      private:
        Application& m_app;
    };

    JournalSource journalSource();
    void buildStatements();
    void applyJournalChange(const JournalChange& change, std::string label);
    bool stepHistory(bool back);
    // The book was rebuilt from the undo history: nothing may keep its old nodes.
    void bookRestored();
    // A new book replaced the open one: the history starts from it.
    // snapshot: the new book's, when it has been taken already.
    void bookReplaced(std::string* snapshot = nullptr);
    // The open book was written to its file.
    void bookSaved();
    // Every line followed by CR LF; nothing for no lines.
    void copyToClipboard(const ReportLines& lines);
    // Runs a command that opens a box of the dialog form, which closes instead when it was
    // shown.
    template <class F> void openDialogBox(F open) {
        const bool wasShown = dialogFormVisible();
        open();
        if (wasShown)
            hideDialogForm();
    }
    // A copy of a book (a version or a recovery copy) opened as the open book with unsaved
    // changes, under the file name given.
    bool openCopy(const std::string& copy, std::string fileName);
    // The recovery copy this program wrote is no longer wanted.
    void dropRecovery();

    // Every box lets go of the book's nodes.
    void forgetBookInEditors();
    // The period result for the "@" proposal, with index and statements brought up to date.
    Cents currentPeriodResult();

    Platform& m_platform;
    AppState m_state;
    std::string m_status; // before the search, which writes its note into it
    Search m_search{m_state, m_platform, &m_status};
    Maintenance m_maintenance{m_state, m_platform};
    AccountIndex m_index{true};
    AccountIndex m_comparisonIndex{false};
    // A listing (a const command) makes the texts of lines not yet made in its buffers.
    mutable JournalView m_journal;
    ChartView m_chart;
    PeriodChooser m_chooser{m_state.periods};
    StatementPages m_statements;
    ReportLines m_ledgerLines;
    ReportLines m_vatLines;
    ReportLines m_accountListLines;
    Settings m_settings;
    BasicDataBox m_basicData;
    VatRatePanel m_vatRatePanel;
    AccountEditor m_accountEditor;
    VatTextsBox m_vatTextsBox;
    VoucherEditor m_voucherEditor{{&m_state.openBook, &m_journal, &m_index, &m_state.periods,
                                   [this] { return currentPeriodResult(); },
                                   [this] { return m_settings.vatSplit; }}};

    UndoHistory m_undo;
    std::string m_fileName;
    std::string m_damagedFile; // the file the open book was salvaged from, until saved elsewhere
    bool m_pageControlVisible = false;
    bool m_oneShot = false;
    ByteSink* m_lineSink = nullptr;
    Tab m_activeTab = Tab::Journal;
    Prompts m_prompts{*this};
    std::string m_restoredFrom;  // the book a restored version was taken from, until saved
    std::string m_restoredLabel; // "8.12.2026 klo 14.03.27"
    std::uint64_t m_changes = 0; // grows with every recorded change, undo and redo
    RecoveryScheduler m_recoveryScheduler;
    std::optional<std::string> m_recoveryKey;   // the book whose copy was written last
    std::unique_ptr<RecoveryWriter> m_recovery; // last: its thread ends before the rest goes
};

} // namespace kp
