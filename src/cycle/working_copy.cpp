#include "cycle/working_copy.h"

#include <cstdio>
#include <memory>

namespace tw {
namespace {

constexpr std::size_t kCopyBlock = 512;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool copyFile(const std::string& source, const std::string& target) {
    File in(std::fopen(source.c_str(), "rb"));
    if (!in) return false;
    File out(std::fopen(target.c_str(), "wb"));
    if (!out) return false;
    char block[kCopyBlock];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, in.get());
        if (got > 0 && std::fwrite(block, 1, got, out.get()) != got) return false;
        if (got < sizeof block) break;  // end of file or a read error
    }
    // A copy that cannot be flushed completely is as short as a short write.
    return std::fflush(out.get()) == 0;
}

}  // namespace tw
