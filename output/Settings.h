// The settings file: an INI reader and writer, every setting with its default, where the file
// lives, and the print-settings menu of the statement pages.
#pragma once

#include "book/FileResult.h"
#include "reports/VatReport.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// An INI file held as its lines, so that rewriting it keeps the sections, keys and comments this
// program does not know, in their places. Section and key names compare ignoring ASCII case;
// the first of two equal sections or keys is the one read and written.
class IniFile {
  public:
    // Parses UTF-8 text with LF or CR LF line ends.
    static IniFile parse(std::string_view text);
    // The file's text with LF line ends; lines never written to keep their exact text.
    std::string text() const;

    bool has(std::string_view section, std::string_view key) const;
    // Blanks around the value are dropped, and so is one pair of quotes around it, so that a
    // value written with blanks at its ends reads back as written.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // A missing key, or a value that is not a decimal integer of 32 bits, gives the fallback.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;

    // Replaces the key's value, or appends the key to its section (a new section at the end).
    // Line breaks in the value become blanks: one line holds one key.
    void write(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);

  private:
    struct Line {
        std::string text; // as read; empty once the entry has been written to
        bool entry = false;
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::string header; // "[name]" as read; none for the lines before the first section
        std::vector<Line> lines;
    };
    const Line* find(std::string_view section, std::string_view key) const;

    std::vector<Section> m_sections; // the first one holds the lines before any section
};

// A decimal integer of 32 bits with an optional sign and blanks around it, as typed into an
// input box or read from the file.
std::optional<int> ParseInteger(std::string_view text);

// The text of a settings file as UTF-8: a file that is not valid UTF-8 was written by an older
// installation in Windows-1252. A UTF-8 byte-order mark is dropped.
std::string SettingsFileText(std::string_view bytes);

// --- the settings -------------------------------------------------------------------------

// The statement pages' sections, in page order (chart, journal, ledger, income statement,
// balance sheet, VAT).
inline constexpr int kPrintPageCount = 6;
inline constexpr std::array<std::string_view, kPrintPageCount> kPageSections = {
    "Tilikartta", "Paivakirja", "Paakirja", "Tulos", "Tase", "Alv"};

// How one statement page prints.
struct PrintSettings {
    int leftMargin = 10; // millimetres
    int topMargin = 10;
    int rightMargin = 10;
    int bottomMargin = 10;
    std::string fontName = "Arial"; // UTF-8: a name the platform's fonts know
    int fontSize = 10;              // points
    int rowSpace = 2;               // extra gap between lines, hundredths of an inch
    int headingRows = 2;            // first lines of the page repeated on every further sheet

    friend bool operator==(const PrintSettings&, const PrintSettings&) = default;
};

// Every page prints in Arial 10 pt but the ledger, whose eight columns need 9 pt to fit a
// description and a date side by side on a portrait sheet.
inline constexpr int kLedgerPrintFontSize = 9;
std::array<PrintSettings, kPrintPageCount> DefaultPrintSettings();

// Nine stops in thousandths of the line width.
using TabStops = std::array<int, 9>;
inline constexpr TabStops kDefaultTabStops = {0, 10, 250, 400, 550, 750, 870, 990, 1000};
// The ledger's own: the description gets room for its first 30 characters and the date its
// whole width before the debit column, in the print font below as on screen; the account name
// of a block's first line still reaches over the voucher column.
inline constexpr TabStops kDefaultLedgerTabStops = {0, 10, 190, 290, 640, 750, 870, 990, 1000};

inline constexpr std::string_view kDefaultFilterHeading = "PROJEKTI";

// "Tiedosto" lists this many of the books opened or saved last.
inline constexpr size_t kRecentFileCount = 5;
// A book opened or saved goes to the front of the list; the same name never stands twice.
void RememberRecentFile(std::vector<std::string>& recent, const std::string& fileName);

struct Settings {
    std::array<PrintSettings, kPrintPageCount> print = DefaultPrintSettings(); // by page
    TabStops journalTabs = kDefaultTabStops;      // the journal printout
    TabStops ledgerTabs = kDefaultLedgerTabStops; // the ledger page
    std::string lastName;                         // UTF-8 file name; proposed by both dialogs
    std::vector<std::string> recentFiles; // UTF-8, the latest first, at most kRecentFileCount
    VatTextSet vat;
    bool intermediateBalances = false; // running balances in the ledger ("Välisaldot")
    std::string filterHeading{kDefaultFilterHeading}; // Windows-1252, like the titles it goes in
    bool vatSplit = true; // "Alv-erittely": gross amounts on VAT accounts split on entry

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Every setting from a file's bytes; what is missing or unreadable keeps its default.
Settings ParseSettings(std::string_view bytes);
// The bytes to write: the existing file's bytes (empty when there is none) with every setting
// written over them. The VAT texts of the classes other than "-" are written only when they
// differ from the class name or the file already holds their key, so that the file names only
// texts the user has changed at some time.
std::string SettingsBytes(const Settings& settings, std::string_view existingBytes);

// At start-up; never fails: a missing file gives the defaults.
Settings ReadSettings(const std::string& path);
// On an orderly close and after the VAT texts are confirmed. Creates the file's folder when it
// is missing; the file is replaced whole, so a failed write leaves the old one.
FileResult WriteSettings(const Settings& settings, const std::string& path);

// --- where the file lives -----------------------------------------------------------------

struct SettingsEnvironment {
    std::string configHome; // $XDG_CONFIG_HOME; empty when unset
    std::string home;       // $HOME; empty when unset
    std::function<bool(const std::string&)> fileExists;
};

// The process's environment and file system.
SettingsEnvironment SystemSettingsEnvironment();

// The file's name is the program's file name with its extension replaced by ".ini", or, when
// the program was started with a first argument, that argument followed by ".ini" (a settings
// profile). A file of that name beside the program wins when it exists (a portable install);
// otherwise the file lives in the user's configuration folder, $XDG_CONFIG_HOME/kirjanpito or
// ~/.config/kirjanpito. An empty first argument counts as none; an absolute one names the file
// itself. programPath should be the program's full path (/proc/self/exe), not argv[0].
std::string SettingsPath(std::string_view programPath,
                         std::optional<std::string_view> firstArgument,
                         const SettingsEnvironment& environment);

// --- the print-settings menu --------------------------------------------------------------

// The items of "Tulostusaset..", in menu order; the four margins carry tags 0..3.
enum class PrintItem : int { Left = 0, Top = 1, Right = 2, Bottom = 3, RowSpace, HeadingRows };
inline constexpr int kPrintItemCount = 6;

// Refreshed as the submenu opens: "Vas = 10 mm", "Ylä = 10 mm", "Oik = 10 mm", "Ala = 10 mm",
// "Väli = 2 mm", "Ots.rivit = 2" (UTF-8). The row gap's caption says mm although the printout
// reads the value as hundredths of an inch; the caption is what users of the program know.
std::array<std::string, kPrintItemCount> PrintMenuCaptions(const PrintSettings& settings);

// The margin item of a margin entry's tag; none for a tag outside 0..3 (the click is ignored).
std::optional<PrintItem> MarginItemOfTag(int tag);

// An input box to show: caption, prompt and preset text, UTF-8.
struct InputRequest {
    std::string caption;
    std::string prompt;
    std::string preset;

    friend bool operator==(const InputRequest&, const InputRequest&) = default;
};
using AskInput = std::function<std::optional<std::string>(const InputRequest&)>;

// The input box of an item, preset with its current value.
InputRequest PrintInputRequest(PrintItem item, const PrintSettings& settings);
// Stores an integer answer as it stands, with no range check (a negative margin too); an
// answer that is not an integer, or a cancelled box (none), keeps the value. True when stored.
bool ApplyPrintInput(PrintItem item, const std::optional<std::string>& answer,
                     PrintSettings& settings);
// Asks for the item's value and applies the answer.
bool EditPrintSetting(PrintItem item, PrintSettings& settings, const AskInput& ask);

// "Fontti..": the font dialog opens with the page's font; OK stores the choice.
struct FontChoice {
    std::string name; // UTF-8
    int size = 10;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};
FontChoice FontPreset(const PrintSettings& settings);
void ApplyFontChoice(const std::optional<FontChoice>& choice, PrintSettings& settings);

// The statement pages' edit menu "Muokkaa" as it opens.
struct EditMenuState {
    bool intermediateBalancesVisible = false; // "Välisaldot": only on the ledger page
    bool tabStopsChecked = false;             // "Tabul.paikat": the tab editor is shown
    bool filterChecked = false;               // "Suodatin": the filter box's check
    bool findNextVisible = false;             // "Etsi seuraava": only while a search is on
};
EditMenuState EditMenu(int currentPage, bool tabEditorVisible, bool filterBoxChecked,
                       bool searchActive);

} // namespace kp
