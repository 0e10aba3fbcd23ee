#pragma once

#include <cstddef>
#include <cstdint>

#include "model/SongTimePoint.h"
#include "util/LinkedList.h"

// Finds the point at a tick, and the tick of a point, in logarithmic time. The points of
// the list are also the nodes of a binary tree in list order; each holds its tick counted
// from where its subtree starts (its delta and the deltas of its left subtree), so a
// point's tick adds up along its path from the root. The tree is a treap whose priorities
// are a hash of each point's address: it needs no more room than that tick and three
// links.
//
// Points come and go as the song's do: a new point takes its delta from the point after
// it and a removed one hands its delta on, so no other point moves. Then nothing above
// the two changes, and only the few rotations that keep the balance cost anything.
// Changing a delta by itself moves every later point and climbs to the root.
//
// The list stays the owner and the way to walk the song. Points join the tree after the
// list took them and leave it before the list drops them, and every delta changes here.
class PointIndex {
public:
    using List = LinkedList<SongTimePoint>;
    using Node = List::Node;

    explicit PointIndex(List& list) : list_(list), root_(list.End()) {}
    PointIndex(const PointIndex&) = delete;
    PointIndex& operator=(const PointIndex&) = delete;

    // Enters a point at the place the list holds it. Its delta comes out of the next
    // point's, which must hold as much; the last point's lengthens the whole.
    void Link(Node node);
    // Takes a point out of the tree, giving its delta to the next point (the last one's
    // shortens the whole); the list may drop it afterwards.
    void Unlink(Node node);
    // Sets a point's delta, moving every later point; answers the point's new tick.
    std::int32_t SetDelta(Node node, std::int32_t delta);
    // Sets every delta to newDelta(old delta) and sums the tree anew, in one pass.
    template <class F> void SetAllDeltas(F newDelta) {
        for (Node n = list_.Begin(); n != list_.End(); ++n)
            (*n)->delta.value_ = newDelta(static_cast<std::int32_t>((*n)->delta));
        Recount();
    }

    // The sum of every delta: the tick of the last point.
    std::int32_t Total() const { return total_; }
    // The first point at or after `tick`, or the end; `pointTick` gets its tick (at the
    // end, the total).
    Node Seek(std::int32_t tick, std::int32_t& pointTick) const;
    std::int32_t TickOf(Node node) const;
    // Points on the longest path from the root; a measure of the balance.
    std::size_t Height() const;

private:
    bool IsNone(Node n) const { return n == list_.End(); }
    void Recount();
    // Lifts `node` above its parent, keeping the list order and the ticks.
    void RotateUp(Node node);
    void ReplaceChild(Node parent, Node from, Node to);

    List& list_;
    Node root_;
    std::int32_t total_ = 0;
};
