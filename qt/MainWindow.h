// The main window: the page control, the menus and the shortcuts over the application controller.
#pragma once

#include "app/Application.h"
#include "reports/Statements.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>

class QAbstractItemView;
class QDialog;
class QPlainTextEdit;
class QLabel;
class QAction;
class QMenu;
class QPrinter;
class QShortcut;
class QTabWidget;
class QToolBar;
class QTreeView;

namespace kp {

class BookTreeModel;
class LineDelegate;
class PeriodBox;
class ReportLinesModel;
class AccountDialog;
class VatTextsDialog;
class TabStopBar;
class VoucherDialog;
class HelpWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // settingsPath: where the settings are written on close (empty: nowhere).
    MainWindow(Platform& platform, const Settings& settings, std::string settingsPath,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    Application& app() { return m_app; }

    // The book named on the command line or by the settings; false when it could not be read.
    bool openFile(const std::string& fileName);

    QTabWidget* pages() const { return m_pages; }
    QTreeView* treeView(Tab tab) const;
    // The list of a statement page (ledger, income statement, balance sheet, VAT).
    QTreeView* lineView(Tab tab) const;
    BookTreeModel* treeModel(Tab tab) const;
    ReportLinesModel* linesModel(Tab tab) const;
    PeriodBox* periodBox() const { return m_periodBox; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* treeMenu() const { return m_treeMenu; }
    QMenu* pageMenu() const { return m_pageMenu; }
    QAction* maintenanceAction() const { return m_maintenanceAction; }
    QAction* comparisonAction() const { return m_comparisonAction; }
    QAction* lastFileAction() const { return m_lastFileAction; }

    // The filter box's OK with what was typed: texts the book's code page cannot hold are
    // refused with a message and nothing changes. True when the filter was applied.
    bool applyFilterInput(bool checked, const QString& text, const QString& heading);
    const FilterBox& filterBox() const { return m_filterBox; }

    // "Uusi yritys", "Uusi Tilikausi", "Muuta perustietoja": the box opens as a dialog.
    void basicDataCommand(BasicDataMode mode);
    // The box's OK with what was typed; false when refused (the message has been shown).
    bool applyBasicData(const QString& companyName, const QString& firstDay,
                        const QString& lastDay);

    // "Tulosta" of the page shown: the chart's asks "Luettelo" or "Kartta" first, the journal's
    // opens the period chooser and prints on its OK, the ledger's tag 1 is "Tiliote..".
    void printCommand(int tag = 0);
    // Prints the lines of the page shown through the print dialog.
    PrintOutcome printLines(int tag, ChartPrintout chart = ChartPrintout::List);
    // The print dialog over the printer; true to print. Tests answer it themselves.
    using PrinterChooser = std::function<bool(QPrinter&)>;
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }
    QAction* printAction() const { return m_printAction; }

    // The journal's commands: 0 "Uusi tosite", 1 "Kopioi uusi tosite", 2 "Muokkaa tositetta"
    // (also a double click), on the journal's selection.
    void voucherCommand(int command);
    VoucherDialog* voucherDialog() const { return m_voucherDialog; }
    // "Tulostusaset.." and the font dialog of its "Fontti.."; tests answer the dialog.
    QMenu* printSettingsMenu() const { return m_printSettingsMenu; }
    // "Tabul.paikat" and the tab-stop editor it shows on the journal and ledger pages.
    QAction* tabStopsAction() const { return m_tabStopsAction; }
    TabStopBar* tabStopBar() const { return m_tabStopBar; }
    using FontChooser = std::function<std::optional<FontChoice>(const FontChoice& preset)>;
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
    QMenu* journalMenu() const { return m_journalMenu; }
    AccountDialog* accountDialog() const { return m_accountDialog; }
    VatTextsDialog* vatTextsDialog() const { return m_vatTextsDialog; }
    // The chart's commands on its selected line: 0 "Muokkaa tiliä" (also a double click),
    // 1 "Uusi alatili", 2 "Poista tili".
    void chartCommand(int command);
    // "Alv-tekstit".
    void vatTextsCommand();
    // "Alv-% muutos" of the basic-data box: the rate panel over the box.
    void vatRateCommand(QWidget* over);
    // Shows or hides the dialog form's boxes as the controller says, each centred over the
    // window when it opens.
    void syncDialogForm();
    QMenu* printMenu() const { return m_printMenu; }
    // "Tarkista kirjanpito": a book in order is said in a message; findings are listed in a
    // window of their own that can stay open while they are put right.
    void checkBookCommand();
    QAction* checkAction() const { return m_checkAction; }
    // "Palauta varmuuskopio…": the open book's versions in a list; the chosen one opens.
    void restoreBackupCommand();
    // Unsaved changes are copied into the user's state folder from now on, and a copy left by
    // an earlier run is offered first.
    void startRecovery();
    QPlainTextEdit* checkFindings() const { return m_checkText; }

    // "Kumoa: ..." (Ctrl+Z) and "Tee uudelleen: ..." (Ctrl+Y, Ctrl+Shift+Z), at the top of both
    // "Muokkaa" menus; a toolbar can show these same actions.
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    // The status bar's text: when the book was saved, what an undo did.
    QLabel* statusLabel() const { return m_statusLabel; }
    void undoCommand(bool back);

    // The desktop session is ending: the window closes as its close button closes it, asking
    // what it must. False when the user kept it open, and so the session from ending.
    bool sessionEnding(bool interactionAllowed);

    // "Tosite": "Uusi tosite", "Muokkaa tositetta", "Kopioi uusi tosite" with their keys.
    QMenu* voucherMenu() const { return m_voucherMenu; }
    // The main commands, each with a tooltip naming its key.
    QToolBar* toolBar() const { return m_toolBar; }
    // "Tiedosto"'s entries for the last books, the latest first; the first is the last-file entry.
    const std::array<QAction*, kRecentFileCount>& recentFileActions() const {
        return m_recentActions;
    }
    // "Ohje": the help page in the program's own help window.
    void showHelp();
    void setHelpFile(QString fileName) { m_helpFile = std::move(fileName); }
    HelpWindow* helpWindow() const { return m_helpWindow; }

  signals:
    // The window has closed for good, its boxes with it: the program ends.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The models a controller call may rebuild under the views.
    enum ModelSet : unsigned {
        ChartTree = 1,
        JournalTree = 2,
        BookTrees = 4, // the open and the comparison book
        Lines = 8,
        AllModels = 15
    };

    // Runs a controller call that may rebuild trees or lines: those models show nothing while
    // it runs (a message box it opens must not paint half-rebuilt views) and are reset after
    // it, then everything else is refreshed from the controller. Models left out keep their
    // views' expansion and selection.
    template <class F> void run(F&& command, unsigned models = AllModels) {
        freezeModels(models);
        command();
        thawModels();
        syncFromController();
    }
    void freezeModels(unsigned models);
    void thawModels();

    // The maintenance page's commands and what their results ask of the trees.
    void treeCommand(int command);
    void applyTreeResult(const TreeCommandResult& result);
    void toggleMaintenance();
    void editNodeText(MaintenanceTree tree, const QModelIndex& index);
    void syncFromController();
    void syncMenus();
    void hideClosedBoxes();

    void createPages();
    void createMenus();
    void createVoucherMenu();
    void createToolBar();
    void updateVoucherActions();
    void createShortcuts();
    void createPrintSettingsMenu();
    void toggleTabStops();
    void hideTabStops();
    void createEditors();
    void createDragAndDrop();
    void createChartMenu();
    void showChartLine(const BookNode* line);
    void showCentred(QDialog* dialog);
    void voucherOk();
    void journalCommand(int command);
    void updateFileMenu();
    void updatePageMenu();

    void tabChanged(int index);
    void periodAccepted();
    void find(int kind);
    void copyAll();
    void showFilterDialog();
    void printJournal();
    PrintOutcome print(const std::function<PrintOutcome(PrintDevice&, PrintQuestions&,
                                                        const PageSwitchHooks&)>& job);

    QAbstractItemView* viewOf(Tab tab) const;

    Platform& m_platform;
    Application m_app;
    std::string m_settingsPath;
    FilterBox m_filterBox;
    int m_frozen = 0;
    unsigned m_thawing = 0; // the models frozen since the last thaw
    bool m_syncing = false;

    QTabWidget* m_pages = nullptr;
    std::array<QAbstractItemView*, kTabCount> m_views{};
    std::array<BookTreeModel*, kTabCount> m_treeModels{};
    std::array<ReportLinesModel*, kTabCount> m_lineModels{};
    PeriodBox* m_periodBox = nullptr;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QMenu* m_pageMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_lastFileAction = nullptr;
    QAction* m_comparisonAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_basicDataAction = nullptr;
    QAction* m_maintenanceAction = nullptr;
    QAction* m_checkAction = nullptr;
    QDialog* m_checkDialog = nullptr;
    QPlainTextEdit* m_checkText = nullptr;
    QAction* m_intermediateAction = nullptr;
    QAction* m_filterAction = nullptr;
    QAction* m_findNextAction = nullptr;
    QAction* m_printAction = nullptr; // pages 0, 1, 3, 4, 5
    QMenu* m_printMenu = nullptr;     // page 2: "Tulosta" and "Tiliote.."
    PrinterChooser m_choosePrinter;
    VoucherDialog* m_voucherDialog = nullptr;
    QAction* m_vatSplitAction = nullptr; // "Alv-erittely" in "Tosite" and the voucher row menu
    AccountDialog* m_accountDialog = nullptr;
    VatTextsDialog* m_vatTextsDialog = nullptr;
    QMenu* m_journalMenu = nullptr;
    QMenu* m_printSettingsMenu = nullptr;
    QAction* m_tabStopsAction = nullptr;
    TabStopBar* m_tabStopBar = nullptr;
    std::array<QAction*, kPrintItemCount> m_printSettingsActions{};
    FontChooser m_chooseFont;
    QAction* m_undoAction = nullptr;
    QLabel* m_statusLabel = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_renumberSeparator = nullptr;
    QAction* m_renumberAction = nullptr;

    std::array<QAction*, kRecentFileCount> m_recentActions{};
    QMenu* m_voucherMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QString m_helpFile;
    HelpWindow* m_helpWindow = nullptr;
};

} // namespace kp
