#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <optional>

// The memory a StaffArranger takes its draw items from: one block asked for up front,
// handed out front to back and rewound when an arrangement starts. A measure that needs
// more than is left gets further memory from the heap instead of failing.
class StaffItemBlock : public std::pmr::memory_resource {
public:
    // When `bytes` cannot be had, half as much is tried, and so on.
    explicit StaffItemBlock(std::size_t bytes);
    StaffItemBlock(const StaffItemBlock&) = delete;
    StaffItemBlock& operator=(const StaffItemBlock&) = delete;
    ~StaffItemBlock() override;

    // Back to the start of the block; everything handed out before is gone.
    void Reset();

    std::size_t Capacity() const { return capacity_; }
    std::size_t Used() const { return used_; }
    // The most ever used between two resets.
    std::size_t Peak() const { return peak_ > used_ ? peak_ : used_; }

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void*, std::size_t, std::size_t) override {}
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    std::unique_ptr<std::byte[]> block_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::size_t peak_ = 0;
    std::optional<std::pmr::monotonic_buffer_resource> arena_;
};
