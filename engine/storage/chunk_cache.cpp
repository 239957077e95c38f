#include "engine/storage/chunk_cache.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace corvex {

void ChunkCache::Reset(Source source, std::uint64_t fileSize) {
    const std::lock_guard lock(mutex_);
    source_ = std::move(source);
    fileSize_ = fileSize;
    useClock_ = 0;
    chunks_.clear();
}

ChunkCache::Chunk& ChunkCache::SlotForNewChunk() {
    if (chunks_.size() < kChunkCount) return chunks_.emplace_back();
    return *std::min_element(chunks_.begin(), chunks_.end(),
                             [](const Chunk& a, const Chunk& b) { return a.lastUse < b.lastUse; });
}

const ChunkCache::Chunk* ChunkCache::FindOrLoad(std::uint64_t start) {
    for (Chunk& chunk : chunks_) {
        if (chunk.start == start && !chunk.bytes.empty()) {
            chunk.lastUse = ++useClock_;
            return &chunk;
        }
    }
    const auto expected =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, fileSize_ - start));
    Chunk& chunk = SlotForNewChunk();
    chunk.bytes.resize(expected);
    if (source_(start, chunk.bytes.data(), expected) != expected) {
        chunk.bytes.clear();  // the slot is free again
        return nullptr;
    }
    chunk.start = start;
    chunk.lastUse = ++useClock_;
    return &chunk;
}

void ChunkCache::Read(std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    const std::lock_guard lock(mutex_);
    std::size_t done = 0;
    while (done < size && offset < fileSize_ && done < fileSize_ - offset) {
        const std::uint64_t at = offset + done;
        const std::uint64_t start = at / kChunkSize * kChunkSize;
        const auto within = static_cast<std::size_t>(at - start);
        const auto wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>({size - done, kChunkSize - within, fileSize_ - at}));
        if (const Chunk* chunk = FindOrLoad(start)) {
            std::memcpy(out + done, chunk->bytes.data() + within, wanted);
            done += wanted;
            continue;
        }
        // The file no longer holds the whole chunk: read the rest directly,
        // so the bytes are those a direct read gets now.
        done += source_(at, out + done, size - done);
        break;
    }
    if (done < size) std::memset(out + done, 0, size - done);
}

}  // namespace corvex
