#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"

// Zero bytes split the input into arguments: the parser answers every list, and what it
// accepts is complete (a job that needs a file has one).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    CommandLine line;
    std::string error;
    if (ParseCommandLine(args, line, error)) {
        const bool needsInput = line.mode == CommandLine::Mode::Dump ||
                                line.mode == CommandLine::Mode::Convert ||
                                line.mode == CommandLine::Mode::Play;
        if (needsInput && line.input.empty())
            __builtin_trap();
        if (line.mode == CommandLine::Mode::Convert && line.output.empty())
            __builtin_trap();
        if (line.track < 0)
            __builtin_trap();
        (void)FileExtension(line.input);
        (void)FileExtension(line.output);
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
