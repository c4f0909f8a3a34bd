// libFuzzer target: any bytes read in either format, saved in both, read back: the same tree and,
// written again, the same bytes; or the writer says why it cannot hold the tree.
#include "book/BookFile.h"
#include "book/BookTree.h"
#include "book/IndentedText.h"
#include "book/NestedList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string Format(const kp::BookTree& tree, kp::BookFormat format, std::string& problem) {
    return format == kp::BookFormat::NestedList ? kp::FormatNestedList(tree, &problem)
                                                : kp::FormatIndentedText(tree, &problem);
}

bool Parse(kp::BookTree& tree, kp::BookFormat format, std::string_view bytes) {
    if (format == kp::BookFormat::NestedList)
        return bytes.size() <= 2 || !kp::ParseNestedList(tree, bytes);
    return !kp::ParseIndentedText(tree, bytes);
}

// As a book file is loaded: its bytes become the tree's own and its texts are kept in place.
bool ParseInPlace(kp::BookTree& tree, kp::BookFormat format, std::string_view bytes) {
    if (format != kp::BookFormat::NestedList || bytes.size() <= 2)
        return Parse(tree, format, bytes);
    char* source = tree.takeSourceBytes(bytes.size());
    std::copy(bytes.begin(), bytes.end(), source);
    return !kp::ParseNestedList(tree, {source, bytes.size()});
}

// A whole quoted text written bare cannot stand first among its siblings nor follow another one;
// the reader makes one there from a "(" before a quoted text, which it passes over as the
// earlier program did.
bool HasMisplacedQuotedText(const kp::BookTree& tree) {
    auto quoted = [](const kp::BookNode* node) {
        const std::string_view text = node->text();
        return text.size() >= 2 && text.front() == '"' && text.back() == '"';
    };
    for (const kp::BookNode* node = tree.first(); node; node = tree.next(node)) {
        const kp::BookNode* before =
            node->parent() ? node->parent()->child(node->index() - 1) : nullptr;
        if (node->parent() && quoted(node) &&
            (!before || (quoted(before) && !before->hasChildren())))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const auto from : {kp::BookFormat::NestedList, kp::BookFormat::IndentedText}) {
        kp::BookTree tree;
        const bool sound = Parse(tree, from, bytes);
        for (const auto to : {kp::BookFormat::NestedList, kp::BookFormat::IndentedText}) {
            std::string problem;
            const std::string written = Format(tree, to, problem);
            if (!problem.empty()) {
                // A sound nested-list file always saves back in its own format, but for a quoted
                // text the reader placed where no writing can put it: the verified save then
                // refuses with a message and the file stays as it was.
                if (sound && from == kp::BookFormat::NestedList && to == from &&
                    !HasMisplacedQuotedText(tree))
                    std::abort();
                continue;
            }
            // A first root with an empty text and no children is written "()", which the
            // loader takes for an empty book (as it takes any file of two bytes or fewer): the
            // verified save refuses such a book and says so, and the file stays as it was.
            if (to == kp::BookFormat::NestedList && written.size() <= 2 && !tree.empty())
                continue;
            kp::BookTree back;
            if (!ParseInPlace(back, to, written) || !kp::SameBook(tree, back, to))
                std::abort();
            std::string again;
            if (Format(back, to, again) != written || !again.empty())
                std::abort();
        }
    }
    return 0;
}
