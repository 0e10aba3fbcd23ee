#include "edit/Clipboard.h"

namespace {

std::unique_ptr<BlockCopy>& Content() {
    static std::unique_ptr<BlockCopy> content;
    return content;
}

} // namespace

const BlockCopy* Clipboard::Get() {
    return Content().get();
}

void Clipboard::Set(std::unique_ptr<BlockCopy> copy) {
    Content() = std::move(copy);
}

void Clipboard::Clear() {
    Content().reset();
}
