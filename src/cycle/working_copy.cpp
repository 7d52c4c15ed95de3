#include "cycle/working_copy.h"

#include <cstdio>
#include <memory>

#include "platform/platform.h"
#include "platform/writable_file.h"

namespace tw {
namespace {

constexpr std::size_t kCopyBlock = 512;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Moves every block of `in` into `out`; false on a read error or a short or
// failing write.
bool copyBlocks(std::FILE* in, platform::WritableFile& out) {
    char block[kCopyBlock];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, in);
        if (got > 0 && !out.write(std::string_view(block, got))) return false;
        if (got < sizeof block) return std::ferror(in) == 0;
    }
}

}  // namespace

bool copyFile(const std::string& source, const std::string& target) {
    File in(std::fopen(source.c_str(), "rb"));
    if (!in) return false;
    std::unique_ptr<platform::WritableFile> out = platform::WritableFile::open(target, platform::WriteMode::Binary);
    if (!out) return false;
    // A copy that cannot be flushed and closed completely is as short as a
    // short write.
    const bool copied = copyBlocks(in.get(), *out) && out->close();
    if (!copied) {
        // Half a copy is of no use and is not left behind.
        out.reset();
        platform::removeFile(target);
    }
    return copied;
}

}  // namespace tw
