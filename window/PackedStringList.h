#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velkrin {

// The batch list's storage: an append-only list of short strings. Batch mode
// may run for hours, so the items are packed into one character buffer with
// an end offset each (about 14 bytes for a six-character password instead of
// a heap string per item) and appending is amortised constant time. Items are
// UTF-8; the passwords are ASCII. The buffer holds passwords, so it is wiped
// (secureWipe) before it is given back: the old block when it grows, the last
// one when the list goes.
class PackedStringList {
public:
    PackedStringList() = default;
    ~PackedStringList();
    PackedStringList(const PackedStringList &) = delete;
    PackedStringList &operator=(const PackedStringList &) = delete;

    void append(std::string_view item);
    std::int64_t count() const noexcept { return static_cast<std::int64_t>(m_ends.size()); }
    // The item's bytes, valid until the next append.
    std::string_view item(std::int64_t index) const;

private:
    void reserve(std::size_t bytes);

    char *m_chars = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::vector<std::size_t> m_ends;
};

} // namespace velkrin
