#pragma once
// This platform's directory search, shaped like the one the listing was
// designed for: wildcard masks matched without regard to letter case, an
// attribute value per entry, and a fixed delivery order.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chipshift {

// Attribute bits of an entry.
namespace attr {
inline constexpr std::uint16_t kReadOnly = 0x01;
inline constexpr std::uint16_t kHidden = 0x02;
inline constexpr std::uint16_t kSystem = 0x04;
inline constexpr std::uint16_t kVolumeLabel = 0x08;
inline constexpr std::uint16_t kFolder = 0x10;
inline constexpr std::uint16_t kArchive = 0x20;
// Neither a regular file nor a folder (FIFO, socket, device, dangling link):
// carries this bit alone, so that no attribute test for files takes it and
// the batch never opens something that could block or has no content.
inline constexpr std::uint16_t kOther = 0x80;
}  // namespace attr

struct DirectoryEntry {
    std::string name;  // as the file system spells it, bytes unchanged
    std::uint16_t attributes = 0;
};

// "*" matches any run of bytes (the empty one too), "?" exactly one byte,
// every other byte itself with ASCII letter case ignored.
bool matchesMask(std::string_view mask, std::string_view name);

// The attribute value of the entry at path. A symbolic link takes the
// attributes of what it points to; the name decides the hidden bit.
std::uint16_t attributesOf(const std::string& path, std::string_view name);

// The entries of folder (which ends in "/") whose names match mask, "." and
// ".." included when they match, sorted by name with ASCII letter case
// ignored (ties by the raw bytes) so that a batch is reproducible. A folder
// that is missing or cannot be read gives no entries.
std::vector<DirectoryEntry> searchDirectory(const std::string& folder, std::string_view mask);

// Clears the read-only state of the file at path by giving its owner write
// permission. Returns false when that failed.
bool clearReadOnly(const std::string& path);

}  // namespace chipshift
