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
    kp::ParseIndentedText(tree, bytes);
    std::string problem;
    const std::string written = kp::FormatIndentedText(tree, &problem);
    kp::BookTree again;
    // What the writer writes without a problem reads back, whatever the first read stopped at.
    if (problem.empty() && kp::ParseIndentedText(again, written))
        std::abort();
    return 0;
}
