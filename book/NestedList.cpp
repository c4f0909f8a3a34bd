// Reader and writer of the nested-list format.
#include "book/NestedList.h"

#include "book/FileIo.h"
#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <array>
#include <optional>

namespace kp {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsWholeQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// A whole quoted text is written bare, as an item of its own; every other text opens a list.
bool WrittenAsList(const BookNode& node) {
    return !IsWholeQuoted(node.text());
}

// The text the reader takes from written bytes that start an item's text, or none when it would
// not stop at their end (a parenthesis outside quotes ends it early, an open quote runs on).
std::optional<std::string> ReadBack(std::string_view written) {
    std::string text;
    bool quoted = false;
    for (size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '"') {
            quoted = !quoted;
            text += c;
        } else if (quoted && c == '\\') {
            if (++i == written.size())
                return std::nullopt;
            text += written[i];
        } else if (!quoted && (c == '(' || c == ')')) {
            return std::nullopt;
        } else {
            text += c;
        }
    }
    if (quoted)
        return std::nullopt;
    return text;
}

// The bytes that read back as the text. Texts without a `"` or `\` inside their names (every
// book the program has ever written) are written byte for byte. Otherwise the part between the
// first and the last double quote is the quoted name: its own `"` and `\` are escaped with `\`,
// which the reader drops again. No other writing can do better: a parenthesis stays text only
// inside quotes, and only the first quote can open and the last close them.
std::optional<std::string> EncodeText(std::string_view text) {
    if (ReadBack(text) == text)
        return std::string(text);
    const size_t first = text.find('"');
    const size_t last = text.rfind('"');
    if (first == std::string_view::npos || first == last)
        return std::nullopt;
    std::string out(text.substr(0, first + 1));
    for (size_t i = first + 1; i < last; ++i) {
        if (text[i] == '"' || text[i] == '\\')
            out += '\\';
        out += text[i];
    }
    out += text.substr(last);
    if (ReadBack(out) != text)
        return std::nullopt;
    return out;
}

// Why the node cannot be written so that it reads back, or empty.
std::string WhyNotWritable(const BookNode& node) {
    const std::string_view text = node.text();
    if (text.find('\0') != std::string_view::npos)
        return "siinä on NUL-merkki";
    if (!text.empty() && (static_cast<unsigned char>(text.front()) <= 32 ||
                          static_cast<unsigned char>(text.back()) <= 32))
        return "sen alussa tai lopussa on tyhjää tai ohjausmerkkejä";
    if (!EncodeText(text))
        return "siinä on sulku tai lainausmerkki, jota ei voi sijoittaa lainausmerkkien sisään";
    if (!WrittenAsList(node)) {
        // A bare item is read from its opening quote up to the next parenthesis: it cannot carry
        // children, cannot stand first (it would join its parent's text) and cannot follow another
        // bare item (the two would join).
        if (node.hasChildren())
            return "lainausmerkeissä olevalla tekstillä on alasolmuja";
        if (node.index() == 0)
            return "lainausmerkeissä oleva teksti on ensimmäisenä";
        const BookNode* before = node.parent()->child(node.index() - 1);
        if (!WrittenAsList(*before) && !before->hasChildren())
            return "lainausmerkeissä oleva teksti seuraa toista";
    }
    return {};
}

} // namespace

std::string DescribeDamage(const BookDamage& damage, std::string_view data) {
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < damage.offset && i < data.size(); ++i) {
        if (data[i] == '\n' || (data[i] == '\r' && (i + 1 >= data.size() || data[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    if (line == 1)
        return damage.what + " (kohta " + std::to_string(damage.offset) + ")";
    return damage.what + " (rivi " + std::to_string(line) + ", sarake " +
           std::to_string(damage.offset - lineStart + 1) + ")";
}

namespace {
// The bytes that end a run of plain text, outside quotes (0) and inside them (1).
constexpr auto kStops = [] {
    std::array<std::array<bool, 256>, 2> stops{};
    for (const unsigned char c : {'(', ')', '"', '\0'})
        stops[0][c] = true;
    for (const unsigned char c : {'"', '\\', '\0'})
        stops[1][c] = true;
    return stops;
}();
} // namespace

std::optional<BookDamage> ParseNestedList(BookTree& tree, std::string_view data) {
    const size_t n = data.size();
    size_t p = 0;
    std::optional<BookDamage> damage;
    auto note = [&](const char* what, size_t at) {
        if (!damage)
            damage = BookDamage{what, at};
    };
    auto skipSpace = [&] {
        while (p < n && IsSpace(data[p]))
            ++p;
    };
    if (const size_t nul = data.find('\0'); nul != std::string_view::npos)
        note("tiedostossa on NUL-merkki", nul);
    // Blanks and line ends before the book are not part of it.
    skipSpace();
    if (p == n)
        return damage;
    if (data[p] != '(')
        note("tiedosto ei ole kirjatiedosto: se ei ala merkillä \"(\"", p);

    // One entry per open list: the node whose children are being read (none at the top).
    std::vector<BookNode*> lists{nullptr};
    // Lists left open by an error close all the same.
    struct FinishLoad {
        BookTree& tree;
        ~FinishLoad() {
            try {
                tree.finishLoad();
            } catch (...) {
            }
        }
    } finish{tree};
    std::string text;
    while (true) {
        // Start of an item: step over its "(", but not over the quote of a quoted string.
        if (p < n && data[p] != '"') {
            if (data[p] != '(')
                note("odottamaton merkki luettelon alussa", p);
            ++p;
        }
        // Runs of plain bytes are taken whole; only quotes, escapes, NULs and parentheses
        // outside quotes stop a run. A text without escapes or NULs is a slice of the data as
        // it stands, copied only into the tree, or not at all when the data are the tree's own.
        const size_t start = p;
        bool copied = false;
        auto copyFromStart = [&] {
            if (!copied)
                text.assign(data.substr(start, p - start));
            copied = true;
        };
        bool quoted = false;
        size_t quoteAt = 0;
        while (p < n) {
            const size_t run = p;
            while (p < n && !kStops[quoted][static_cast<unsigned char>(data[p])])
                ++p;
            if (copied)
                text.append(data.substr(run, p - run));
            if (p == n)
                break;
            const char c = data[p];
            if (!quoted && (c == '(' || c == ')'))
                break;
            if (c == '"') {
                quoted = !quoted;
                quoteAt = p;
                if (copied)
                    text += c;
            } else if (c == '\\') { // only inside quotes
                copyFromStart();
                ++p;
                if (p == n)
                    break;
                if (data[p] != '\0')
                    text += data[p];
            } else { // a NUL is left out
                copyFromStart();
            }
            ++p;
        }
        if (quoted) {
            note("lainausmerkki jää sulkematta", quoteAt);
            copyFromStart();
            text += '"'; // a salvaged book keeps the text, closed so that it can be saved
        }
        const std::string_view trimmed =
            TrimControl(copied ? std::string_view(text) : data.substr(start, p - start));
        if (!trimmed.empty() && trimmed.front() == '"' && trimmed.back() == '"' && p > 0)
            --p; // so that a "(" after a quoted string is not taken as its children
        BookNode* node = tree.loadNode(trimmed);
        if (p < n && data[p] == '(') {
            lists.push_back(node);
            tree.openList();
            continue;
        }
        ++p;
        // After an item: either the next item of the same list, or the end of one or more lists.
        while (true) {
            skipSpace();
            if (p < n && data[p] != ')')
                break;
            if (p >= n && lists.size() > 1)
                note("tiedosto loppuu kesken", n);
            if (p < n && lists.size() == 1)
                note("kirjan perässä on ylimääräistä tietoa", p); // a ")" that closes nothing
            ++p;
            skipSpace();
            if (lists.back())
                tree.closeList();
            lists.pop_back();
            if (lists.empty()) {
                if (p < n)
                    note("kirjan perässä on ylimääräistä tietoa", p);
                return damage; // the rest of the data is not read
            }
        }
        if (lists.size() == 1)
            note("kirjan perässä on ylimääräistä tietoa", p);
    }
}

std::string FormatNestedList(const BookTree& tree, std::string* problem) {
    std::string out;
    const BookNode* root = tree.first();
    if (!root)
        return out;
    auto append = [&](const BookNode* node) {
        if (problem && problem->empty()) {
            if (std::string why = WhyNotWritable(*node); !why.empty()) {
                std::string shown = Win1252ToUtf8(node->text().substr(0, 60));
                *problem = "tekstiä \"" + shown + "\" ei voi tallentaa .tlk-muotoon: " + why;
            }
        }
        if (const auto encoded = EncodeText(node->text()))
            out += *encoded;
        else
            out += node->text();
    };
    // Iterative walk: (node, index of the next child to write).
    std::vector<std::pair<const BookNode*, int>> stack;
    auto open = [&](const BookNode* node) {
        if (!WrittenAsList(*node) && !node->hasChildren() && node->parent()) {
            append(node);
            return;
        }
        if (!out.empty() && out.back() != ' ' && out.back() != '(')
            out += ' ';
        out += '(';
        append(node);
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

} // namespace kp
