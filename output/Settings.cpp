// The settings file: an INI reader and writer, every setting with its default, where the file
// lives, and the print-settings menu of the statement pages.
#include "output/Settings.h"

#include "book/BookQueries.h"
#include "book/FileIo.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kp {
namespace {

namespace fs = std::filesystem;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool QuotedAtBothEnds(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

// Blanks at the ends of a value would be lost on reading, and so would quotes around it: such a
// value is written inside one more pair of quotes.
std::string EncodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()) || QuotedAtBothEnds(text)))
        return '"' + text + '"';
    return text;
}

std::string DecodeValue(std::string_view raw) {
    std::string_view value = TrimBlanks(raw);
    if (QuotedAtBothEnds(value))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        // Lead byte: how many continuation bytes follow, and the least value that needs them.
        size_t extra = 0;
        char32_t least = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            least = 0x10000;
        } else {
            return false;
        }
        char32_t c = b & (0x3F >> extra);
        if (s.size() - i <= extra)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8 that any editor
        // writes; a file holding them is taken for Windows-1252.
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// A text that is Windows-1252 in memory (a VAT text, the filter heading). A value holding a
// character that Windows-1252 cannot hold counts as missing.
std::string ReadNodeText(const IniFile& ini, std::string_view section, std::string_view key,
                         std::string_view fallback) {
    const std::optional<std::string> value = ini.value(section, key);
    std::string text;
    if (!value || !Utf8ToWin1252(*value, text))
        return std::string(fallback);
    return text;
}

std::string TabKey(size_t stop) {
    return "Tab" + std::to_string(stop);
}

void ReadTabs(const IniFile& ini, std::string_view section, TabStops& tabs) {
    for (size_t i = 0; i < tabs.size(); ++i)
        tabs[i] = ini.readInteger(section, TabKey(i), tabs[i]);
}

void WriteTabs(IniFile& ini, std::string_view section, const TabStops& tabs) {
    for (size_t i = 0; i < tabs.size(); ++i)
        ini.writeInteger(section, TabKey(i), tabs[i]);
}

// A VAT text equal to its class name is written only over an earlier change, so that setting a
// text back to the name undoes that change and a text never changed leaves no key.
void WriteVatText(IniFile& ini, std::string_view section, size_t vatClass, std::string_view text) {
    const VatCode& row = kVatCodes[vatClass];
    if (text != row.defaultName || ini.has(section, row.code))
        ini.write(section, row.code, Win1252ToUtf8(text));
}

constexpr std::string_view kAlvDrop = "AlvDrop";
constexpr std::string_view kAlvList = "AlvList";
constexpr std::string_view kLedgerSection = "Paakirja";
// The voucher box's own switches.
constexpr std::string_view kVoucherSection = "Tosite";
constexpr std::string_view kJournalSection = "Paivakirja";

// The setting an item edits; S is PrintSettings or const PrintSettings.
template <class S> auto& Field(PrintItem item, S& settings) {
    switch (item) {
    case PrintItem::Left:
        return settings.leftMargin;
    case PrintItem::Top:
        return settings.topMargin;
    case PrintItem::Right:
        return settings.rightMargin;
    case PrintItem::Bottom:
        return settings.bottomMargin;
    case PrintItem::RowSpace:
        return settings.rowSpace;
    case PrintItem::HeadingRows:
        break;
    }
    return settings.headingRows;
}

} // namespace

// --- INI file ------------------------------------------------------------------------------

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    ini.m_sections.emplace_back();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view trimmed = TrimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            if (close != std::string_view::npos) {
                ini.m_sections.push_back(
                    {std::string(TrimBlanks(trimmed.substr(1, close - 1))), std::string(line), {}});
                continue;
            }
        }
        Line entry{std::string(line), false, {}, {}};
        const size_t equals = trimmed.find('=');
        if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#' &&
            equals != std::string_view::npos) {
            const std::string_view key = TrimBlanks(trimmed.substr(0, equals));
            if (!key.empty()) {
                entry.entry = true;
                entry.key = key;
                entry.value = DecodeValue(trimmed.substr(equals + 1));
            }
        }
        ini.m_sections.back().lines.push_back(std::move(entry));
    }
    return ini;
}

std::string IniFile::text() const {
    std::string out;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        const Section& section = m_sections[s];
        if (s > 0)
            out.append(section.header).append("\n");
        for (const Line& line : section.lines) {
            if (line.entry && line.text.empty())
                out.append(line.key).append("=").append(EncodeValue(line.value)).append("\n");
            else
                out.append(line.text).append("\n");
        }
    }
    return out;
}

const IniFile::Line* IniFile::find(std::string_view section, std::string_view key) const {
    for (size_t s = 1; s < m_sections.size(); ++s) {
        if (!EqualsIgnoringAsciiCase(m_sections[s].name, section))
            continue;
        for (const Line& line : m_sections[s].lines)
            if (line.entry && EqualsIgnoringAsciiCase(line.key, key))
                return &line;
        return nullptr;
    }
    return nullptr;
}

bool IniFile::has(std::string_view section, std::string_view key) const {
    return find(section, key) != nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    if (const Line* line = find(section, key))
        return line->value;
    return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    if (const Line* line = find(section, key))
        return line->value;
    return std::string(fallback);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
    const Line* line = find(section, key);
    if (!line)
        return fallback;
    return ParseInteger(line->value).value_or(fallback);
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = nullptr;
    for (size_t s = 1; s < m_sections.size() && !target; ++s)
        if (EqualsIgnoringAsciiCase(m_sections[s].name, section))
            target = &m_sections[s];
    if (!target) {
        // An empty line before a new section, as people write these files by hand.
        std::vector<Line>& previous = m_sections.back().lines;
        const bool startOfFile = m_sections.size() == 1 && previous.empty();
        if (!startOfFile && (previous.empty() || !TrimBlanks(previous.back().text).empty() ||
                             previous.back().entry))
            previous.push_back({});
        m_sections.push_back({std::string(section), "[" + std::string(section) + "]", {}});
        target = &m_sections.back();
    }
    for (Line& line : target->lines) {
        if (line.entry && EqualsIgnoringAsciiCase(line.key, key)) {
            line.text.clear();
            line.value = value;
            return;
        }
    }
    // After the section's last line that is not empty, so that the empty lines that part it from
    // the next section stay between them.
    auto at = target->lines.end();
    while (at != target->lines.begin() && !(at - 1)->entry && TrimBlanks((at - 1)->text).empty())
        --at;
    target->lines.insert(at, {{}, true, std::string(key), std::string(value)});
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    write(section, key, std::to_string(value));
}

std::optional<int> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{2147483648})
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::int64_t{2147483647})
        return std::nullopt;
    return static_cast<int>(value);
}

std::string SettingsFileText(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Win1252ToUtf8(bytes);
}

// --- the settings ----------------------------------------------------------------------------

namespace {

std::string RecentKey(size_t i) {
    return "Recent" + std::to_string(i + 1);
}

// Reading the file keeps its order; a name listed twice counts once.
void RememberRecentFileAtEnd(std::vector<std::string>& recent, const std::string& fileName) {
    if (recent.size() < kRecentFileCount &&
        std::find(recent.begin(), recent.end(), fileName) == recent.end())
        recent.push_back(fileName);
}

} // namespace

std::array<PrintSettings, kPrintPageCount> DefaultPrintSettings() {
    std::array<PrintSettings, kPrintPageCount> print;
    print[2].fontSize = kLedgerPrintFontSize;
    return print;
}

void RememberRecentFile(std::vector<std::string>& recent, const std::string& fileName) {
    if (fileName.empty())
        return;
    recent.erase(std::remove(recent.begin(), recent.end(), fileName), recent.end());
    recent.insert(recent.begin(), fileName);
    if (recent.size() > kRecentFileCount)
        recent.resize(kRecentFileCount);
}

Settings ParseSettings(std::string_view bytes) {
    const IniFile ini = IniFile::parse(SettingsFileText(bytes));
    Settings settings;
    for (size_t page = 0; page < kPageSections.size(); ++page) {
        const std::string_view section = kPageSections[page];
        PrintSettings& print = settings.print[page];
        print.leftMargin = ini.readInteger(section, "LeftMargin", print.leftMargin);
        print.topMargin = ini.readInteger(section, "TopMargin", print.topMargin);
        print.rightMargin = ini.readInteger(section, "RightMargin", print.rightMargin);
        print.bottomMargin = ini.readInteger(section, "BottomMargin", print.bottomMargin);
        print.fontName = ini.readString(section, "FontName", print.fontName);
        print.fontSize = ini.readInteger(section, "FontSize", print.fontSize);
        print.rowSpace = ini.readInteger(section, "RowSpace", print.rowSpace);
        print.headingRows = ini.readInteger(section, "OtsRows", print.headingRows);
    }
    ReadTabs(ini, kJournalSection, settings.journalTabs);
    ReadTabs(ini, kLedgerSection, settings.ledgerTabs);
    settings.lastName = ini.readString("Files", "LastName", "");
    // The recent books have keys of their own beside LastName, which keeps its meaning.
    for (size_t i = 0; i < kRecentFileCount; ++i) {
        const std::string name = ini.readString("Files", RecentKey(i), "");
        if (!name.empty())
            RememberRecentFileAtEnd(settings.recentFiles, name);
    }
    for (size_t k = 0; k < kVatCodes.size(); ++k) {
        const VatCode& row = kVatCodes[k];
        settings.vat.dropDown[k] = ReadNodeText(ini, kAlvDrop, row.code, row.defaultName);
        settings.vat.report[k] = ReadNodeText(ini, kAlvList, row.code, row.defaultName);
    }
    settings.vat.deductibleCaption =
        ReadNodeText(ini, kAlvList, "VahennVero", settings.vat.deductibleCaption);
    settings.vat.payableCaption =
        ReadNodeText(ini, kAlvList, "MaksetVero", settings.vat.payableCaption);
    settings.intermediateBalances = ini.readInteger(kLedgerSection, "ValiSaldot", 0) != 0;
    settings.filterHeading = ReadNodeText(ini, "Texts", "SuodOtsikko", settings.filterHeading);
    settings.vatSplit = ini.readInteger(kVoucherSection, "AlvErittely", 1) != 0;
    return settings;
}

std::string SettingsBytes(const Settings& settings, std::string_view existingBytes) {
    IniFile ini = IniFile::parse(SettingsFileText(existingBytes));
    for (size_t page = 0; page < kPageSections.size(); ++page) {
        const std::string_view section = kPageSections[page];
        const PrintSettings& print = settings.print[page];
        ini.writeInteger(section, "LeftMargin", print.leftMargin);
        ini.writeInteger(section, "TopMargin", print.topMargin);
        ini.writeInteger(section, "RightMargin", print.rightMargin);
        ini.writeInteger(section, "BottomMargin", print.bottomMargin);
        ini.write(section, "FontName", print.fontName);
        ini.writeInteger(section, "FontSize", print.fontSize);
        ini.writeInteger(section, "RowSpace", print.rowSpace);
        ini.writeInteger(section, "OtsRows", print.headingRows);
    }
    WriteTabs(ini, kJournalSection, settings.journalTabs);
    WriteTabs(ini, kLedgerSection, settings.ledgerTabs);
    ini.write("Files", "LastName", settings.lastName);
    for (size_t i = 0; i < kRecentFileCount; ++i) {
        const std::string key = RecentKey(i);
        if (i < settings.recentFiles.size())
            ini.write("Files", key, settings.recentFiles[i]);
        else if (ini.has("Files", key))
            ini.write("Files", key, "");
    }
    // The "-" class is read but never written.
    for (size_t k = 1; k < kVatCodes.size(); ++k) {
        WriteVatText(ini, kAlvDrop, k, settings.vat.dropDown[k]);
        WriteVatText(ini, kAlvList, k, settings.vat.report[k]);
    }
    ini.write(kAlvList, "VahennVero", Win1252ToUtf8(settings.vat.deductibleCaption));
    ini.write(kAlvList, "MaksetVero", Win1252ToUtf8(settings.vat.payableCaption));
    ini.writeInteger(kLedgerSection, "ValiSaldot", settings.intermediateBalances ? 1 : 0);
    ini.write("Texts", "SuodOtsikko", Win1252ToUtf8(settings.filterHeading));
    ini.writeInteger(kVoucherSection, "AlvErittely", settings.vatSplit ? 1 : 0);
    return ini.text();
}

Settings ReadSettings(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        bytes.clear();
    return ParseSettings(bytes);
}

FileResult WriteSettings(const Settings& settings, const std::string& path) {
    std::string existing;
    if (!ReadWholeFile(path, existing))
        existing.clear();
    const fs::path folder = fs::path(path).parent_path();
    std::error_code error;
    if (!folder.empty())
        fs::create_directories(folder, error);
    if (FileResult r = WriteFileReplacing(path, SettingsBytes(settings, existing)); !r)
        return FileResult::failure("Asetuksia ei voitu tallentaa tiedostoon " + path + "\n" +
                                   r.message);
    return FileResult::success();
}

// --- where the file lives --------------------------------------------------------------------

SettingsEnvironment SystemSettingsEnvironment() {
    SettingsEnvironment environment;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"))
        environment.configHome = config;
    if (const char* home = std::getenv("HOME"))
        environment.home = home;
    environment.fileExists = [](const std::string& name) {
        std::error_code error;
        return fs::is_regular_file(name, error);
    };
    return environment;
}

std::string SettingsPath(std::string_view programPath,
                         std::optional<std::string_view> firstArgument,
                         const SettingsEnvironment& environment) {
    const fs::path program{std::string(programPath)};
    fs::path name;
    if (firstArgument && !firstArgument->empty())
        name = std::string(*firstArgument) + ".ini";
    else if (program.has_filename())
        name = fs::path(program.filename()).replace_extension(".ini");
    else
        name = "kirjanpito.ini";
    if (name.is_absolute())
        return name.string();

    const fs::path beside = program.parent_path() / name;
    if (environment.fileExists && environment.fileExists(beside.string()))
        return beside.string();
    // Configuration folders named by a relative path are to be ignored.
    fs::path config;
    if (!environment.configHome.empty() && fs::path(environment.configHome).is_absolute())
        config = environment.configHome;
    else if (!environment.home.empty())
        config = fs::path(environment.home) / ".config";
    else
        return beside.string();
    return (config / "kirjanpito" / name).string();
}

// --- the print-settings menu -------------------------------------------------------------------

std::array<std::string, kPrintItemCount> PrintMenuCaptions(const PrintSettings& settings) {
    return {"Vas = " + std::to_string(settings.leftMargin) + " mm",
            "Yl\xC3\xA4 = " + std::to_string(settings.topMargin) + " mm",
            "Oik = " + std::to_string(settings.rightMargin) + " mm",
            "Ala = " + std::to_string(settings.bottomMargin) + " mm",
            "V\xC3\xA4li = " + std::to_string(settings.rowSpace) + " mm",
            "Ots.rivit = " + std::to_string(settings.headingRows)};
}

std::optional<PrintItem> MarginItemOfTag(int tag) {
    if (tag < 0 || tag > 3)
        return std::nullopt;
    return static_cast<PrintItem>(tag);
}

InputRequest PrintInputRequest(PrintItem item, const PrintSettings& settings) {
    const std::string preset = std::to_string(Field(item, settings));
    switch (item) {
    case PrintItem::Left:
        return {"Print Page Marginal", "Left", preset};
    case PrintItem::Top:
        return {"Print Page Marginal", "Top", preset};
    case PrintItem::Right:
        return {"Print Page Marginal", "Right", preset};
    case PrintItem::Bottom:
        return {"Print Page Marginal", "Bottom", preset};
    case PrintItem::RowSpace:
        return {"Printtausasetus", "Rivien v\xC3\xA4lirako", preset};
    case PrintItem::HeadingRows:
        break;
    }
    return {"Printtausasetus", "Otsikkorivit kpl", preset};
}

bool ApplyPrintInput(PrintItem item, const std::optional<std::string>& answer,
                     PrintSettings& settings) {
    if (!answer)
        return false;
    const std::optional<int> value = ParseInteger(*answer);
    if (!value)
        return false;
    Field(item, settings) = *value;
    return true;
}

bool EditPrintSetting(PrintItem item, PrintSettings& settings, const AskInput& ask) {
    return ApplyPrintInput(item, ask(PrintInputRequest(item, settings)), settings);
}

FontChoice FontPreset(const PrintSettings& settings) {
    return {settings.fontName, settings.fontSize};
}

void ApplyFontChoice(const std::optional<FontChoice>& choice, PrintSettings& settings) {
    if (!choice)
        return;
    settings.fontName = choice->name;
    settings.fontSize = choice->size;
}

EditMenuState EditMenu(int currentPage, bool tabEditorVisible, bool filterBoxChecked,
                       bool searchActive) {
    return {currentPage == 2, tabEditorVisible, filterBoxChecked, searchActive};
}

} // namespace kp
