// libFuzzer target: any sequence of edits on a book tree (adding, inserting, moving, removing,
// renaming, clearing, references and tags) leaves the same forest as the same edits on a plain
// reference model, with every parent, index, count and slot right. It guards the tree's pooled
// child lists, its slot tables and node reuse.
#include "book/BookTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The reference: node ids with a parent id and ordered child ids; -1 is the top.
struct Model {
    struct Node {
        std::string text;
        int parent = -1;
        std::vector<int> children;
        bool alive = true;
        int reference = -1;    // a model id
        std::uint32_t tag = 0; // when there is no reference
    };
    std::vector<Node> nodes;
    std::vector<int> roots;

    std::vector<int>& listOf(int parent) { return parent < 0 ? roots : nodes[parent].children; }
    int add(int parent, size_t pos, std::string text) {
        nodes.push_back({std::move(text), parent, {}, true});
        auto& list = listOf(parent);
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), int(nodes.size()) - 1);
        return int(nodes.size()) - 1;
    }
    size_t indexOf(int id) {
        auto& list = listOf(nodes[id].parent);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == id)
                return i;
        std::abort();
    }
    void detach(int id) {
        auto& list = listOf(nodes[id].parent);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(indexOf(id)));
    }
    void kill(int id) {
        nodes[id].alive = false;
        for (int child : nodes[id].children)
            kill(child);
        nodes[id].children.clear();
    }
    bool inSubtree(int id, int top) {
        for (int p = id; p >= 0; p = nodes[p].parent)
            if (p == top)
                return true;
        return false;
    }
};

void Check(const kp::BookTree& tree, Model& model, const std::vector<kp::BookNode*>& handles) {
    std::size_t alive = 0;
    auto walk = [&](auto& self, const std::vector<int>& list, const kp::BookNode* parent,
                    kp::ChildList actual, int depth) -> void {
        if (actual.size() != list.size())
            std::abort();
        for (size_t i = 0; i < list.size(); ++i) {
            const kp::BookNode* node = actual[i];
            ++alive;
            if (node != handles[list[i]] || node->parent() != parent ||
                node->index() != static_cast<int>(i) || node->level() != depth ||
                node->text() != model.nodes[list[i]].text ||
                (model.nodes[list[i]].reference >= 0
                     ? node->reference() != handles[model.nodes[list[i]].reference]
                     : node->tag() != model.nodes[list[i]].tag ||
                           (model.nodes[list[i]].tag == 0 && node->reference() != nullptr)) ||
                tree.nextSibling(node) != (i + 1 < list.size() ? actual[i + 1] : nullptr))
                std::abort();
            self(self, model.nodes[list[i]].children, node, node->children(), depth + 1);
        }
    };
    walk(walk, model.roots, nullptr, tree.roots(), 0);
    if (alive != tree.count())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kp::BookTree tree;
    Model model;
    std::vector<kp::BookNode*> handles; // by model id
    std::size_t at = 0;
    auto next = [&]() -> unsigned { return at < size ? data[at++] : 0; };
    // A living node picked by the input; -1 (the top) when there is none or the byte says so.
    auto pick = [&](bool allowTop) -> int {
        std::vector<int> living;
        for (size_t i = 0; i < model.nodes.size(); ++i)
            if (model.nodes[i].alive)
                living.push_back(static_cast<int>(i));
        const unsigned b = next();
        if (living.empty() || (allowTop && b % 8 == 0))
            return -1;
        return living[b % living.size()];
    };
    auto node = [&](int id) { return id < 0 ? nullptr : handles[id]; };
    int step = 0;
    while (at < size && step++ < 400) {
        const unsigned op = next() % 10;
        const std::string text = "n" + std::to_string(model.nodes.size());
        switch (op) {
        case 0:
        case 1: { // addLast, often
            const int parent = pick(true);
            handles.push_back(tree.addLast(node(parent), text));
            model.add(parent, model.listOf(parent).size(), text);
            break;
        }
        case 2: {
            const int parent = pick(true);
            handles.push_back(tree.addFirst(node(parent), text));
            model.add(parent, 0, text);
            break;
        }
        case 3: {
            const int sibling = pick(true);
            handles.push_back(tree.insertBefore(node(sibling), text));
            if (sibling < 0)
                model.add(-1, model.roots.size(), text);
            else
                model.add(model.nodes[sibling].parent, model.indexOf(sibling), text);
            break;
        }
        case 4: {
            const int moved = pick(false);
            const int parent = pick(true);
            if (moved < 0)
                break;
            tree.moveToLastChild(node(moved), node(parent));
            if (parent >= 0 && model.inSubtree(parent, moved))
                break;
            model.detach(moved);
            model.nodes[moved].parent = parent;
            model.listOf(parent).push_back(moved);
            break;
        }
        case 5: {
            const int moved = pick(false);
            const int target = pick(false);
            if (moved < 0 || target < 0)
                break;
            tree.moveBefore(node(moved), node(target));
            if (model.inSubtree(target, moved))
                break;
            model.detach(moved);
            const int parent = model.nodes[target].parent;
            model.nodes[moved].parent = parent;
            auto& list = model.listOf(parent);
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(model.indexOf(target)), moved);
            break;
        }
        case 6: {
            const int gone = pick(false);
            if (gone < 0)
                break;
            tree.remove(node(gone));
            model.detach(gone);
            model.kill(gone);
            break;
        }
        case 7: {
            const int top = pick(false);
            if (top < 0)
                break;
            tree.removeChildren(node(top));
            for (int child : model.nodes[top].children)
                model.kill(child);
            model.nodes[top].children.clear();
            break;
        }
        case 8: {
            const int marked = pick(false);
            const unsigned how = next();
            if (marked < 0)
                break;
            model.nodes[marked].reference = -1;
            model.nodes[marked].tag = 0;
            if (how % 2 == 0) {
                node(marked)->setTag(how);
                model.nodes[marked].tag = how;
                break;
            }
            const int target = pick(false);
            node(marked)->setReference(node(target));
            model.nodes[marked].reference = target;
            break;
        }
        default: {
            const int renamed = pick(false);
            if (renamed < 0) {
                tree.clear();
                for (size_t i = 0; i < model.nodes.size(); ++i)
                    model.nodes[i].alive = false;
                model.roots.clear();
                break;
            }
            const std::string longer(next() * 3, 'x');
            tree.setText(node(renamed), text + longer);
            model.nodes[renamed].text = text + longer;
            break;
        }
        }
        Check(tree, model, handles);
    }
    // A moved tree keeps its nodes; the tree left behind is empty and usable.
    kp::BookTree moved(std::move(tree));
    Check(moved, model, handles);
    if (!tree.empty() || tree.count() != 0)
        std::abort();
    tree.addLast(nullptr, "again");
    return 0;
}
