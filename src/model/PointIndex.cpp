#include "model/PointIndex.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// A bijective mix of the point's address, which stays put while the list holds it:
// distinct points never tie, and points allocated one after another get priorities that
// look random, which keeps the treap balanced.
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
    // The subtree between the two changes sides. Going right, the parent's left side
    // loses the point and its left subtree; going left, the point's left side gains the
    // parent and the parent's left subtree.
    Node between;
    if (p.left_ == node) {
        between = x.right_;
        p.left_ = between;
        x.right_ = parent;
        p.subtreeTick_ -= x.subtreeTick_;
    } else {
        between = x.left_;
        p.right_ = between;
        x.left_ = parent;
        x.subtreeTick_ += p.subtreeTick_;
    }
    if (!IsNone(between))
        (*between)->parent_ = parent;
    ReplaceChild(p.parent_, parent, node);
    x.parent_ = p.parent_;
    p.parent_ = node;
}

void PointIndex::Link(Node node) {
    SongTimePoint& x = **node;
    const Node none = list_.End();
    x.left_ = x.right_ = x.parent_ = none;
    x.subtreeTick_ = x.delta.value_;
    const Node after = std::next(node);
    // The new point lands in the left subtree of the one after it, whose tick within its
    // subtree stays as it was; every other point has both or neither on its left.
    if (IsNone(after))
        total_ += x.delta.value_;
    else
        (*after)->delta.value_ -= x.delta.value_;
    if (IsNone(root_)) {
        root_ = node;
        return;
    }
    // Right under the list neighbour before, or else left under the one after: of two
    // neighbours in a binary tree, one has that side free.
    const Node before = node == list_.Begin() ? none : std::prev(node);
    if (!IsNone(before) && IsNone((*before)->right_)) {
        (*before)->right_ = node;
        x.parent_ = before;
    } else {
        (*after)->left_ = node;
        x.parent_ = after;
    }
    const std::uint64_t priority = Priority(node);
    while (!IsNone(x.parent_) && Priority(x.parent_) < priority)
        RotateUp(node);
}

void PointIndex::Unlink(Node node) {
    SongTimePoint& x = **node;
    // Down until no right subtree is left, keeping the higher priority above. Then the
    // point lies in the left subtree of the next one, so handing that its delta changes
    // nothing above the two, and its left subtree can take its place.
    while (!IsNone(x.right_))
        RotateUp(!IsNone(x.left_) && Priority(x.left_) > Priority(x.right_) ? x.left_ : x.right_);
    const Node after = std::next(node);
    if (IsNone(after))
        total_ -= x.delta.value_;
    else
        (*after)->delta.value_ += x.delta.value_;
    if (!IsNone(x.left_))
        (*x.left_)->parent_ = x.parent_;
    ReplaceChild(x.parent_, node, x.left_);
    x.left_ = x.parent_ = list_.End();
}

std::int32_t PointIndex::SetDelta(Node node, std::int32_t delta) {
    SongTimePoint& x = **node;
    const std::int32_t change = delta - x.delta.value_;
    x.delta.value_ = delta;
    x.subtreeTick_ += change;
    total_ += change;
    // The last point is in no left subtree.
    if (std::next(node) == list_.End())
        return total_;
    // Up to the root: where the path comes from the left, the point lies before and the
    // change counts; from the right, the point's tick gathers what lies before it.
    std::int32_t tick = x.subtreeTick_;
    for (Node child = node, n = x.parent_; !IsNone(n); child = n, n = (*n)->parent_) {
        if ((*n)->left_ == child)
            (*n)->subtreeTick_ += change;
        else
            tick += (*n)->subtreeTick_;
    }
    return tick;
}

void PointIndex::Recount() {
    // First every point's tick from the start, then from the top down each point's
    // tick from where its subtree starts: a left child's subtree starts where its
    // parent's does, a right child's at its parent.
    std::int32_t tick = 0;
    for (Node n = list_.Begin(); n != list_.End(); ++n) {
        tick += (*n)->delta.value_;
        (*n)->subtreeTick_ = tick;
    }
    total_ = tick;
    std::vector<std::pair<Node, std::int32_t>> open; // a point and where its subtree starts
    if (!IsNone(root_))
        open.emplace_back(root_, 0);
    while (!open.empty()) {
        const auto [n, start] = open.back();
        open.pop_back();
        SongTimePoint& x = **n;
        const std::int32_t at = x.subtreeTick_;
        x.subtreeTick_ = at - start;
        if (!IsNone(x.left_))
            open.emplace_back(x.left_, start);
        if (!IsNone(x.right_))
            open.emplace_back(x.right_, at);
    }
}

PointIndex::Node PointIndex::Seek(std::int32_t tick, std::int32_t& pointTick) const {
    Node found = list_.End();
    pointTick = total_;
    std::int32_t start = 0; // where the current subtree starts
    for (Node n = root_; !IsNone(n);) {
        const SongTimePoint& x = **n;
        const std::int32_t at = start + x.subtreeTick_;
        if (at >= tick) {
            found = n;
            pointTick = at;
            n = x.left_;
        } else {
            start = at;
            n = x.right_;
        }
    }
    return found;
}

std::int32_t PointIndex::TickOf(Node node) const {
    std::int32_t tick = (*node)->subtreeTick_;
    for (Node n = node; !IsNone((*n)->parent_); n = (*n)->parent_) {
        const SongTimePoint& parent = **(*n)->parent_;
        if (parent.right_ == n)
            tick += parent.subtreeTick_;
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
