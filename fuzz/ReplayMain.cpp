// Runs a fuzz target over every file of the folders (or files) named on the command
// line, so that the seed corpus is replayed by the ordinary test run. A folder that is
// missing fails the run; "--corpus DIR" names the shared outside files, whose absence
// is reported and ends the run as skipped (exit code 77).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int kSkipped = 77;

void RunFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const bool corpus = std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc;
        const std::filesystem::path path = argv[corpus ? ++i : i];
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    RunFile(entry.path());
                    ++files;
                }
            }
        } else if (std::filesystem::is_regular_file(path, ec)) {
            RunFile(path);
            ++files;
        } else if (corpus) {
            std::printf("The shared corpus is absent (%s): nothing was replayed.\n", path.c_str());
            return kSkipped;
        } else {
            std::printf("No seeds at %s.\n", path.c_str());
            return 1;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
