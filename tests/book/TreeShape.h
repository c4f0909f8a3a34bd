// Test support: a book tree written as one line, each node as dots for its level, its text and
// a bar: "r|.a|..a1|s|" is the root r with child a and grandchild a1, then the root s.
#pragma once

#include "book/BookTree.h"

#include <string>
#include <string_view>
#include <vector>

namespace kp::test {

// Adds the nodes in order; a node one level deeper than the one before becomes its child.
inline void Build(BookTree& tree, std::string_view shape) {
    std::vector<BookNode*> path;
    while (!shape.empty()) {
        const size_t level = shape.find_first_not_of('.');
        const size_t bar = shape.find('|');
        BookNode* parent = level == 0 ? nullptr : path[level - 1];
        path.resize(level);
        path.push_back(tree.addLast(parent, shape.substr(level, bar - level)));
        shape.remove_prefix(bar + 1);
    }
}

inline void AppendShape(const BookNode* node, size_t depth, std::string& out) {
    out.append(depth, '.').append(node->text()) += '|';
    for (const BookNode* child : node->children())
        AppendShape(child, depth + 1, out);
}

// Every root and its subtree; the dots come from the nesting, not from the nodes' levels.
inline std::string Shape(const BookTree& tree) {
    std::string out;
    for (const BookNode* root : tree.roots())
        AppendShape(root, 0, out);
    return out;
}

// Empty when every node's parent, index and level agree with where it stands and the node count
// is right; else the first disagreement.
inline std::string LinkErrors(const BookTree& tree) {
    std::size_t seen = 0;
    std::string error;
    auto check = [&](auto& self, ChildList list, BookNode* parent,
                     int depth) -> void {
        for (size_t i = 0; i < list.size() && error.empty(); ++i) {
            ++seen;
            if (list[i]->parent() != parent || list[i]->index() != static_cast<int>(i) ||
                list[i]->level() != depth)
                error = "bad links at " + std::string(list[i]->text());
            self(self, list[i]->children(), list[i], depth + 1);
        }
    };
    check(check, tree.roots(), nullptr, 0);
    if (error.empty() && seen != tree.count())
        error = "count " + std::to_string(tree.count()) + ", nodes " + std::to_string(seen);
    return error;
}

} // namespace kp::test
