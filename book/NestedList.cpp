// Reader and writer of the nested-list format.
#include "book/NestedList.h"

#include "book/FileIo.h"
#include "book/TextHelpers.h"

#include <cerrno>

namespace kp {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsWholeQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

bool WrittenAsList(const BookNode& node) {
    const std::string_view text = node.text();
    return node.hasChildren() || text.empty() ||
           (text.find(' ') != std::string_view::npos && !IsWholeQuoted(text));
}

// Whether the reader would take the text back unchanged and leave the quote pairing of the rest
// of the file intact: no backslash inside quotes, no parenthesis outside them, quotes paired.
bool ReadsBackAsIs(std::string_view text) {
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted && c == '\\')
            return false;
        else if (!quoted && (c == '(' || c == ')'))
            return false;
    }
    return !quoted;
}

// Writes a node text. Texts that read back as they are (every book without a `"` or `\` inside
// its names) are written byte for byte. Otherwise the part between the first and the last double
// quote is the quoted name: its own `"` and `\` are escaped with `\`, which the reader drops
// again, so a name typed with a quote or a backslash survives a save and a load.
void AppendText(std::string& out, std::string_view text) {
    if (ReadsBackAsIs(text)) {
        out += text;
        return;
    }
    const size_t first = text.find('"');
    const size_t last = text.rfind('"');
    if (first == std::string_view::npos || first == last) {
        out += text; // no quoted name to protect; the program composes no such text
        return;
    }
    out += text.substr(0, first + 1);
    for (size_t i = first + 1; i < last; ++i) {
        if (text[i] == '"' || text[i] == '\\')
            out += '\\';
        out += text[i];
    }
    out += text.substr(last);
}

} // namespace

void ParseNestedList(BookTree& tree, std::string_view data) {
    const size_t n = data.size();
    size_t p = 0;
    auto byteIs = [&](char c) { return p < n && data[p] == c; };
    auto skipSpace = [&] {
        while (p < n && IsSpace(data[p]))
            ++p;
    };
    // One entry per open list: the node whose children are being read (none at the top).
    std::vector<BookNode*> lists{nullptr};
    std::string text;
    while (true) {
        // Start of an item: step over its "(", but not over the quote of a quoted string.
        if (p < n && data[p] != '"')
            ++p;
        text.clear();
        bool quoted = false;
        while (p < n && (quoted || (data[p] != '(' && data[p] != ')'))) {
            const char c = data[p];
            if (c == '"') {
                quoted = !quoted;
                text += c;
            } else if (quoted && c == '\\') {
                ++p;
                if (p < n)
                    text += data[p];
                else
                    break;
            } else {
                text += c;
            }
            ++p;
        }
        const std::string_view trimmed = TrimControl(text);
        if (!trimmed.empty() && trimmed.front() == '"' && trimmed.back() == '"' && p > 0)
            --p; // so that a "(" after a quoted string is not taken as its children
        BookNode* node = tree.addLast(lists.back(), trimmed);
        if (byteIs('(')) {
            lists.push_back(node);
            continue;
        }
        ++p;
        // After an item: either the next item of the same list, or the end of one or more lists.
        while (true) {
            skipSpace();
            if (p < n && data[p] != ')')
                break;
            ++p;
            skipSpace();
            lists.pop_back();
            if (lists.empty())
                return;
        }
    }
}

std::string FormatNestedList(const BookTree& tree) {
    std::string out;
    const BookNode* root = tree.first();
    if (!root)
        return out;
    // Iterative walk: (node, index of the next child to write).
    std::vector<std::pair<const BookNode*, int>> stack;
    auto open = [&](const BookNode* node) {
        if (!WrittenAsList(*node)) {
            AppendText(out, node->text());
            return;
        }
        if (!out.empty() && out.back() != ' ' && out.back() != '(')
            out += ' ';
        out += '(';
        AppendText(out, node->text());
        stack.emplace_back(node, 0);
    };
    open(root);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->childCount()) {
            out += ')';
            stack.pop_back();
            continue;
        }
        const BookNode* child = node->child(next);
        if (next > 0)
            out += ' ';
        ++next;
        open(child);
    }
    return out;
}

FileResult ReadNestedList(BookTree& tree, const std::string& fileName) {
    tree.clear();
    std::string data;
    if (!ReadWholeFile(fileName, data))
        return FileResult::failure(FileErrorMessage(FileAction::Open, fileName, errno));
    if (data.size() > 2)
        ParseNestedList(tree, data);
    return FileResult::success();
}

FileResult WriteNestedList(const BookTree& tree, const std::string& fileName) {
    if (!WriteFileReplacing(fileName, FormatNestedList(tree)))
        return FileResult::failure(FileErrorMessage(FileAction::Save, fileName, errno));
    return FileResult::success();
}

} // namespace kp
