#include <cstdint>
#include <string_view>

#include "views/SubWindowMaker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SubWindowMaker maker =
        SubWindowMaker::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const SubWinControl* c : maker.Controls())
        (void)maker.Find(c->name);
    return 0;
}
