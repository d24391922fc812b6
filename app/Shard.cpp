#include "app/Shard.h"

namespace korvane {

namespace {
// FNV-1a, 64 bits: fixed, fast, and spreads similar paths well.
uint64_t PathHash(std::string_view path) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}
} // namespace

bool InShard(std::string_view relativePath, const Shard& shard) {
    return PathHash(relativePath) % shard.count == shard.index;
}

} // namespace korvane
