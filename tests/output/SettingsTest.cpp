// The settings file: INI reading and writing, every setting, the VAT-text rule, the path, menus.
#include "output/Settings.h"

#include "book/FileIo.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace kp {
namespace {

namespace fs = std::filesystem;

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

// The lines of one section of a file's text, without the header and the empty lines.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section) {
    std::vector<std::string> lines;
    bool inside = false;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        const std::string line = text.substr(pos, end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.front() == '[')
            inside = line == "[" + section + "]";
        else if (inside && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Every setting away from its default, with texts that need care in the file.
Settings Changed() {
    Settings s;
    for (int page = 0; page < kPrintPageCount; ++page) {
        PrintSettings& p = s.print[static_cast<size_t>(page)];
        p = {page + 1, page + 2, -page, page + 4, "DejaVu Sans " + std::to_string(page),
             page + 8, page + 9, page};
    }
    s.journalTabs = {0, 20, 200, 300, 500, 700, 800, 900, 1000};
    s.ledgerTabs = {0, 30, 260, 410, 560, 760, 880, 995, 1000};
    s.lastName = "/home/k\xC3\xA4ytt\xC3\xA4j\xC3\xA4/kirjat/2024 \"uusi\".tlk";
    s.recentFiles = {s.lastName, "/tmp/b.tlk", "c.txt"};
    s.vat.dropDown[1] = "Kotimaan myynti";
    s.vat.report[2] = " Myynnin vero ";      // blanks at both ends
    s.vat.report[3] = "\"lainattu\"";        // quotes at both ends
    s.vat.report[13] = "Rakennus=alv; \x80"; // '=' and ';' in a value, the euro sign
    s.vat.deductibleCaption = "V\xE4hennys";
    s.vat.payableCaption = "";
    s.intermediateBalances = true;
    s.filterHeading = "KOHDE \xC4";
    s.vatSplit = false;
    return s;
}

TEST(Settings, NoFileGivesDefaults) {
    const Settings s = ReadSettings((fs::temp_directory_path() / "kp-no-such.ini").string());
    EXPECT_EQ(s, Settings{});
    for (size_t page = 0; page < s.print.size(); ++page)
        EXPECT_EQ(s.print[page],
                  (PrintSettings{10, 10, 10, 10, "Arial", page == 2 ? 9 : 10, 2, 2}));
    EXPECT_EQ(s.journalTabs, (TabStops{0, 10, 250, 400, 550, 750, 870, 990, 1000}));
    EXPECT_EQ(s.ledgerTabs, (TabStops{0, 10, 190, 290, 640, 750, 870, 990, 1000}));
    EXPECT_EQ(s.vat.report[13], "Ostojen alv rak.palvelu");
    EXPECT_EQ(s.filterHeading, "PROJEKTI");
}

TEST(Settings, RoundTrip) {
    const Settings s = Changed();
    EXPECT_EQ(ParseSettings(SettingsBytes(s, "")), s);
    EXPECT_EQ(ParseSettings(SettingsBytes(Settings{}, SettingsBytes(s, ""))), Settings{});
}

// The five last books: the latest first, each once; their keys stand beside LastName.
TEST(Settings, RecentFiles) {
    std::vector<std::string> recent;
    for (const char* name : {"a", "b", "c", "b", "d", "e", "f", ""})
        RememberRecentFile(recent, name);
    EXPECT_EQ(recent, (std::vector<std::string>{"f", "e", "d", "b", "c"}));

    Settings s;
    s.lastName = "f";
    s.recentFiles = recent;
    const std::string text = SettingsBytes(s, "[Files]\nLastName=old\nRecent5=x\nRecent6=y\n");
    EXPECT_EQ(SectionLines(text, "Files"),
              (std::vector<std::string>{"LastName=f", "Recent5=c", "Recent6=y", "Recent1=f",
                                        "Recent2=e", "Recent3=d", "Recent4=b"}));
    s.recentFiles = {"f"};
    EXPECT_EQ(SectionLines(SettingsBytes(s, text), "Files"),
              (std::vector<std::string>{"LastName=f", "Recent5=", "Recent6=y", "Recent1=f",
                                        "Recent2=", "Recent3=", "Recent4="}));
    EXPECT_EQ(ParseSettings(SettingsBytes(s, text)).recentFiles, std::vector<std::string>{"f"});
    EXPECT_EQ(ParseSettings("[Files]\nRecent1=a\nRecent2=a\nRecent3=b\n").recentFiles,
              (std::vector<std::string>{"a", "b"}));
}

TEST(Settings, WriteCreatesFolderAndReadsBack) {
    const fs::path dir = fs::temp_directory_path() / "kp-settings-write";
    fs::remove_all(dir);
    const std::string path = (dir / "kirjanpito" / "kirjanpito.ini").string();
    ASSERT_TRUE(WriteSettings(Changed(), path));
    EXPECT_EQ(ReadSettings(path), Changed());
    fs::remove_all(dir);
}

TEST(Settings, FileIsUtf8) {
    const std::string text = SettingsBytes(Changed(), "");
    EXPECT_EQ(SectionLines(text, "Texts"), std::vector<std::string>{"SuodOtsikko=KOHDE \xC3\x84"});
}

struct VatRuleCase {
    std::string name;
    std::string existing; // the file before writing
    int dropDownClass;    // changed in memory; -1: none
    std::string dropDownText;
    std::vector<std::string> alvDrop; // the section after writing

    friend void PrintTo(const VatRuleCase& c, std::ostream* os) { *os << c.name; }
};

class VatTextRule : public ::testing::TestWithParam<VatRuleCase> {};

TEST_P(VatTextRule, WrittenOnlyWhenChangedOnce) {
    const VatRuleCase& c = GetParam();
    Settings s;
    if (c.dropDownClass >= 0)
        s.vat.dropDown[static_cast<size_t>(c.dropDownClass)] = c.dropDownText;
    const std::string text = SettingsBytes(s, c.existing);
    EXPECT_EQ(SectionLines(text, "AlvDrop"), c.alvDrop);
    EXPECT_EQ(SectionLines(text, "AlvList"),
              (std::vector<std::string>{"VahennVero=V\xC3\xA4hennett\xC3\xA4v\xC3\xA4 vero",
                                        "MaksetVero=Maksettava vero"}));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, VatTextRule,
    ::testing::Values(
        VatRuleCase{"NeverChanged", "", -1, "", {}},
        VatRuleCase{"ChangedOnlyOne", "", 1, "Kotimaan myynti", {"sales=Kotimaan myynti"}},
        VatRuleCase{
            "ChangedBackStays", "[AlvDrop]\nsales=Kotimaan myynti\n", -1, "", {"sales=Myynti"}},
        VatRuleCase{"DashNeverWritten", "", 0, "ei alv", {}}),
    CaseName<VatRuleCase>);

// The tab stops against a hand-written file and the writer's exact lines, so that reader and
// writer cannot agree on a wrong key between them.
TEST(Settings, TabStopsAreKeysTab0ToTab8) {
    std::string text = "[Paakirja]\n";
    for (int i = 0; i < 9; ++i)
        text += "Tab" + std::to_string(i) + "=" + std::to_string(100 + i) + "\n";
    EXPECT_EQ(ParseSettings(text).ledgerTabs,
              (TabStops{100, 101, 102, 103, 104, 105, 106, 107, 108}));
    std::vector<std::string> written;
    for (const std::string& line : SectionLines(SettingsBytes(Changed(), ""), "Paivakirja"))
        if (line.starts_with("Tab"))
            written.push_back(line);
    EXPECT_EQ(written,
              (std::vector<std::string>{"Tab0=0", "Tab1=20", "Tab2=200", "Tab3=300", "Tab4=500",
                                        "Tab5=700", "Tab6=800", "Tab7=900", "Tab8=1000"}));
}

TEST(Settings, KeyOfOtherCaseIsRewrittenInPlace) {
    const std::string text = SettingsBytes(Settings{}, "[alvdrop]\nSALES=x\n");
    EXPECT_EQ(SectionLines(text, "alvdrop"), std::vector<std::string>{"SALES=Myynti"});
}

TEST(Settings, OldWindowsFileIsRead) {
    const std::string old = "[Files]\r\nLastName=C:\\Kirjat\\\xE4iti.tlk\r\n"
                            "[AlvDrop]\r\nsales=Myynti kotimaassa\r\n"
                            "[AlvList]\r\nVahennVero=V\xE4hennys \x80\r\n"
                            "[Texts]\r\nSuodOtsikko=Ty\xF6maa\r\n";
    const Settings s = ParseSettings(old);
    EXPECT_EQ(s.lastName, "C:\\Kirjat\\\xC3\xA4iti.tlk");
    EXPECT_EQ(s.vat.dropDown[1], "Myynti kotimaassa");
    EXPECT_EQ(s.vat.deductibleCaption, "V\xE4hennys \x80");
    EXPECT_EQ(s.filterHeading, "Ty\xF6maa");
    EXPECT_TRUE(s.vatSplit); // a file from before the switch splits, as a new one does
}

TEST(Settings, Utf8TextsBecomeWindows1252) {
    const Settings s = ParseSettings("\xEF\xBB\xBF[Texts]\nSuodOtsikko=Ty\xC3\xB6maa\n"
                                     "[AlvList]\nsales=Nuoli \xE2\x86\x92\n");
    EXPECT_EQ(s.filterHeading, "Ty\xF6maa");
    // An arrow has no place in Windows-1252: the class keeps its name.
    EXPECT_EQ(s.vat.report[1], "Myynti");
}

TEST(Settings, UnknownSectionsKeysAndCommentsStay) {
    const std::string existing = "; oma kommentti\n[Tilikartta]\nLeftMargin=3\nOma=1\n\n"
                                 "[Ikkuna]\nLeveys=800\n";
    const std::string text = SettingsBytes(Settings{}, existing);
    EXPECT_EQ(text.substr(0, 28), "; oma kommentti\n[Tilikartta]");
    EXPECT_EQ(SectionLines(text, "Tilikartta"),
              (std::vector<std::string>{"LeftMargin=10", "Oma=1", "TopMargin=10", "RightMargin=10",
                                        "BottomMargin=10", "FontName=Arial", "FontSize=10",
                                        "RowSpace=2", "OtsRows=2"}));
    EXPECT_EQ(SectionLines(text, "Ikkuna"), std::vector<std::string>{"Leveys=800"});
    EXPECT_EQ(SectionLines(text, "Tosite"), std::vector<std::string>{"AlvErittely=1"});
}

struct IntegerCase {
    std::string name;
    std::string value;
    int read; // with fallback 10

    friend void PrintTo(const IntegerCase& c, std::ostream* os) { *os << c.name; }
};

class IntegerValue : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerValue, ReadWithFallback) {
    const IniFile ini = IniFile::parse("[Tase]\nLeftMargin=" + GetParam().value + "\n");
    EXPECT_EQ(ini.readInteger("Tase", "LeftMargin", 10), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, IntegerValue,
    ::testing::Values(IntegerCase{"Plain", "25", 25}, IntegerCase{"Negative", "-5", -5},
                      IntegerCase{"Plus", "+7", 7}, IntegerCase{"BlanksAround", "  12 ", 12},
                      IntegerCase{"Letters", "abc", 10}, IntegerCase{"TrailingLetters", "12mm", 10},
                      IntegerCase{"Empty", "", 10}, IntegerCase{"SignOnly", "-", 10},
                      IntegerCase{"Largest", "2147483647", 2147483647},
                      IntegerCase{"Smallest", "-2147483648", -2147483647 - 1},
                      IntegerCase{"TooLarge", "2147483648", 10},
                      IntegerCase{"FarTooLarge", "99999999999999999999", 10}),
    CaseName<IntegerCase>);

// --- path -------------------------------------------------------------------------------

struct PathCase {
    std::string name;
    std::string program;
    std::optional<std::string> argument;
    std::string configHome;
    std::string home;
    std::set<std::string> existing;
    std::string path;

    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }
};

class SettingsPathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPathRule, Path) {
    const PathCase& c = GetParam();
    const SettingsEnvironment environment{
        c.configHome, c.home, [&](const std::string& name) { return c.existing.count(name) > 0; }};
    std::optional<std::string_view> argument;
    if (c.argument)
        argument = *c.argument;
    EXPECT_EQ(SettingsPath(c.program, argument, environment), c.path);
}

const std::string kProgram = "/opt/kp/kirjanpito";

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsPathRule,
    ::testing::Values(
        PathCase{"HomeConfig",
                 kProgram,
                 {},
                 "",
                 "/home/u",
                 {},
                 "/home/u/.config/kirjanpito/kirjanpito.ini"},
        PathCase{
            "XdgConfig", kProgram, {}, "/x/cfg", "/home/u", {}, "/x/cfg/kirjanpito/kirjanpito.ini"},
        PathCase{"RelativeXdgIgnored",
                 kProgram,
                 {},
                 "cfg",
                 "/home/u",
                 {},
                 "/home/u/.config/kirjanpito/kirjanpito.ini"},
        PathCase{"ArgumentNamesProfile",
                 kProgram,
                 "yritys",
                 "",
                 "/home/u",
                 {},
                 "/home/u/.config/kirjanpito/yritys.ini"},
        PathCase{"EmptyArgumentIsNone",
                 kProgram,
                 "",
                 "",
                 "/home/u",
                 {},
                 "/home/u/.config/kirjanpito/kirjanpito.ini"},
        PathCase{"BesideProgramWins",
                 kProgram,
                 {},
                 "/x/cfg",
                 "/home/u",
                 {"/opt/kp/kirjanpito.ini"},
                 "/opt/kp/kirjanpito.ini"},
        PathCase{"ProfileBesideProgramWins",
                 kProgram,
                 "yritys",
                 "",
                 "/home/u",
                 {"/opt/kp/yritys.ini", "/home/u/.config/kirjanpito/yritys.ini"},
                 "/opt/kp/yritys.ini"},
        PathCase{"OtherProfileBesideDoesNotCount",
                 kProgram,
                 "yritys",
                 "",
                 "/home/u",
                 {"/opt/kp/kirjanpito.ini"},
                 "/home/u/.config/kirjanpito/yritys.ini"},
        PathCase{"ExtensionReplaced",
                 "/opt/kp/Kirjanpito.exe",
                 {},
                 "",
                 "/home/u",
                 {},
                 "/home/u/.config/kirjanpito/Kirjanpito.ini"},
        PathCase{"AbsoluteArgument",
                 kProgram,
                 "/srv/asetukset",
                 "",
                 "/home/u",
                 {},
                 "/srv/asetukset.ini"},
        PathCase{"NoHomeBesideProgram", kProgram, {}, "", "", {}, "/opt/kp/kirjanpito.ini"}),
    CaseName<PathCase>);

// --- print-settings menu -----------------------------------------------------------------

TEST(PrintMenu, Captions) {
    const PrintSettings p{11, 12, 13, 14, "Arial", 10, 3, 4};
    EXPECT_EQ(PrintMenuCaptions(p), (std::array<std::string, kPrintItemCount>{
                                        "Vas = 11 mm", "Yl\xC3\xA4 = 12 mm", "Oik = 13 mm",
                                        "Ala = 14 mm", "V\xC3\xA4li = 3 mm", "Ots.rivit = 4"}));
}

TEST(PrintMenu, MarginTags) {
    EXPECT_EQ(MarginItemOfTag(0), PrintItem::Left);
    EXPECT_EQ(MarginItemOfTag(3), PrintItem::Bottom);
    EXPECT_EQ(MarginItemOfTag(4), std::nullopt);
    EXPECT_EQ(MarginItemOfTag(-1), std::nullopt);
}

struct InputCase {
    std::string name;
    PrintItem item;
    InputRequest request;
    std::optional<std::string> answer;
    bool stored;

    friend void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }
};

class PrintInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(PrintInput, AskAndStore) {
    const InputCase& c = GetParam();
    PrintSettings p{11, 12, 13, 14, "Arial", 10, 3, 4};
    const PrintSettings before = p;
    InputRequest asked;
    const bool stored = EditPrintSetting(c.item, p, [&](const InputRequest& request) {
        asked = request;
        return c.answer;
    });
    EXPECT_EQ(asked, c.request);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(PrintInputRequest(c.item, p).preset, c.stored ? *c.answer : c.request.preset);
    // Nothing but the item's own value moves.
    PrintSettings others = p;
    ApplyPrintInput(c.item, c.request.preset, others);
    EXPECT_EQ(others, before);
}

INSTANTIATE_TEST_SUITE_P(
    PrintMenu, PrintInput,
    ::testing::Values(
        InputCase{"Left", PrintItem::Left, {"Print Page Marginal", "Left", "11"}, "20", true},
        InputCase{"TopNegative", PrintItem::Top, {"Print Page Marginal", "Top", "12"}, "-5", true},
        InputCase{
            "RightLetters", PrintItem::Right, {"Print Page Marginal", "Right", "13"}, "abc", false},
        InputCase{"BottomCancelled",
                  PrintItem::Bottom,
                  {"Print Page Marginal", "Bottom", "14"},
                  std::nullopt,
                  false},
        InputCase{"RowSpace",
                  PrintItem::RowSpace,
                  {"Printtausasetus", "Rivien v\xC3\xA4lirako", "3"},
                  "0",
                  true},
        InputCase{"HeadingRows",
                  PrintItem::HeadingRows,
                  {"Printtausasetus", "Otsikkorivit kpl", "4"},
                  "1",
                  true}),
    CaseName<InputCase>);

} // namespace
} // namespace kp
