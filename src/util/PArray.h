#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <vector>

// A growable array that owns its elements. Removing an element deletes it unless it is
// detached first.
template <class T> class PArray {
public:
    PArray() = default;
    PArray(const PArray&) = delete;
    PArray& operator=(const PArray&) = delete;
    PArray(PArray&&) noexcept = default;
    PArray& operator=(PArray&&) noexcept = default;

    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }

    T* operator[](std::size_t index) const { return items_[index].get(); }
    T* At(std::size_t index) const {
        if (index >= items_.size())
            throw std::out_of_range("PArray: index out of range");
        return items_[index].get();
    }
    T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }

    T* Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    T* Insert(std::size_t index, std::unique_ptr<T> item) {
        if (index > items_.size())
            throw std::out_of_range("PArray: insert position out of range");
        return items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item))
            ->get();
    }
    void Remove(std::size_t index) { Detach(index); }
    std::unique_ptr<T> Detach(std::size_t index) {
        if (index >= items_.size())
            throw std::out_of_range("PArray: remove position out of range");
        std::unique_ptr<T> item = std::move(items_[index]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        return item;
    }
    std::unique_ptr<T> Replace(std::size_t index, std::unique_ptr<T> item) {
        std::unique_ptr<T> old = std::move(items_.at(index));
        items_[index] = std::move(item);
        return old;
    }
    // Index of `item` or -1.
    long IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item)
                return static_cast<long>(i);
        return -1;
    }
    void Clear() { items_.clear(); }

    // Range-for over the elements as `T*`.
    class ConstIterator {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit ConstIterator(Base it) : it_(it) {}
        T* operator*() const { return it_->get(); }
        ConstIterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator!=(const ConstIterator& other) const { return it_ != other.it_; }

    private:
        Base it_;
    };
    ConstIterator begin() const { return ConstIterator(items_.begin()); }
    ConstIterator end() const { return ConstIterator(items_.end()); }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// An index into a PArray. Removing the current element steps the index back, so that
// the next advance lands on the element that followed it.
template <class T> class PAIter {
public:
    explicit PAIter(PArray<T>& array, long index = 0) : array_(&array), index_(index) {}

    bool Valid() const { return index_ >= 0 && static_cast<std::size_t>(index_) < array_->Count(); }
    T* Current() const { return Valid() ? (*array_)[static_cast<std::size_t>(index_)] : nullptr; }
    long Index() const { return index_; }
    void SetIndex(long index) { index_ = index; }
    void First() { index_ = 0; }
    bool Next() {
        ++index_;
        return Valid();
    }
    void RemoveCurrent() {
        if (!Valid())
            throw std::logic_error("PAIter: removing with no current element");
        array_->Remove(static_cast<std::size_t>(index_));
        index_ = array_->IsEmpty() ? 0 : index_ - 1;
    }
    PArray<T>& Array() const { return *array_; }

private:
    PArray<T>* array_;
    long index_;
};
