#include "output/SaveList.h"

#include "platform/SaveFolder.h"
#include "platform/SecureWipe.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace velkrin {

namespace {

// Copies of the passwords on their way to the file, in pieces large enough
// for few writes, wiped after each write.
struct Piece {
    static constexpr std::size_t kSize = 1 << 16;
    char bytes[kSize];
    std::size_t used = 0;
    ~Piece() { secureWipe(bytes, sizeof bytes); }
};

void writeList(const std::function<void(const ItemSink &)> &items, FileSink &sink)
{
    const auto piece = std::make_unique<Piece>();
    auto flush = [&] {
        const std::size_t used = std::exchange(piece->used, 0);
        try {
            sink.write(std::span<const char>(piece->bytes, used));
        } catch (...) {
            secureWipe(piece->bytes, used);
            throw;
        }
        secureWipe(piece->bytes, used);
    };
    auto put = [&](std::string_view bytes) {
        while (!bytes.empty()) {
            const std::size_t take = std::min(bytes.size(), Piece::kSize - piece->used);
            std::memcpy(piece->bytes + piece->used, bytes.data(), take);
            piece->used += take;
            bytes.remove_prefix(take);
            if (piece->used == Piece::kSize)
                flush();
        }
    };
    items([&](std::string_view item) {
        put(item);
        put("\r\n");
    });
    flush();
}

} // namespace

void SaveList(const std::function<void(const ItemSink &)> &items, SaveFolder &folder)
{
    folder.replaceFile(kTargetFileName, [&](FileSink &sink) { writeList(items, sink); });
}

} // namespace velkrin
