// Loading and saving a book in the format its file name's extension selects.
#include "book/BookFile.h"

#include "book/IndentedText.h"
#include "book/NestedList.h"

namespace kp {

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

FileResult LoadBook(BookTree& tree, const std::string& fileName, LoadMode /*mode*/) {
    if (FormatForFileName(fileName) == BookFormat::NestedList)
        return ReadNestedList(tree, fileName);
    return ReadIndentedText(tree, fileName);
}

FileResult SaveBook(const BookTree& tree, const std::string& fileName) {
    if (FormatForFileName(fileName) == BookFormat::NestedList)
        return WriteNestedList(tree, fileName);
    return WriteIndentedText(tree, fileName);
}

} // namespace kp
