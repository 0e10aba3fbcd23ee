#pragma once

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>
#include <stdexcept>

template <class T> class LLIter;

// A doubly linked list that owns its items. Nodes never move, so an LLIter stays valid
// until its own node is removed.
template <class T> class LinkedList {
public:
    using Node = typename std::list<std::unique_ptr<T>>::iterator;
    using ConstNode = typename std::list<std::unique_ptr<T>>::const_iterator;

    LinkedList() = default;
    LinkedList(const LinkedList&) = delete;
    LinkedList& operator=(const LinkedList&) = delete;

    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    T* Head() const { return items_.empty() ? nullptr : items_.front().get(); }
    T* Tail() const { return items_.empty() ? nullptr : items_.back().get(); }

    Node AddTail(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return std::prev(items_.end());
    }
    Node AddHead(std::unique_ptr<T> item) {
        items_.push_front(std::move(item));
        return items_.begin();
    }
    // Inserts before `where` (End() appends).
    Node InsertBefore(Node where, std::unique_ptr<T> item) {
        return items_.insert(where, std::move(item));
    }
    Node InsertAfter(Node where, std::unique_ptr<T> item) {
        if (where == items_.end())
            throw std::logic_error("LinkedList: insert after the end");
        return items_.insert(std::next(where), std::move(item));
    }
    // Deletes the item; returns the node that followed it.
    Node Remove(Node where) {
        if (where == items_.end())
            throw std::logic_error("LinkedList: removing the end");
        return items_.erase(where);
    }
    void Clear() { items_.clear(); }

    Node Begin() { return items_.begin(); }
    Node End() { return items_.end(); }
    ConstNode Begin() const { return items_.begin(); }
    ConstNode End() const { return items_.end(); }
    Node LastNode() { return items_.empty() ? items_.end() : std::prev(items_.end()); }

private:
    std::list<std::unique_ptr<T>> items_;
};

// A position in a LinkedList; "no node" is the list's end.
template <class T> class LLIter {
public:
    using Node = typename LinkedList<T>::Node;

    LLIter() = default;
    explicit LLIter(LinkedList<T>& list) : list_(&list), node_(list.Begin()) {}
    LLIter(LinkedList<T>& list, Node node) : list_(&list), node_(node) {}

    bool Valid() const { return list_ && node_ != list_->End(); }
    T* Current() const { return Valid() ? node_->get() : nullptr; }
    Node GetNode() const { return node_; }
    void SetNode(Node node) { node_ = node; }
    void First() { node_ = list_->Begin(); }
    void Last() { node_ = list_->LastNode(); }
    void SetEnd() { node_ = list_->End(); }
    bool Next() {
        if (Valid())
            ++node_;
        return Valid();
    }
    // Steps back; from the first node it goes to the end (no node).
    bool Prev() {
        if (!list_)
            return false;
        if (node_ == list_->Begin())
            node_ = list_->End();
        else
            --node_;
        return Valid();
    }
    bool HasNext() const { return Valid() && std::next(node_) != list_->End(); }
    bool HasPrev() const { return list_ && node_ != list_->Begin(); }
    LinkedList<T>* List() const { return list_; }

private:
    LinkedList<T>* list_ = nullptr;
    Node node_{};
};
