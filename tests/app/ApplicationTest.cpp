// The main window's logic driven through a scripted platform: open, save, the unsaved-changes
// prompt, the comparison book and lazy page building.
#include "app/Application.h"

#include "app/PageHint.h"
#include "book/FileIo.h"
#include "output/JournalListing.h"
#include "tests/app/ScriptedPlatform.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kSource = KP_SOURCE_DIR;
const std::string kBook = kSource + "/examples/esimerkki-2026.tlk";
const std::string kLastYear = kSource + "/examples/esimerkki-2025.tlk";

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kp-app-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(kBook, m_dir / "book.tlk");
        m_platform.existing.insert(path("book.tlk"));
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    void openChanged() {
        ASSERT_TRUE(m_app.openBook(path("book.tlk")));
        m_app.state().markBookChanged();
    }

    fs::path m_dir;
    ScriptedPlatform m_platform;
    Application m_app{m_platform};
};

TEST_F(ApplicationTest, OpeningShowsTheJournalAndTheTitle) {
    EXPECT_FALSE(m_app.pageControlVisible());
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    EXPECT_TRUE(m_app.pageControlVisible());
    EXPECT_EQ(m_app.title(), "Kirjanpito Esimerkki Oy 01.01.2026 - 31.12.2026");
    EXPECT_EQ(m_app.activeTab(), Tab::Journal);
    EXPECT_EQ(m_app.journal().root()->childCount(), 61);
    EXPECT_FALSE(m_app.state().isStale(Stale::Journal));
    EXPECT_FALSE(m_app.state().isStale(Stale::AccountIndex));
    EXPECT_TRUE(m_app.state().isStale(Stale::Chart)); // built only when shown
    EXPECT_EQ(m_app.state().periods.latestEventPeriod, MakePeriod(2026, 12));
    EXPECT_TRUE(m_platform.shown.empty());
}

TEST_F(ApplicationTest, AFailedOpenKeepsTheOpenBookAndADamagedOneIsOpenedOnlyOnRequest) {
    std::string whole;
    ASSERT_TRUE(ReadWholeFile(path("book.tlk"), whole));
    const std::string cut = whole.substr(0, whole.size() / 2);
    WriteFileReplacing(path("cut.tlk"), cut);
    const std::string damage = "Kirjatiedosto " + path("cut.tlk") +
                               " on vaurioitunut: tiedosto loppuu kesken (kohta " +
                               std::to_string(cut.size()) + ").";
    const struct {
        const char* name;
        const char* file;
        Answer answer; // to "Avataanko silti?"
        bool opened;   // the damaged or missing book replaced the open one
        const char* shown;
    } cases[] = {{"missing file", "missing.tlk", Answer::No, false, "Cannot open file "},
                 {"damaged, not opened", "cut.tlk", Answer::No, false, nullptr},
                 {"damaged, opened anyway", "cut.tlk", Answer::Yes, true, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_app.openBook(path("book.tlk")));
        const size_t nodes = m_app.state().openBook.count();
        m_platform.shown.clear();
        m_platform.asked.clear();
        m_platform.answers = {c.answer};
        EXPECT_EQ(m_app.openBook(path(c.file)), c.opened);
        EXPECT_EQ(m_app.state().openBook.count() < nodes, c.opened);
        EXPECT_EQ(m_app.fileName(), path(c.opened ? c.file : "book.tlk"));
        ASSERT_EQ(m_platform.shown.size(), c.shown ? 1u : 0u);
        if (c.shown)
            EXPECT_EQ(m_platform.shown[0], c.shown + path(c.file));
        else
            EXPECT_EQ(m_platform.asked.at(0).rfind(damage + "\n\nAvataanko silti?", 0), 0u);
    }
    // The salvaged book is saved only under a chosen name; the damaged file itself only after
    // a second question.
    m_platform.existing.insert(path("cut.tlk"));
    m_platform.saveFiles = {path("cut.tlk"), path("korjattu.tlk")};
    m_platform.answers = {Answer::No};
    EXPECT_FALSE(m_app.saveCommand(false));
    EXPECT_TRUE(m_app.saveCommand(false));
    EXPECT_EQ(m_app.fileName(), path("korjattu.tlk"));
    std::string untouched;
    ASSERT_TRUE(ReadWholeFile(path("cut.tlk"), untouched));
    EXPECT_EQ(untouched, cut);
}

TEST_F(ApplicationTest, ALargeBookIsReadBehindAProgressBoxThatCanCancel) {
    std::string whole;
    ASSERT_TRUE(ReadWholeFile(path("book.tlk"), whole));
    whole.append(kLongReadBytes, ' '); // blanks after the book are no damage
    WriteFileReplacing(path("big.tlk"), whole);
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "read");
        ASSERT_TRUE(m_app.openBook(path("book.tlk")));
        m_platform.longWork.clear();
        m_platform.cancelLong = cancel;
        EXPECT_EQ(m_app.openBook(path("big.tlk")), !cancel);
        EXPECT_EQ(m_app.fileName(), path(cancel ? "book.tlk" : "big.tlk"));
        EXPECT_EQ(m_platform.longWork,
                  std::vector<std::string>{"Luetaan kirjaa " + path("big.tlk") + "\u2026"});
        EXPECT_TRUE(m_platform.shown.empty());
    }
}

TEST_F(ApplicationTest, UnsavedChangesPromptAnswers) {
    const struct {
        const char* name;
        Answer answer;
        std::optional<std::string> saveAs; // the save chooser's result, when it is asked
        bool fileExists;
        Answer expected;
        bool savedOnDisk;
    } rows[] = {
        {"no discards", Answer::No, std::nullopt, true, Answer::No, false},
        {"cancel keeps", Answer::Cancel, std::nullopt, true, Answer::Cancel, false},
        {"yes saves over the file", Answer::Yes, std::nullopt, true, Answer::Yes, true},
        {"yes but the name choice is cancelled", Answer::Yes, std::nullopt, false, Answer::Cancel,
         false},
        {"yes but the save fails", Answer::Yes, std::string("/nonexistent/dir/x.tlk"), false,
         Answer::Cancel, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        openChanged();
        fs::last_write_time(path("book.tlk"), fs::file_time_type{});
        if (!row.fileExists)
            m_platform.existing.clear();
        m_platform.answers = {row.answer};
        m_platform.saveFiles = {row.saveAs};
        EXPECT_EQ(m_app.askSaveChanges(), row.expected);
        EXPECT_EQ(m_app.state().unsavedChanges, !row.savedOnDisk);
        EXPECT_EQ(fs::last_write_time(path("book.tlk")) != fs::file_time_type{}, row.savedOnDisk);
        m_platform.existing.insert(path("book.tlk"));
        m_platform.shown.clear();
    }
}

TEST_F(ApplicationTest, NoQuestionWithoutChanges) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    EXPECT_EQ(m_app.askSaveChanges(), Answer::No);
    EXPECT_TRUE(m_platform.asked.empty());
}

TEST_F(ApplicationTest, OpenWithUnsavedChangesCancelledKeepsTheBook) {
    openChanged();
    m_platform.answers = {Answer::Cancel};
    m_platform.openFiles = {kLastYear};
    m_app.openCommand(false);
    EXPECT_EQ(m_app.title(), "Kirjanpito Esimerkki Oy 01.01.2026 - 31.12.2026");
    EXPECT_TRUE(m_app.state().unsavedChanges);
    EXPECT_EQ(m_platform.openFiles.size(), 1u); // the chooser was never shown
}

TEST_F(ApplicationTest, SaveAsWithoutExtensionWritesTheIndentedFormat) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_platform.saveFiles = {path("kopio")};
    ASSERT_TRUE(m_app.saveCommand(true));
    EXPECT_EQ(m_app.fileName(), path("kopio.csv"));
    ASSERT_EQ(m_platform.saveChoices.size(), 1u);
    EXPECT_EQ(m_platform.saveChoices[0].filterIndex, 1);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path("kopio.csv"), text));
    EXPECT_EQ(text.substr(0, 8), "identity");
    EXPECT_NE(text.find("\r\n\tfiscal-year \"Esimerkki Oy\"\r\n"), std::string::npos);
}

TEST_F(ApplicationTest, ComparisonBookMarksOnlyTheStatementsAndClosingMarksAll) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Income);
    m_app.activatePage(Tab::Chart);
    m_app.activatePage(Tab::Journal);
    m_platform.openFiles = {kLastYear};
    m_app.comparisonCommand();
    EXPECT_TRUE(m_app.state().comparisonLoaded);
    EXPECT_EQ(m_app.comparisonCaption(), "Sulje vertailukausi");
    EXPECT_TRUE(m_app.state().isStale(Stale::Statements));
    EXPECT_FALSE(m_app.state().isStale(Stale::Chart));
    m_app.activatePage(Tab::Balance);
    EXPECT_NE(m_app.statements().balance[0].find("\t31.12.2026\t31.12.2025"), std::string::npos);
    m_app.comparisonCommand();
    EXPECT_FALSE(m_app.state().comparisonLoaded);
    // Everything was marked stale; the journal page shown since has rebuilt the index and itself.
    EXPECT_EQ(m_app.state().staleMask(), 0xFFFF & ~(Stale::AccountIndex | Stale::Journal));
    EXPECT_EQ(m_app.activeTab(), Tab::Journal);
}

TEST_F(ApplicationTest, PagesAreRefusedWhilePrinting) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    {
        PageSwitchBlock block(m_app.state());
        EXPECT_FALSE(m_app.activatePage(Tab::Ledger));
        EXPECT_EQ(m_app.activeTab(), Tab::Journal);
    }
    EXPECT_TRUE(m_app.activatePage(Tab::Ledger));
}

TEST_F(ApplicationTest, LedgerWaitsForThePeriodChooser) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Ledger);
    EXPECT_TRUE(m_app.chooser().visible());
    EXPECT_EQ(m_app.chooser().monthIndex(), 12); // the latest voucher month
    EXPECT_TRUE(m_app.ledgerLines().empty());
    EXPECT_TRUE(m_app.state().isStale(Stale::Ledger));
    m_app.periodOk();
    EXPECT_FALSE(m_app.state().isStale(Stale::Ledger));
    ASSERT_GT(m_app.ledgerLines().size(), 3u);
    EXPECT_EQ(m_app.ledgerLines()[1], "\x02P\xE4\xE4kirja Joulukuu ");
    EXPECT_EQ(m_app.state().lineSource, &m_app.ledgerLines());
}

TEST_F(ApplicationTest, SavingTextOnTheJournalPageWritesTheJournalListing) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Ledger);
    m_app.periodOk();
    m_app.activatePage(Tab::Journal);
    const ReportLines lines = m_app.pageLines();
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[1], "\x02P\xE4iv\xE4kirja Koko kausi ");
    EXPECT_EQ(lines.back().substr(0, 21), "\x1F\t\tKoko kausi yhteens");
    // Lines opened in the view and lines still pending list as the book's own lines do.
    m_app.journal().makeLines(m_app.journal().root()->child(1));
    const auto columns = std::find_if(lines.begin(), lines.end(), [](std::string_view line) {
        return line.starts_with(kBoldUnderlineMarker);
    });
    const ReportLines fromBook =
        BuildJournalListing(JournalSource{m_app.index(), m_app.index().events(), nullptr},
                            ReportLines(lines.begin(), columns), "Koko kausi", 0);
    EXPECT_EQ(m_app.pageLines(), fromBook);
}

TEST_F(ApplicationTest, SavingAPageAsTextProposesItsCaptionAndKeepsTheBookName) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Balance);
    m_platform.saveFiles = {path("tase")};
    ASSERT_TRUE(m_app.saveLinesCommand());
    ASSERT_EQ(m_platform.saveChoices.size(), 1u);
    EXPECT_EQ(m_platform.saveChoices[0].fileName, path("Tase.csv"));
    EXPECT_EQ(m_platform.saveChoices[0].filterIndex, 2);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path("tase.csv"), text));
    EXPECT_EQ(text.substr(0, 14), "Esimerkki Oy 0");
    EXPECT_EQ(m_app.fileName(), path("book.tlk"));

    m_platform.saveFiles = {std::nullopt};
    EXPECT_FALSE(m_app.saveLinesCommand()); // a cancelled choice writes nothing
    m_platform.saveFiles = {path("missing-folder/x.csv")};
    EXPECT_FALSE(m_app.saveLinesCommand());
    EXPECT_EQ(
        m_platform.shown.back().rfind("Cannot create file " + path("missing-folder/x.csv"), 0), 0u);
}

// "Vie taulukkoon…": .xlsx unless the name chosen ends in .csv; the book's name stays.
TEST_F(ApplicationTest, ExportingAPageWritesASpreadsheetFile) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Income);
    const struct {
        const char* chosen;
        const char* written; // empty: nothing written, an error shown
        const char* start;
    } rows[] = {
        {"tulos", "tulos.xlsx", "PK\x03\x04"},
        {"tulos.CSV", "tulos.CSV",
         "\xEF\xBB\xBF"
         "Esimerkki Oy"},
        {"missing-folder/x.xlsx", "", ""},
    };
    for (const auto& row : rows) {
        m_platform.saveFiles = {path(row.chosen)};
        m_platform.shown.clear();
        EXPECT_EQ(m_app.exportSheetCommand(), *row.written != 0) << row.chosen;
        std::string bytes;
        if (*row.written) {
            ASSERT_TRUE(ReadWholeFile(path(row.written), bytes)) << row.chosen;
            EXPECT_EQ(bytes.rfind(row.start, 0), 0u) << row.chosen;
        } else {
            ASSERT_EQ(m_platform.shown.size(), 1u) << row.chosen;
        }
    }
    EXPECT_EQ(m_platform.saveChoices.back().fileName, path("Tuloslaskelma.xlsx"));
    EXPECT_EQ(m_app.fileName(), path("book.tlk"));
    m_platform.saveFiles = {std::nullopt};
    EXPECT_FALSE(m_app.exportSheetCommand()); // a cancelled choice writes nothing
}

TEST_F(ApplicationTest, CopyingPutsThePageOnTheClipboardAsText) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Income);
    m_app.copyLinesCommand();
    EXPECT_EQ(m_platform.clipboard.substr(0, 33), "Esimerkki Oy 01.01.2026 - 31.12.2");
    EXPECT_NE(m_platform.clipboard.find("Tuloslaskelma  \r\n"), std::string::npos);
}

// A double click on a statement page puts a new title on its second line.
TEST_F(ApplicationTest, RetitlingAStatementPage) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.activatePage(Tab::Balance);
    const std::string title(m_app.statements().balance[1]);
    m_platform.inputs = {std::nullopt, "Tase 2026 \u20ac", "Tase \u0101"};
    EXPECT_FALSE(m_app.retitlePage(Tab::Balance)); // cancelled
    EXPECT_EQ(m_app.statements().balance[1], title);
    EXPECT_TRUE(m_app.retitlePage(Tab::Balance));
    EXPECT_EQ(m_app.statements().balance[1], "Tase 2026 \x80");
    EXPECT_FALSE(m_app.retitlePage(Tab::Balance)); // a letter the book's code page lacks
    EXPECT_EQ(m_app.statements().balance[1], "Tase 2026 \x80");
    EXPECT_EQ(m_platform.shown.size(), 1u);
    EXPECT_FALSE(m_app.retitlePage(Tab::Ledger)); // empty until a period is chosen
}

// On the journal page the period is asked first, and only its OK copies the listing.
TEST_F(ApplicationTest, CopyingTheJournalAsksThePeriodFirst) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_app.copyLinesCommand();
    EXPECT_TRUE(m_platform.clipboard.empty());
    ASSERT_TRUE(m_app.chooser().visible());
    EXPECT_EQ(m_app.chooser().request().tag, 1);
    m_app.periodOk();
    m_app.copyJournal();
    EXPECT_NE(m_platform.clipboard.find("P\u00e4iv\u00e4kirja"), std::string::npos);
    EXPECT_NE(m_platform.clipboard.find("\r\n"), std::string::npos);
}

TEST_F(ApplicationTest, PostedVoucherMarksTheBookChangedAndReopeningForgetsTheEditor) {
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    VoucherEditor& editor = m_app.voucherEditor();
    m_app.newVoucherCommand(false, nullptr);
    ASSERT_TRUE(editor.visible());
    EXPECT_EQ(editor.number(), "61"); // the example book's vouchers are 0..60
    editor.dateEnter();
    editor.descriptionEnter();
    for (const char c : std::string("1910\r"))
        editor.chooserType(c);
    for (const char c : std::string("10"))
        editor.gridType(c);
    // Unbalanced: the question goes through the platform, and Cancel keeps the editor open.
    EXPECT_EQ(m_app.voucherOk(), VoucherOk::StayOpen);
    ASSERT_EQ(m_platform.asked.size(), 1u);
    EXPECT_EQ(m_platform.asked[0], "Summien ero -10,00\r Hyväksytäänkö?");
    EXPECT_FALSE(m_app.state().unsavedChanges);

    m_platform.answers.push_back(Answer::Yes);
    EXPECT_EQ(m_app.voucherOk(), VoucherOk::Posted);
    EXPECT_TRUE(m_app.state().unsavedChanges);
    EXPECT_TRUE(m_app.state().isStale(Stale::Ledger));
    EXPECT_EQ(m_app.journal().root()->childCount(), 62);
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(m_app.journal().root()->child(61)->text(), "[61] 31.12.2026: 10,00 < V I R H E ");
    EXPECT_EQ(editor.number(), "62");

    // Editing a voucher, then opening the book again: the editor lets go of the old nodes.
    m_app.editVoucherCommand(m_app.journal().root()->child(3));
    ASSERT_NE(editor.editedEvent(), nullptr);
    m_platform.answers.push_back(Answer::No);
    m_app.openCommand(true);
    EXPECT_FALSE(editor.visible());
    EXPECT_EQ(editor.editedEvent(), nullptr);
    EXPECT_EQ(m_app.journal().root()->childCount(), 61);
}

// A ledger or VAT page whose period chooser was cancelled says how to get its lines.
TEST_F(ApplicationTest, CancelledPeriodChooserLeavesAHint) {
    EXPECT_EQ(EmptyPageHint(m_app), "");
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    EXPECT_EQ(EmptyPageHint(m_app), ""); // the journal
    for (const Tab tab : {Tab::Ledger, Tab::Vat}) {
        m_app.activatePage(tab);
        EXPECT_TRUE(m_app.chooser().visible());
        EXPECT_EQ(EmptyPageHint(m_app), "");
        m_app.periodCancel();
        EXPECT_EQ(EmptyPageHint(m_app), "Valitse jakso: Muokkaa \u2192 P\u00e4ivit\u00e4 sivut");
        m_app.refreshPages(); // opens the chooser again
        EXPECT_TRUE(m_app.chooser().visible());
        m_app.periodOk();
        EXPECT_EQ(EmptyPageHint(m_app), "");
    }
}

// Opened and saved books go to the front of "Tiedosto"'s list; one of them opens again.
TEST_F(ApplicationTest, RecentBooks) {
    Settings settings;
    settings.lastName = path("gone.tlk");
    m_app.applySettings(settings);
    EXPECT_EQ(m_app.recentFiles(), std::vector<std::string>{path("gone.tlk")});
    ASSERT_TRUE(m_app.openBook(path("book.tlk")));
    m_platform.saveFiles.push_back(path("copy.tlk"));
    ASSERT_TRUE(m_app.saveCommand(true));
    EXPECT_EQ(m_app.recentFiles(),
              (std::vector<std::string>{path("copy.tlk"), path("book.tlk"), path("gone.tlk")}));
    EXPECT_EQ(m_app.currentSettings().recentFiles, m_app.recentFiles());
    m_app.openRecentCommand(1);
    EXPECT_EQ(m_app.fileName(), path("book.tlk"));
    EXPECT_EQ(m_app.recentFiles()[0], path("book.tlk"));
    m_platform.openFiles.push_back(path("copy.tlk"));
    m_app.openRecentCommand(2); // gone: the chooser finds another
    EXPECT_EQ(m_app.fileName(), path("copy.tlk"));
    m_app.openRecentCommand(7); // no such entry
    EXPECT_EQ(m_app.fileName(), path("copy.tlk"));
    EXPECT_TRUE(m_platform.shown.empty());
}

} // namespace
} // namespace kp
