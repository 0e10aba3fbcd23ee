#include "views/StaffItemBlock.h"

#include <new>

namespace {
constexpr std::size_t kSmallestBlock = 4096;
}

StaffItemBlock::StaffItemBlock(std::size_t bytes) {
    for (std::size_t size = bytes; size >= kSmallestBlock; size /= 2) {
        block_.reset(new (std::nothrow) std::byte[size]);
        if (block_) {
            capacity_ = size;
            break;
        }
    }
    Reset();
}

StaffItemBlock::~StaffItemBlock() = default;

void StaffItemBlock::Reset() {
    if (used_ > peak_)
        peak_ = used_;
    used_ = 0;
    arena_.reset();
    if (block_)
        arena_.emplace(block_.get(), capacity_, std::pmr::new_delete_resource());
    else
        arena_.emplace(std::pmr::new_delete_resource());
}

void* StaffItemBlock::do_allocate(std::size_t bytes, std::size_t alignment) {
    used_ += bytes;
    return arena_->allocate(bytes, alignment);
}
