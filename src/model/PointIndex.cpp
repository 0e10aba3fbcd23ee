#include "model/PointIndex.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// A bijective mix of the address: distinct points never tie, and points allocated one
// after another get priorities that look random, which keeps the treap balanced.
std::uint64_t Priority(PointIndex::Node n) {
    auto x = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(n->get()));
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

} // namespace

void PointIndex::AddToSums(Node from, std::int32_t amount) {
    for (Node n = from; !IsNone(n); n = (*n)->parent_)
        (*n)->subtreeTicks_ += amount;
}

void PointIndex::ReplaceChild(Node parent, Node from, Node to) {
    if (IsNone(parent))
        root_ = to;
    else if ((*parent)->left_ == from)
        (*parent)->left_ = to;
    else
        (*parent)->right_ = to;
}

void PointIndex::RotateUp(Node node) {
    SongTimePoint& x = **node;
    const Node parent = x.parent_;
    SongTimePoint& p = **parent;
    // The subtree between the two changes sides.
    Node between;
    if (p.left_ == node) {
        between = x.right_;
        p.left_ = between;
        x.right_ = parent;
    } else {
        between = x.left_;
        p.right_ = between;
        x.left_ = parent;
    }
    if (!IsNone(between))
        (*between)->parent_ = parent;
    ReplaceChild(p.parent_, parent, node);
    x.parent_ = p.parent_;
    p.parent_ = node;
    x.subtreeTicks_ = p.subtreeTicks_;
    p.subtreeTicks_ = p.delta.value_ + SubtreeTicks(p.left_) + SubtreeTicks(p.right_);
}

void PointIndex::Link(Node node) {
    SongTimePoint& x = **node;
    const Node none = list_.End();
    x.left_ = x.right_ = x.parent_ = none;
    x.subtreeTicks_ = x.delta.value_;
    if (IsNone(root_)) {
        root_ = node;
        return;
    }
    // The new point goes right under its list neighbour before, or else left under the
    // one after: of two neighbours in a binary tree, one has that side free.
    const Node before = node == list_.Begin() ? none : std::prev(node);
    if (!IsNone(before) && IsNone((*before)->right_)) {
        (*before)->right_ = node;
        x.parent_ = before;
    } else {
        const Node after = std::next(node);
        (*after)->left_ = node;
        x.parent_ = after;
    }
    AddToSums(x.parent_, x.delta.value_);
    const std::uint64_t priority = Priority(node);
    while (!IsNone(x.parent_) && Priority(x.parent_) < priority)
        RotateUp(node);
}

void PointIndex::Unlink(Node node) {
    SongTimePoint& x = **node;
    // Down until at most one child is left, keeping the higher priority above.
    while (!IsNone(x.left_) && !IsNone(x.right_))
        RotateUp(Priority(x.left_) > Priority(x.right_) ? x.left_ : x.right_);
    const Node child = IsNone(x.left_) ? x.right_ : x.left_;
    const Node parent = x.parent_;
    if (!IsNone(child))
        (*child)->parent_ = parent;
    ReplaceChild(parent, node, child);
    AddToSums(parent, -x.delta.value_);
    x.left_ = x.right_ = x.parent_ = list_.End();
}

void PointIndex::SetDelta(Node node, std::int32_t delta) {
    const std::int32_t change = delta - (*node)->delta.value_;
    (*node)->delta.value_ = delta;
    AddToSums(node, change);
}

void PointIndex::Recount() {
    // Children before parents, without recursion: a treap is shallow only on average.
    Node came = list_.End();
    Node n = root_;
    while (!IsNone(n)) {
        SongTimePoint& x = **n;
        if (came == x.parent_ && !IsNone(x.left_)) {
            came = n;
            n = x.left_;
        } else if ((came == x.parent_ || came == x.left_) && !IsNone(x.right_)) {
            came = n;
            n = x.right_;
        } else {
            x.subtreeTicks_ = x.delta.value_ + SubtreeTicks(x.left_) + SubtreeTicks(x.right_);
            came = n;
            n = x.parent_;
        }
    }
}

PointIndex::Node PointIndex::Seek(std::int32_t tick, std::int32_t& pointTick) const {
    Node found = list_.End();
    pointTick = Total();
    std::int32_t before = 0; // ticks of everything left of the current subtree
    for (Node n = root_; !IsNone(n);) {
        const SongTimePoint& x = **n;
        const std::int32_t at = before + SubtreeTicks(x.left_) + x.delta.value_;
        if (at >= tick) {
            found = n;
            pointTick = at;
            n = x.left_;
        } else {
            before = at;
            n = x.right_;
        }
    }
    return found;
}

std::int32_t PointIndex::TickOf(Node node) const {
    std::int32_t tick = SubtreeTicks((*node)->left_) + (*node)->delta.value_;
    for (Node n = node; !IsNone((*n)->parent_); n = (*n)->parent_) {
        const SongTimePoint& parent = **(*n)->parent_;
        if (parent.right_ == n)
            tick += SubtreeTicks(parent.left_) + parent.delta.value_;
    }
    return tick;
}

std::size_t PointIndex::Height() const {
    std::size_t height = 0;
    std::vector<std::pair<Node, std::size_t>> open;
    if (!IsNone(root_))
        open.emplace_back(root_, 1);
    while (!open.empty()) {
        const auto [n, depth] = open.back();
        open.pop_back();
        height = std::max(height, depth);
        for (Node child : {(*n)->left_, (*n)->right_})
            if (!IsNone(child))
                open.emplace_back(child, depth + 1);
    }
    return height;
}
