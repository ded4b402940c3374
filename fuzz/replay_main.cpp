// Runs a fuzz harness over files without libFuzzer: every file named on the
// command line, and every file inside every folder named there (in name
// order, so a failure is repeatable). The plain build replays the seed
// corpora and the kept crash inputs this way as part of the tests; a fault
// aborts the program, which fails the test.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool Replay(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of its own, as libFuzzer gives, so reading past the end is caught
    // by the sanitizers of a sanitized build.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path root(argv[i]);
        std::error_code error;
        if (fs::is_directory(root, error)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::recursive_directory_iterator(root, error))
                if (entry.is_regular_file() && entry.path().filename() != ".gitkeep") files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const fs::path& file : files) {
                ok = Replay(file) && ok;
                ++replayed;
            }
        } else if (fs::exists(root, error)) {
            ok = Replay(root) && ok;
            ++replayed;
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
            ok = false;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return ok ? 0 : 1;
}
