// libFuzzer target: any bytes read in either format, saved in both, read back: the same tree and,
// written again, the same bytes; or the writer says why it cannot hold the tree.
#include "book/BookFile.h"
#include "book/BookTree.h"
#include "book/IndentedText.h"
#include "book/NestedList.h"

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

// Whether the bytes were sound. Every input is parsed: "()" written for a first root with an
// empty text and no children must read back as that root.
bool Parse(kp::BookTree& tree, kp::BookFormat format, std::string_view bytes) {
    if (format == kp::BookFormat::NestedList) {
        const bool damaged = kp::ParseNestedList(tree, bytes).has_value();
        return bytes.size() <= 2 || !damaged;
    }
    return !kp::ParseIndentedText(tree, bytes);
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
                // A sound nested-list file always saves back in its own format.
                if (sound && from == kp::BookFormat::NestedList && to == from)
                    std::abort();
                continue;
            }
            kp::BookTree back;
            if (!Parse(back, to, written) || !kp::SameBook(tree, back, to))
                std::abort();
            std::string again;
            if (Format(back, to, again) != written || !again.empty())
                std::abort();
        }
    }
    return 0;
}
