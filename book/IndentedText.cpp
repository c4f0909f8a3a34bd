// Reader and writer of the indented text format.
#include "book/IndentedText.h"

#include "book/FileIo.h"
#include "book/Win1252.h"

#include <cerrno>
#include <vector>

namespace kp {

FileResult ParseIndentedText(BookTree& tree, std::string_view data) {
    const size_t nul = data.find('\0');
    if (nul != std::string_view::npos)
        data = data.substr(0, nul);
    // path[L] is the node added last at level L.
    std::vector<BookNode*> path;
    size_t pos = 0;
    bool firstLine = true;
    while (pos < data.size()) {
        size_t end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        std::string_view line = data.substr(pos, end - pos);
        pos = end;
        if (pos < data.size()) {
            if (data[pos] == '\r' && pos + 1 < data.size() && data[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
        size_t level = 0;
        while (level < line.size() && (line[level] == '\t' || line[level] == ' '))
            ++level;
        const std::string_view text = line.substr(level);
        if (firstLine) {
            firstLine = false;
            level = 0; // the first line is a root whatever its indentation
        } else if (level > path.size()) {
            return FileResult::failure("Invalid level (" + std::to_string(level) + ") for item \"" +
                                       Win1252ToUtf8(text) + "\"");
        }
        BookNode* parent = level == 0 ? nullptr : path[level - 1];
        BookNode* node = tree.addLast(parent, text);
        path.resize(level);
        path.push_back(node);
    }
    return FileResult::success();
}

std::string FormatIndentedText(const BookTree& tree) {
    std::string out;
    // Pre-order with the depth carried along: (node, level), children pushed in reverse.
    std::vector<std::pair<const BookNode*, size_t>> pending;
    for (auto it = tree.roots().rbegin(); it != tree.roots().rend(); ++it)
        pending.emplace_back(*it, 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        out.append(level, '\t');
        out += node->text();
        out += "\r\n";
        const auto& children = node->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.emplace_back(*it, level + 1);
    }
    return out;
}

FileResult ReadIndentedText(BookTree& tree, const std::string& fileName) {
    std::string data;
    if (!ReadWholeFile(fileName, data))
        return FileResult::failure(FileErrorMessage(FileAction::Open, fileName, errno));
    tree.clear();
    return ParseIndentedText(tree, data);
}

FileResult WriteIndentedText(const BookTree& tree, const std::string& fileName) {
    if (!WriteFileReplacing(fileName, FormatIndentedText(tree)))
        return FileResult::failure(FileErrorMessage(FileAction::Save, fileName, errno));
    return FileResult::success();
}

} // namespace kp
