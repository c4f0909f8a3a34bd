// The nested-list and indented text book formats, the choice between them and saving safely.
#include "book/BookFile.h"
#include "book/FileIo.h"
#include "book/IndentedText.h"
#include "book/NestedList.h"
#include "tests/book/TreeShape.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>
#include <vector>

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

// The shape read, and the first damage found as "what@offset" ("" when the bytes are sound).
std::string Damage(const std::optional<BookDamage>& damage) {
    return damage ? damage->what + "@" + std::to_string(damage->offset) : "";
}

TEST(NestedList, ReaderEdgeCases) {
    const std::tuple<const char*, std::string_view, const char*, const char*> cases[] = {
        {"text, empty leaf and leaf", "(account 1910 \"Kassa\" () (vat sales 2400))",
         "account 1910 \"Kassa\"|.|.vat sales 2400|", ""},
        {"quoted string as an item of its own",
         "(event 5 (date 2020 3 5) \"Ostot\" ((1910 (money -500))))",
         "event 5|.date 2020 3 5|.\"Ostot\"|.|..1910|...money -500|", ""},
        {"parentheses inside quotes are text", "(event 5 (date 2020 3 5) \"Ostot (alv) :)\" ())",
         "event 5|.date 2020 3 5|.\"Ostot (alv) :)\"|.|", ""},
        {"blanks before the book are skipped", " (a b (c d))", "a b|.c d|", ""},
        {"line break before the book is skipped", "\r\n(a b)\r\n", "a b|", ""},
        {"line breaks and tabs between items", "(a b\r\n\t(c d)\r\n\t(e f)\r\n)", "a b|.c d|.e f|",
         ""},
        {"escapes inside quotes read literally", "(a \"x\\\"y\\\\z\")", "a \"x\"y\\z\"|", ""},
        {"backslash outside quotes is text", "(a\\b c)", "a\\b c|", ""},
        {"second top-level item is a second root", "(a b)(c d)", "a b|c d|",
         "kirjan per\xC3\xA4ss\xC3\xA4 on ylim\xC3\xA4\xC3\xA4r\xC3\xA4ist\xC3\xA4 tietoa@5"},
        {"unclosed quote takes the rest", "(a \"b c) (d e)", "a \"b c) (d e)\"|",
         "lainausmerkki j\xC3\xA4\xC3\xA4 sulkematta@3"},
        {"stray closing parenthesis ends reading", "(a b)) (c d)", "a b|",
         "kirjan per\xC3\xA4ss\xC3\xA4 on ylim\xC3\xA4\xC3\xA4r\xC3\xA4ist\xC3\xA4 tietoa@5"},
        {"unclosed list ends with the data", "(a b (c d", "a b|.c d|", "tiedosto loppuu kesken@9"},
        {"not a nested list", "uistio: osta kahvia", "istio: osta kahvia|",
         "tiedosto ei ole kirjatiedosto: se ei ala merkill\xC3\xA4 \"(\"@0"},
        {"NUL bytes are left out", "(a\0b c)"sv, "ab c|", "tiedostossa on NUL-merkki@2"},
        {"an item that is neither a list nor a quote", "(a (b) cd)", "a|.b|.d|",
         "odottamaton merkki luettelon alussa@7"}};
    for (const auto& [name, data, shape, damage] : cases) {
        BookTree tree;
        EXPECT_EQ(Damage(ParseNestedList(tree, data)), damage) << name;
        EXPECT_EQ(Shape(tree), shape) << name;
        EXPECT_EQ(test::LinkErrors(tree), "") << name;
    }
}

// A load writes each list once, with room up to the next power of two as any list has, and
// in place its texts one after another, the copied ones (an escape, a long text) after them;
// edits afterwards grow, shrink and move such lists and change such texts.
TEST(NestedList, ListsAndTextsOfALoadTakeEdits) {
    const std::string longText(300, 'L');
    const std::string text = "(r (a (x)) (b (x) (x)) (c (x) (x) \"q\\\"q\") (d (x) (x) (x) (" +
                             longText + ") (x)) (e (x) (x) (x) (x)))";
    for (const bool inPlace : {false, true}) {
        BookTree tree;
        if (inPlace) {
            char* source = tree.takeSourceBytes(text.size());
            std::memcpy(source, text.data(), text.size());
            ParseNestedList(tree, {source, text.size()});
        } else {
            ParseNestedList(tree, text);
        }
        BookNode* root = tree.first();
        for (BookNode* list : root->children()) {
            tree.addLast(list, "z");
            tree.insertBefore(list->child(1), "y");
            tree.remove(list->child(0));
            tree.addFirst(list, "w");
        }
        tree.moveToLastChild(root->child(0), root->child(4));
        tree.setText(root->child(1)->child(2), "t");
        EXPECT_EQ(Shape(tree),
                  "r|.b|..w|..y|..x|..z|.c|..w|..y|..t|..\"q\"q\"|..z|.d|..w|..y|..x|..x|.." +
                      longText + "|..x|..z|.e|..w|..y|..x|..x|..x|..z|..a|...w|...y|...z|")
            << inPlace;
        EXPECT_EQ(test::LinkErrors(tree), "") << inPlace;
    }
}

TEST(NestedList, WriterOutputAndWhatItCannotHold) {
    // Tree, nested-list text, the start of the problem when the format cannot hold the tree.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"empty leaf", "r s|.|", "(r s ())", ""},
        {"parentheses inside quotes written as they are",
         "event 5|.date 2020 3 5|.\"Ostot (alv)\"|.|..1910|...money -500|",
         "(event 5 (date 2020 3 5) \"Ostot (alv)\" ((1910 (money -500))))", ""},
        {"only the first root", "a b|c d|", "(a b)", ""},
        {"backslash in a name escaped", "account 1920 \"C:\\temp\"|",
         "(account 1920 \"C:\\\\temp\")", ""},
        {"odd quote in a name escaped", "r s|.account 1 \"5\" n\xE4ytt\xF6\"|.e f|",
         "(r s (account 1 \"5\\\" n\xE4ytt\xF6\") (e f))", ""},
        {"lone quote as a description escaped", "e 1|.date 2020 1 1|.\"\"\"|.|",
         "(e 1 (date 2020 1 1) \"\\\"\" ())", ""},
        {"single-word leaf written as a list", "r s|.x y|..c d|..wo|.e f|",
         "(r s (x y (c d) (wo)) (e f))", ""},
        {"single-word leaf as a first child", "r s|.p q|..w|..c d|", "(r s (p q (w) (c d)))", ""},
        {"line break inside a text", "r s|.a\nb|", "(r s (a\nb))", ""},
        {"quoted text with children", "r s|.x|.\"q\"|..a b|", "(r s (x) (\"q\" (a b)))",
         "lainausmerkeiss\xC3\xA4 olevalla tekstill\xC3\xA4 on alasolmuja"},
        {"two quoted strings in a row", "e 1|.date 2020 1 1|.\"a\"|.\"b\"|",
         "(e 1 (date 2020 1 1) \"a\" \"b\")", "lainausmerkeiss\xC3\xA4 oleva teksti seuraa"},
        {"quoted string first", "e 1|.\"a\"|", "(e 1\"a\")",
         "lainausmerkeiss\xC3\xA4 oleva teksti on ensimm\xC3\xA4isen\xC3\xA4"},
        {"blank at the end", "r s|.a |", "(r s (a ))", "sen alussa tai lopussa"},
        {"parenthesis outside quotes", "r s|.a(b|", "(r s (a(b))", "siin\xC3\xA4 on sulku"}};
    for (const auto& [name, shape, text, problem] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        Build(tree, shape);
        std::string why;
        EXPECT_EQ(FormatNestedList(tree, &why), text);
        EXPECT_EQ(why.find(problem) != std::string::npos, true) << why;
        EXPECT_EQ(why.empty(), *problem == '\0') << why;
        BookTree back;
        if (why.empty()) {
            EXPECT_EQ(Damage(ParseNestedList(back, text)), "");
            EXPECT_EQ(Shape(back), std::string(shape) == "a b|c d|" ? "a b|" : shape); // one root
        }
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
        {"NUL ends the content", "a\n\tb\0\n\tc"sv, "a|.b|", "tiedostossa on NUL-merkki@4"},
        {"blanks count as levels", "a\n b\n \tc", "a|.b|..c|", ""},
        {"first line at any level is a root", "\t\ta\n\tb", "a|.b|", ""},
        {"up several levels", "a\n\tb\n\t\tc\n\td\ne", "a|.b|..c|.d|e|", ""},
        {"empty line is a new root", "a\n\tb\n\n\tc", "a|.b||.c|", ""},
        {"trailing blanks stay", "a  \n\tb c \n", "a  |.b c |", ""},
        {"empty content", "", "", ""},
        {"level jump", "a\n\tb\n\t\t\tx\nc", "a|.b|",
         "rivin \"x\" sisennys (3) on syvempi kuin edellisen rivin alla voi olla@5"},
        {"deep first line, then the same depth", "\t\ta\n\t\tb", "a|",
         "rivin \"b\" sisennys (2) on syvempi kuin edellisen rivin alla voi olla@4"}};
    for (const auto& [name, data, shape, damage] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        EXPECT_EQ(Damage(ParseIndentedText(tree, data)), damage);
        EXPECT_EQ(Shape(tree), shape);
    }
}

TEST(IndentedText, KeepsEveryRootEmptyTextsParenthesesAndQuotes) {
    const char* const shape = "r|.|.(x) \"y\" \"z\\|..deep||second root|";
    BookTree tree;
    Build(tree, shape);
    std::string problem;
    const std::string text = FormatIndentedText(tree, &problem);
    EXPECT_EQ(text, "r\r\n\t\r\n\t(x) \"y\" \"z\\\r\n\t\tdeep\r\n\r\nsecond root\r\n");
    EXPECT_EQ(problem, "");
    BookTree back;
    EXPECT_EQ(Damage(ParseIndentedText(back, text)), "");
    EXPECT_EQ(Shape(back), shape);

    // Texts whose bytes the line format would take as levels or line ends are not written.
    for (const char* bad : {"a|.b| x|", "a|.b\nc|", "a|.\tb|"}) {
        BookTree indented;
        Build(indented, bad);
        problem.clear();
        FormatIndentedText(indented, &problem);
        EXPECT_NE(problem, "") << bad;
    }
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

TEST_F(BookFiles, LoadFailures) {
    fs::create_directory(m_dir / "folder.tlk");
    fs::create_directory(m_dir / "folder.txt");
    WriteBytes(Path("levels.txt"), "a\r\n\tb\r\n\t\t\tx\r\nc\r\n");
    // Nested-list reading clears the tree first; indented reading keeps it when it cannot open
    // the file; a damaged file leaves nothing loaded.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"missing.tlk", "", "Cannot open file " + Path("missing.tlk")},
        {"folder.tlk", "", "Cannot open file " + Path("folder.tlk")},
        {"missing.txt", "old|", "Cannot open file " + Path("missing.txt")},
        {"folder.txt", "old|", "Cannot open file " + Path("folder.txt")},
        {"levels.txt", "",
         "Kirjatiedosto " + Path("levels.txt") +
             " on vaurioitunut: rivin \"x\" sisennys (3) on syvempi kuin edellisen rivin alla voi "
             "olla (rivi 3, sarake 1). Tiedostoa ei avattu."}};
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
    const auto expectFailure = [&](const char* name) {
        const FileResult result = SaveBook(tree, Path(name));
        EXPECT_EQ(result.ok, false) << name;
        EXPECT_EQ(result.message.rfind("Cannot create file " + Path(name) + "\n", 0), 0u)
            << result.message;
        EXPECT_EQ(Snapshot(), before) << name; // the old book unchanged, no temporary file
    };
    for (const char* name : {"missing/book.tlk", "folder.tlk", "folder.txt"})
        expectFailure(name);
    {
        const FileSizeLimit limit(16);
        expectFailure("book.tlk");
    }
    if (geteuid() != 0) { // the super-user writes into read-only folders
        fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
        expectFailure("book.tlk");
    }
}

// A file made while it is written: small pieces gathered, large ones passed on whole, a hard-linked
// file rewritten under every name, and a write cut short leaving the old file as it was.
TEST_F(BookFiles, StreamedWriteGathersPiecesAndFailsCleanly) {
    const std::string large(3 << 20, 'x');
    const std::vector<std::string> pieces = {"alku;", std::string(700000, 'a'), large,
                                             "\r\n",  std::string(500000, 'b'), "loppu"};
    std::string whole;
    for (const std::string& piece : pieces)
        whole += piece;
    const ByteSource source = [&](ByteSink& sink) {
        for (const std::string& piece : pieces)
            sink << piece;
        sink << '!';
    };
    whole += '!';
    std::string kept; // a sink without a drain keeps everything
    ByteSink keep(kept);
    source(keep);
    EXPECT_EQ(keep.finish(), true);
    EXPECT_EQ(kept, whole);

    WriteBytes(Path("page.csv"), "old");
    fs::create_hard_link(Path("page.csv"), Path("other.csv"));
    ASSERT_EQ(WriteFileReplacing(Path("page.csv"), source).ok, true);
    EXPECT_EQ(Snapshot(),
              (std::map<std::string, std::string>{{"page.csv", whole}, {"other.csv", whole}}));
    WriteBytes(Path("new.csv"), "old");
    const auto before = Snapshot();
    {
        const FileSizeLimit limit(1 << 20);
        EXPECT_EQ(WriteFileReplacing(Path("new.csv"), source).ok, false);
    }
    EXPECT_EQ(Snapshot(), before);
}

} // namespace
} // namespace kp
