// The nested-list and indented text book formats, the choice between them and saving safely.
#include "book/BookFile.h"
#include "book/IndentedText.h"
#include "book/NestedList.h"
#include "tests/book/TreeShape.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace kp {
namespace {

namespace fs = std::filesystem;
using namespace std::literals;
using test::Build;
using test::Shape;

const std::string kExampleBook =
    "(identity \"Razeri\" version \"versio 0.22\" finances (fiscal-year \"Oy Esimerkki Ab\" "
    "(date 2020 1 1) (date 2020 12 31) (account-map (account -1 \"V A S T A A V A A\" "
    "((account 1910 \"Kassa\" ()))) (account -1 \"V A S T A T T A V A A\" ((account 2000 "
    "\"Oma p\xE4\xE4oma\" ()))) (account -1 \"T U L O S\")) ((event 0 (date 2020 1 1) "
    "\"Tilinavaus\" ((1910 (money 10000)) (2000 (money -10000)))))))";

const char* const kExampleShape =
    "identity \"Razeri\" version \"versio 0.22\" finances|.fiscal-year \"Oy Esimerkki Ab\"|"
    "..date 2020 1 1|..date 2020 12 31|..account-map|...account -1 \"V A S T A A V A A\"|....|"
    ".....account 1910 \"Kassa\"|......|...account -1 \"V A S T A T T A V A A\"|....|"
    ".....account 2000 \"Oma p\xE4\xE4oma\"|......|...account -1 \"T U L O S\"|..|...event 0|"
    "....date 2020 1 1|....\"Tilinavaus\"|....|.....1910|......money 10000|.....2000|"
    "......money -10000|";

TEST(NestedList, ExampleBookReadsAndWritesBackByteIdentical) {
    BookTree tree;
    ParseNestedList(tree, kExampleBook);
    EXPECT_EQ(Shape(tree), kExampleShape);
    EXPECT_EQ(test::LinkErrors(tree), "");
    EXPECT_EQ(FormatNestedList(tree), kExampleBook);
}

TEST(NestedList, ReaderEdgeCases) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"text, empty leaf and leaf", "(account 1910 \"Kassa\" () (vat sales 2400))",
         "account 1910 \"Kassa\"|.|.vat sales 2400|"},
        {"quoted string as an item of its own",
         "(event 5 (date 2020 3 5) \"Ostot\" ((1910 (money -500))))",
         "event 5|.date 2020 3 5|.\"Ostot\"|.|..1910|...money -500|"},
        {"parentheses inside quotes are text", "(event 5 (date 2020 3 5) \"Ostot (alv) :)\" ())",
         "event 5|.date 2020 3 5|.\"Ostot (alv) :)\"|.|"},
        {"blank before the first parenthesis", " (a b (c d))", "|.a b|..c d|"},
        {"line break before the first parenthesis", "\r\n(a b)", "|.a b|"},
        {"line breaks and tabs between items", "(a b\r\n\t(c d)\r\n\t(e f)\r\n)", "a b|.c d|.e f|"},
        {"second top-level item is a second root", "(a b)(c d)", "a b|c d|"},
        {"escapes inside quotes read literally", "(a \"x\\\"y\\\\z\")", "a \"x\"y\\z\"|"},
        {"backslash outside quotes is text", "(a\\b c)", "a\\b c|"},
        {"unclosed quote takes the rest", "(a \"b c) (d e)", "a \"b c) (d e)|"},
        {"stray closing parenthesis ends reading", "(a b)) (c d)", "a b|"},
        {"unclosed list ends with the data", "(a b (c d", "a b|.c d|"}};
    for (const auto& [name, data, shape] : cases) {
        BookTree tree;
        ParseNestedList(tree, data);
        EXPECT_EQ(Shape(tree), shape) << name;
    }
}

TEST(NestedList, WriterOutputAndWhatReadsBack) {
    // Tree, nested-list text, the tree read back from it when that differs.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"empty leaf", "r s|.|", "(r s ())", nullptr},
        {"parentheses inside quotes written as they are",
         "event 5|.date 2020 3 5|.\"Ostot (alv)\"|.|..1910|...money -500|",
         "(event 5 (date 2020 3 5) \"Ostot (alv)\" ((1910 (money -500))))", nullptr},
        {"only the first root", "a b|c d|", "(a b)", "a b|"},
        {"backslash in a name escaped", "account 1920 \"C:\\temp\"|",
         "(account 1920 \"C:\\\\temp\")", nullptr},
        {"odd quote in a name escaped", "r s|.account 1 \"5\" n\xE4ytt\xF6\"|.e f|",
         "(r s (account 1 \"5\\\" n\xE4ytt\xF6\") (e f))", nullptr},
        {"lone quote as a description escaped", "e 1|.date 2020 1 1|.\"\"\"|.|",
         "(e 1 (date 2020 1 1) \"\\\"\" ())", nullptr},
        {"quoted text with children", "r s|.\"q\"|..a b|..c d|", "(r s (\"q\" (a b) (c d)))",
         "r s|.\"q\"|.a b|.c d|"},
        {"items after a quoted text with children land higher", "r s|.\"q\"|..a b|.e f|",
         "(r s (\"q\" (a b)) (e f))", "r s|.\"q\"|.a b|e f|"},
        {"two quoted strings in a row join", "e 1|.date 2020 1 1|.\"a\"|.\"b\"|",
         "(e 1 (date 2020 1 1) \"a\" \"b\")", "e 1|.date 2020 1 1|.\"a\" \"b\"|"},
        {"single-word leaf last in its list", "r s|.x y|..c d|..wo|.e f|",
         "(r s (x y (c d) wo) (e f))", "r s|.x y|..c d|..o|..e f|"},
        {"single-word leaf as a first child", "r s|.p q|..w|..c d|", "(r s (p qw (c d)))",
         "r s|.p qw|..c d|"}};
    for (const auto& [name, shape, text, readBack] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        Build(tree, shape);
        EXPECT_EQ(FormatNestedList(tree), text);
        BookTree back;
        ParseNestedList(back, text);
        EXPECT_EQ(Shape(back), readBack ? readBack : shape);
    }
}

TEST(NestedList, QuotesBackslashesAndParenthesesInNamesSurviveASaveAndALoad) {
    const std::string book =
        "h|.fiscal-year \"Oy \"Paras\" Ab\"|..account-map|...account 1910 \"Kassa (vanha)\"|"
        "...account 1920 \"C:\\temp\\\"|...account 1930 \"5\" n\xE4ytt\xF6\"|"
        "...account 1940 \"a) b\"|...account 1950 \"x\"y(z\"|...account 1960 \"\\\"\"|..|"
        "...event 1|....date 2020 3 5|....\"Lasku \"123\" (alv 24 %)\"|....|.....1910|"
        "......money 100|...event 2|....date 2020 3 6|....\"polku C:\\kansio\\\"|....|"
        ".....1920|......money -100|...event 3|....date 2020 3 7|....\"(\"|....|....\"\"\"|"
        "....|....\")\"|....|";
    BookTree tree;
    Build(tree, book);
    BookTree back;
    ParseNestedList(back, FormatNestedList(tree));
    EXPECT_EQ(Shape(back), book);
}

TEST(IndentedText, ReaderEdgeCases) {
    const std::tuple<const char*, std::string_view, const char*, const char*> cases[] = {
        {"CR LF", "a\r\n\tb\r\nc\r\n", "a|.b|c|", ""},
        {"CR alone", "a\r\tb\rc", "a|.b|c|", ""},
        {"LF alone", "a\n\tb\nc", "a|.b|c|", ""},
        {"CR then CR LF", "a\r\r\nb", "a||b|", ""},
        {"NUL ends the content", "a\n\tb\0\n\tc"sv, "a|.b|", ""},
        {"blanks count as levels", "a\n b\n \tc", "a|.b|..c|", ""},
        {"first line at any level is a root", "\t\ta\n\tb", "a|.b|", ""},
        {"up several levels", "a\n\tb\n\t\tc\n\td\ne", "a|.b|..c|.d|e|", ""},
        {"empty line is a new root", "a\n\tb\n\n\tc", "a|.b||.c|", ""},
        {"trailing blanks stay", "a  \n\tb c \n", "a  |.b c |", ""},
        {"empty content", "", "", ""},
        {"level jump", "a\n\tb\n\t\t\tx\nc", "a|.b|", "Invalid level (3) for item \"x\""},
        {"deep first line, then the same depth", "\t\ta\n\t\tb", "a|",
         "Invalid level (2) for item \"b\""}};
    for (const auto& [name, data, shape, error] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        const FileResult result = ParseIndentedText(tree, data);
        EXPECT_EQ(Shape(tree), shape);
        EXPECT_EQ(result.ok, *error == '\0');
        EXPECT_EQ(result.message, error);
    }
}

TEST(IndentedText, KeepsEveryRootEmptyTextsParenthesesAndQuotes) {
    const char* const shape = "r|.|.(x) \"y\" \"z\\|..deep||second root|";
    BookTree tree;
    Build(tree, shape);
    const std::string text = FormatIndentedText(tree);
    EXPECT_EQ(text, "r\r\n\t\r\n\t(x) \"y\" \"z\\\r\n\t\tdeep\r\n\r\nsecond root\r\n");
    BookTree back;
    EXPECT_EQ(ParseIndentedText(back, text).ok, true);
    EXPECT_EQ(Shape(back), shape);

    BookTree indented; // a text that begins with a blank loses it and goes one level deeper
    Build(indented, "a|.b| x|");
    BookTree moved;
    ParseIndentedText(moved, FormatIndentedText(indented));
    EXPECT_EQ(Shape(moved), "a|.b|.x|");
}

// A folder of its own for each test, removed afterwards.
class BookFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        static int serial = 0;
        m_dir = fs::temp_directory_path() /
                ("kp-book-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    static void WriteBytes(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Every file and folder below the test folder, with the bytes of each file.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> out;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir))
            out[fs::relative(entry.path(), m_dir).string()] =
                entry.is_directory() ? "<folder>" : ReadBytes(entry.path().string());
        return out;
    }

    fs::path m_dir;
};

TEST_F(BookFiles, ExtensionChoosesTheFormat) {
    const std::pair<const char*, BookFormat> cases[] = {
        {"book.tlk", BookFormat::NestedList},       {"BOOK.TLK", BookFormat::NestedList},
        {"Book.Tlk", BookFormat::NestedList},       {"book.txt.tlk", BookFormat::NestedList},
        {"book.csv", BookFormat::IndentedText},     {"book.txt", BookFormat::IndentedText},
        {"book", BookFormat::IndentedText},         {"dir.tlk/book", BookFormat::IndentedText},
        {"book.tlk.txt", BookFormat::IndentedText}, {"book.tlkx", BookFormat::IndentedText}};
    fs::create_directory(m_dir / "dir.tlk");
    BookTree tree;
    Build(tree, "a b|.c d|e f|");
    for (const auto& [name, format] : cases) {
        SCOPED_TRACE(name);
        const bool nested = format == BookFormat::NestedList;
        EXPECT_EQ(FormatForFileName(name), format);
        EXPECT_EQ(SaveBook(tree, Path(name)).ok, true);
        EXPECT_EQ(ReadBytes(Path(name)),
                  nested ? FormatNestedList(tree) : FormatIndentedText(tree));
        BookTree loaded;
        loaded.addLast(nullptr, "old content");
        EXPECT_EQ(LoadBook(loaded, Path(name)).ok, true);
        EXPECT_EQ(Shape(loaded), nested ? "a b|.c d|" : "a b|.c d|e f|");
    }
}

TEST_F(BookFiles, ExampleFileSavesBackByteIdentical) {
    WriteBytes(Path("book.tlk"), kExampleBook);
    BookTree tree;
    ASSERT_EQ(LoadBook(tree, Path("book.tlk")).ok, true);
    ASSERT_EQ(SaveBook(tree, Path("book.tlk")).ok, true);
    EXPECT_EQ(ReadBytes(Path("book.tlk")), kExampleBook);
}

TEST_F(BookFiles, NestedFileOfUpToTwoBytesIsEmpty) {
    for (std::string_view bytes : {""sv, "("sv, "()"sv, "(a)"sv}) {
        WriteBytes(Path("small.tlk"), bytes);
        BookTree tree;
        tree.addLast(nullptr, "old");
        EXPECT_EQ(LoadBook(tree, Path("small.tlk")).ok, true);
        EXPECT_EQ(Shape(tree), bytes.size() > 2 ? "a|" : "") << bytes;
    }
}

// A file error says in Finnish what went wrong, then the system's message.
const std::string kOpen = "Tiedostoa ei voitu avata: ";
const std::string kSave = "Tiedostoa ei voitu tallentaa: ";
const std::string kMissing = "\nTiedostoa tai kansiota ei ole (No such file or directory).";
const std::string kFolder = "\nNimi on kansio eik\u00e4 tiedosto (Is a directory).";

TEST_F(BookFiles, LoadFailures) {
    fs::create_directory(m_dir / "folder.tlk");
    fs::create_directory(m_dir / "folder.txt");
    WriteBytes(Path("levels.txt"), "a\r\n\tb\r\n\t\t\tx\r\nc\r\n");
    // Nested-list reading clears the tree first; indented reading keeps it when it cannot open
    // the file, and keeps the lines before a level jump.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"missing.tlk", "", kOpen + Path("missing.tlk") + kMissing},
        {"folder.tlk", "", kOpen + Path("folder.tlk") + kFolder},
        {"missing.txt", "old|", kOpen + Path("missing.txt") + kMissing},
        {"folder.txt", "old|", kOpen + Path("folder.txt") + kFolder},
        {"levels.txt", "a|.b|", "Invalid level (3) for item \"x\""}};
    for (const auto& [name, shape, message] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        tree.addLast(nullptr, "old");
        const FileResult result = LoadBook(tree, Path(name));
        EXPECT_EQ(result.ok, false);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(Shape(tree), shape);
    }
}

TEST_F(BookFiles, SaveReplacesTheBookKeepsItsPermissionsAndLeavesNoTemporaryFile) {
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    WriteBytes(Path("book.tlk"), "(old book)");
    fs::permissions(Path("book.tlk"), mode);
    BookTree tree;
    ParseNestedList(tree, kExampleBook);
    ASSERT_EQ(SaveBook(tree, Path("book.tlk")).ok, true);
    EXPECT_EQ(Snapshot(), (std::map<std::string, std::string>{{"book.tlk", kExampleBook}}));
    EXPECT_EQ(fs::status(Path("book.tlk")).permissions(), mode);

    BookTree empty; // an empty tree makes an empty file, which loads as an empty tree
    for (const char* name : {"empty.txt", "empty.tlk"}) {
        ASSERT_EQ(SaveBook(empty, Path(name)).ok, true);
        EXPECT_EQ(fs::file_size(Path(name)), 0u);
        tree.addLast(nullptr, "old");
        EXPECT_EQ(LoadBook(tree, Path(name)).ok, true);
        EXPECT_EQ(tree.empty(), true);
    }
}

// Keeps the files of this process below a size, the way a full disk stops a save halfway.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
};

TEST_F(BookFiles, FailedSaveReportsAndLeavesTheFolderAsItWas) {
    WriteBytes(Path("book.tlk"), "(old book)");
    fs::create_directory(m_dir / "folder.tlk");
    WriteBytes(Path("folder.tlk/inside.txt"), "inside");
    fs::create_directory(m_dir / "folder.txt");
    BookTree tree;
    ParseNestedList(tree, kExampleBook);
    const auto before = Snapshot();
    const auto expectFailure = [&](const char* name, const std::string& reason) {
        const FileResult result = SaveBook(tree, Path(name));
        EXPECT_EQ(result.ok, false) << name;
        EXPECT_EQ(result.message, kSave + Path(name) + reason);
        EXPECT_EQ(Snapshot(), before) << name; // the old book unchanged, no temporary file
    };
    expectFailure("missing/book.tlk", kMissing);
    for (const char* name : {"folder.tlk", "folder.txt"})
        expectFailure(name, kFolder);
    {
        const FileSizeLimit limit(16);
        expectFailure("book.tlk",
                      "\nLevy on t\u00e4ynn\u00e4 tai tiedosto liian suuri (File too large).");
    }
    if (geteuid() != 0) { // the super-user writes into read-only folders
        fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
        expectFailure("book.tlk", "\nEi k\u00e4ytt\u00f6oikeutta (Permission denied).");
    }
}

} // namespace
} // namespace kp
