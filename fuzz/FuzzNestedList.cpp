// libFuzzer target: the nested-list reader, then the writer and the reader again.
#include "book/BookTree.h"
#include "book/NestedList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kp::BookTree tree;
    kp::ParseNestedList(tree, bytes);
    const std::string written = kp::FormatNestedList(tree);
    kp::BookTree again;
    kp::ParseNestedList(again, written);
    // Walk the tree read back so that every node is touched.
    std::size_t seen = 0;
    for (const kp::BookNode* n = again.first(); n; n = again.next(n))
        seen += n->text().size() + static_cast<std::size_t>(n->index());
    return seen == static_cast<std::size_t>(-1) ? 1 : 0;
}
