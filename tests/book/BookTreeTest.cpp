// The book tree's structural operations: adding, moving, deleting, pre-order walk.
#include "book/BookTree.h"

#include "tests/book/TreeShape.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace kp {
namespace {

using test::Shape;

constexpr std::string_view kSample = "r|.a|..a1|..a2|.b|.c|s|.s1|";

BookNode* Find(const BookTree& tree, std::string_view text) {
    for (BookNode* n = tree.first(); n; n = tree.next(n))
        if (n->text() == text)
            return n;
    return nullptr;
}

// An edit: the node found by the first name, the node found by the second, the second name.
using Edit = void (*)(BookTree&, BookNode*, BookNode*, const char*);
const Edit AddLast = [](BookTree& t, BookNode* n, BookNode*, const char* s) { t.addLast(n, s); };
const Edit AddFirst = [](BookTree& t, BookNode* n, BookNode*, const char* s) { t.addFirst(n, s); };
const Edit Insert = [](BookTree& t, BookNode* n, BookNode*, const char* s) {
    t.insertBefore(n, s);
};
const Edit MoveIn = [](BookTree& t, BookNode* n, BookNode* o, const char*) {
    t.moveToLastChild(n, o);
};
const Edit MoveBefore = [](BookTree& t, BookNode* n, BookNode* o, const char*) {
    t.moveBefore(n, o);
};
const Edit Remove = [](BookTree& t, BookNode* n, BookNode*, const char*) { t.remove(n); };
const Edit RemoveKids = [](BookTree& t, BookNode* n, BookNode*, const char*) {
    t.removeChildren(n);
};

TEST(BookTree, EditsKeepIndexLevelAndCount) {
    // Name, edit, first node ("" for none), second node or new text, the tree afterwards.
    const std::tuple<const char*, Edit, const char*, const char*, const char*> cases[] = {
        {"add last child", AddLast, "a", "x", "r|.a|..a1|..a2|..x|.b|.c|s|.s1|"},
        {"add last root", AddLast, "", "x", "r|.a|..a1|..a2|.b|.c|s|.s1|x|"},
        {"add first child", AddFirst, "a", "x", "r|.a|..x|..a1|..a2|.b|.c|s|.s1|"},
        {"add first child of a leaf", AddFirst, "b", "x", "r|.a|..a1|..a2|.b|..x|.c|s|.s1|"},
        {"add first root", AddFirst, "", "x", "x|r|.a|..a1|..a2|.b|.c|s|.s1|"},
        {"insert before a child", Insert, "a2", "x", "r|.a|..a1|..x|..a2|.b|.c|s|.s1|"},
        {"insert before a first child", Insert, "a", "x", "r|.x|.a|..a1|..a2|.b|.c|s|.s1|"},
        {"insert before a root", Insert, "s", "x", "r|.a|..a1|..a2|.b|.c|x|s|.s1|"},
        {"move with subtree", MoveIn, "a", "s", "r|.b|.c|s|.s1|.a|..a1|..a2|"},
        {"move to end of own parent", MoveIn, "a", "r", "r|.b|.c|.a|..a1|..a2|s|.s1|"},
        {"move up to grandparent", MoveIn, "a1", "r", "r|.a|..a2|.b|.c|.a1|s|.s1|"},
        {"move to the roots", MoveIn, "a", "", "r|.b|.c|s|.s1|a|.a1|.a2|"},
        {"move root into a tree", MoveIn, "s", "b", "r|.a|..a1|..a2|.b|..s|...s1|.c|"},
        {"move into own child", MoveIn, "a", "a1", kSample.data()},
        {"move into itself", MoveIn, "r", "r", kSample.data()},
        {"move before earlier sibling", MoveBefore, "c", "a", "r|.c|.a|..a1|..a2|.b|s|.s1|"},
        {"move before later sibling", MoveBefore, "a", "c", "r|.b|.a|..a1|..a2|.c|s|.s1|"},
        {"move root before grandchild", MoveBefore, "s", "a1", "r|.a|..s|...s1|..a1|..a2|.b|.c|"},
        {"move grandchild before root", MoveBefore, "a1", "r", "a1|r|.a|..a2|.b|.c|s|.s1|"},
        {"move before own descendant", MoveBefore, "r", "a2", kSample.data()},
        {"move before itself", MoveBefore, "b", "b", kSample.data()},
        {"delete with subtree", Remove, "a", "", "r|.b|.c|s|.s1|"},
        {"delete the first root", Remove, "r", "", "s|.s1|"},
        {"delete children", RemoveKids, "r", "", "r|s|.s1|"},
        {"delete children of a leaf", RemoveKids, "c", "", kSample.data()},
    };
    for (const auto& [name, edit, node, other, shape] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        test::Build(tree, kSample);
        edit(tree, Find(tree, node), Find(tree, other), other);
        EXPECT_EQ(Shape(tree), shape);
        EXPECT_EQ(test::LinkErrors(tree), "");
    }
}

TEST(BookTree, WalkAccessAndCount) {
    BookTree tree;
    test::Build(tree, kSample);
    std::string walk;
    for (const BookNode* n = tree.first(); n; n = tree.next(n))
        walk += std::string(n->text()) + " ";
    EXPECT_EQ(walk, "r a a1 a2 b c s s1 "); // crosses from the first root to the next
    const BookNode* a = Find(tree, "a");
    EXPECT_EQ(tree.count(), 8u);
    EXPECT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(1)->text(), "a2");
    EXPECT_EQ(a->child(2), nullptr);
    EXPECT_EQ(a->child(-1), nullptr);
    EXPECT_EQ(a->child(1)->parent(), a);
    tree.setText(Find(tree, "b"), "bee");
    EXPECT_EQ(Shape(tree), "r|.a|..a1|..a2|.bee|.c|s|.s1|");
}

TEST(BookTree, DeletedNodesComeBackCleanAndClearEmptiesTheTree) {
    BookTree tree;
    test::Build(tree, kSample);
    Find(tree, "a1")->setReference(tree.first());
    tree.remove(Find(tree, "a"));
    BookNode* x = tree.addLast(Find(tree, "c"), "x");
    EXPECT_EQ(x->hasChildren(), false);
    EXPECT_EQ(x->reference(), nullptr);
    EXPECT_EQ(Shape(tree), "r|.b|.c|..x|s|.s1|");
    EXPECT_EQ(test::LinkErrors(tree), "");

    tree.clear();
    EXPECT_EQ(tree.count(), 0u);
    EXPECT_EQ(tree.first(), nullptr);
    tree.addLast(nullptr, "new");
    EXPECT_EQ(Shape(tree), "new|");
}

TEST(BookTree, TextsStayIntactAcrossManyNodesAndLongTexts) {
    BookTree tree;
    BookNode* root = tree.addLast(nullptr, "root");
    const std::string longText(100000, 'x');
    BookNode* big = tree.addLast(root, longText);
    for (int i = 0; i < 5000; ++i)
        tree.setText(tree.addLast(root, "n"), "node " + std::to_string(i));
    EXPECT_EQ(big->text(), longText);
    EXPECT_EQ(root->text(), "root");
    EXPECT_EQ(root->child(5000)->text(), "node 4999");
    // A list long enough for blocks of its own, grown while another list grows beside it and
    // then edited in the middle.
    BookNode* other = tree.addLast(nullptr, "other");
    for (int i = 0; i < 70000; ++i) {
        tree.addLast(root, "m");
        tree.addLast(other, "o");
    }
    tree.moveBefore(root->child(75000), root->child(0));
    tree.remove(root->child(1));
    EXPECT_EQ(root->child(0)->text(), "m");
    EXPECT_EQ(root->childCount(), 75000);
    EXPECT_EQ(other->childCount(), 70000);
    EXPECT_EQ(test::LinkErrors(tree), "");
}

} // namespace
} // namespace kp
