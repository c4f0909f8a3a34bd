// Reader and writer of the indented text format.
#include "book/IndentedText.h"

#include "book/Win1252.h"

#include <algorithm>
#include <vector>

namespace kp {

std::optional<BookDamage> ParseIndentedText(BookTree& tree, std::string_view data) {
    std::optional<BookDamage> damage;
    const size_t nul = data.find('\0');
    if (nul != std::string_view::npos) {
        damage = BookDamage{"tiedostossa on NUL-merkki", nul};
        data = data.substr(0, nul); // the content ends at the NUL
    }
    // path[L] is the node added last at level L.
    std::vector<BookNode*> path;
    size_t pos = 0;
    bool firstLine = true;
    while (pos < data.size()) {
        const size_t lineStart = pos;
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
        } else if (level > path.size() || level > static_cast<size_t>(kMaxIndentedDepth)) {
            const std::string shown = Win1252ToUtf8(text.substr(0, 60));
            return BookDamage{level > static_cast<size_t>(kMaxIndentedDepth)
                                  ? "rivi \"" + shown + "\" on sisennetty yli " +
                                        std::to_string(kMaxIndentedDepth) + " tason syvyyteen"
                                  : "rivin \"" + shown + "\" sisennys (" + std::to_string(level) +
                                        ") on syvempi kuin edellisen rivin alla voi olla",
                              lineStart};
        }
        BookNode* parent = level == 0 ? nullptr : path[level - 1];
        BookNode* node = tree.addLast(parent, text);
        path.resize(level);
        path.push_back(node);
    }
    return damage;
}

std::string FormatIndentedText(const BookTree& tree, std::string* problem) {
    std::string out;
    auto report = [&](const BookNode* node, const char* why) {
        if (problem && problem->empty())
            *problem = "tekstiä \"" + Win1252ToUtf8(node->text().substr(0, 60)) +
                       "\" ei voi tallentaa tekstimuotoon: " + why;
    };
    // Pre-order with the depth carried along: (node, level), children pushed in reverse.
    std::vector<std::pair<const BookNode*, size_t>> pending;
    for (auto it = tree.roots().rbegin(); it != tree.roots().rend(); ++it)
        pending.emplace_back(*it, 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        const std::string_view text = node->text();
        if (level > static_cast<size_t>(kMaxIndentedDepth)) {
            // The indentation alone would grow with the square of the depth: stop here.
            if (problem && problem->empty())
                *problem = "kirja on sisäkkäinen yli " + std::to_string(kMaxIndentedDepth) +
                           " tason syvyyteen";
            if (problem)
                return out;
            continue;
        }
        if (std::any_of(text.begin(), text.end(),
                        [](char c) { return c == '\r' || c == '\n' || c == '\0'; }))
            report(node, "siinä on rivinvaihto tai NUL-merkki");
        else if (!text.empty() && (text.front() == '\t' || text.front() == ' '))
            report(node, "se alkaa sarkaimella tai välilyönnillä");
        out.append(level, '\t');
        out += text;
        out += "\r\n";
        const auto& children = node->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.emplace_back(*it, level + 1);
    }
    return out;
}

} // namespace kp
