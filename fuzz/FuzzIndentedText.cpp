// libFuzzer target: the indented text reader, then the writer and the reader again.
#include "book/BookTree.h"
#include "book/IndentedText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kp::BookTree tree;
    const bool ok = kp::ParseIndentedText(tree, bytes).ok;
    const std::string written = kp::FormatIndentedText(tree);
    kp::BookTree again;
    // What the writer writes always reads back, whatever the first read stopped at.
    if (!kp::ParseIndentedText(again, written).ok)
        std::abort();
    (void)ok;
    return 0;
}
