// Loading and saving a book in the format its file name's extension selects.
#include "book/BookFile.h"

#include "book/FileIo.h"
#include "book/IndentedText.h"
#include "book/NestedList.h"
#include "book/Win1252.h"

#include <functional>
#include <new>
#include <optional>

namespace kp {
namespace {

std::optional<BookDamage> Parse(BookFormat format, BookTree& tree, std::string_view data) {
    if (format == BookFormat::NestedList)
        return data.size() > 2 ? ParseNestedList(tree, data) : std::nullopt;
    return ParseIndentedText(tree, data);
}

} // namespace

bool SameBook(const BookTree& a, const BookTree& b, BookFormat format) {
    const size_t roots =
        format == BookFormat::NestedList ? std::min<size_t>(1, a.roots().size()) : a.roots().size();
    if (b.roots().size() != roots)
        return false;
    std::vector<std::pair<const BookNode*, const BookNode*>> pending;
    for (size_t i = 0; i < roots; ++i)
        pending.emplace_back(a.roots()[i], b.roots()[i]);
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->text() != y->text() || x->childCount() != y->childCount())
            return false;
        for (int i = 0; i < x->childCount(); ++i)
            pending.emplace_back(x->child(i), y->child(i));
    }
    return true;
}

BookFormat FormatForFileName(std::string_view fileName) {
    const size_t slash = fileName.find_last_of('/');
    const std::string_view base =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot == std::string_view::npos)
        return BookFormat::IndentedText;
    std::string ext(base.substr(dot));
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext == ".TLK" ? BookFormat::NestedList : BookFormat::IndentedText;
}

namespace {

FileResult ReadBook(BookTree& tree, const std::string& fileName, LoadMode mode) {
    const BookFormat format = FormatForFileName(fileName);
    if (format == BookFormat::NestedList) {
        // A book file is read straight into its tree's texts, and the texts that stand in it as
        // they are stay there, moved together. A damaged one is read again the ordinary way
        // below, so that the damage is described from the file's bytes: parsing in place
        // overwrites them.
        std::size_t got = 0;
        char* source = nullptr;
        const bool read = ReadFileInPlace(
            fileName, [&](std::size_t size) { return source = tree.takeSourceBytes(size); }, got);
        if (read && got > 2 && !ParseNestedList(tree, {source, got}))
            return FileResult::success();
    }
    std::string data;
    if (!ReadWholeFile(fileName, data)) {
        if (format == BookFormat::NestedList)
            tree.clear();
        return FileResult::failure("Cannot open file " + fileName);
    }
    tree.clear();
    const std::optional<BookDamage> damage = Parse(format, tree, data);
    if (!damage)
        return FileResult::success();
    const std::string what =
        "Kirjatiedosto " + fileName + " on vaurioitunut: " + DescribeDamage(*damage, data) + ".";
    if (mode == LoadMode::Salvage) {
        FileResult result = FileResult::success();
        result.damaged = true;
        result.message = what + " Kirja luettiin niin pitkälle kuin se on ehjä.";
        return result;
    }
    tree.clear();
    FileResult result = FileResult::failure(what + std::string(kDamagedNotOpened));
    result.damaged = true;
    return result;
}

} // namespace

FileResult LoadBook(BookTree& tree, const std::string& fileName, LoadMode mode) {
    // A book too large for memory (or for a tree's room where the address space is limited) is
    // refused with a message; the program goes on.
    try {
        return ReadBook(tree, fileName, mode);
    } catch (const std::bad_alloc&) {
        tree.clear();
        return FileResult::failure("Kirjatiedosto " + fileName +
                                   " on liian suuri: muisti ei riitä sen lukemiseen.");
    }
}

namespace {

// Writes a book's bytes: the copy on disk must read back as they are, and as the same book when
// sameBook is given, before it replaces the old file.
FileResult WriteBookBytes(const std::string& fileName, const std::string& bytes,
                          const std::function<bool(const std::string&)>& sameBook) {
    const WriteCheck check = [&](const std::string& copyName) -> std::string {
        std::string written;
        if (!ReadWholeFile(copyName, written) || written != bytes ||
            (sameBook && !sameBook(written)))
            return "Tallennettua tiedostoa luettaessa kirja ei ollut sama kuin muistissa; "
                   "tiedosto on ennallaan.";
        return {};
    };
    if (FileResult r = WriteFileReplacing(fileName, bytes, check); !r)
        return FileResult::failure("Cannot create file " + fileName + "\n" + r.message);
    return FileResult::success();
}

} // namespace

FileResult SaveBook(const BookTree& tree, const std::string& fileName) {
    const BookFormat format = FormatForFileName(fileName);
    std::string problem;
    const std::string bytes = format == BookFormat::NestedList ? FormatNestedList(tree, &problem)
                                                               : FormatIndentedText(tree, &problem);
    if (!problem.empty())
        return FileResult::failure("Cannot create file " + fileName + "\nKirjaa ei tallennettu: " +
                                   problem + ". Tiedosto on ennallaan.");
    // The copy on disk is read back and compared with the book before it replaces the old file.
    return WriteBookBytes(fileName, bytes, [&](const std::string& written) {
        BookTree back;
        return !Parse(format, back, written) && SameBook(tree, back, format);
    });
}

FileResult SaveBookText(const std::string& text, const std::string& fileName) {
    return WriteBookBytes(fileName, text, {});
}

} // namespace kp
