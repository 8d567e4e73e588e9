#pragma once
// Counts the bytes a benchmark program holds on the heap, and the most it held, by standing in
// for the C library's allocator (glibc passes every allocation, its own and Qt's included,
// through these names). For benchmarks only: include it in exactly one file of the program.
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* old, std::size_t size);
void __libc_free(void* block);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
}

namespace heap_counter {

inline std::atomic<std::int64_t> live{0};
inline std::atomic<std::int64_t> peak{0};

inline void Taken(void* block) {
    if (block == nullptr) {
        return;
    }
    const auto size = static_cast<std::int64_t>(malloc_usable_size(block));
    const std::int64_t now = live.fetch_add(size, std::memory_order_relaxed) + size;
    std::int64_t most = peak.load(std::memory_order_relaxed);
    while (now > most && !peak.compare_exchange_weak(most, now, std::memory_order_relaxed)) {
    }
}

inline void Given(void* block) {
    if (block != nullptr) {
        live.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)),
                       std::memory_order_relaxed);
    }
}

// Bytes held now; the most held since the last ResetPeak.
inline std::int64_t Live() {
    return live.load(std::memory_order_relaxed);
}
inline std::int64_t Peak() {
    return peak.load(std::memory_order_relaxed);
}
inline void ResetPeak() {
    peak.store(Live(), std::memory_order_relaxed);
}

} // namespace heap_counter

extern "C" {

void* malloc(std::size_t size) {
    void* block = __libc_malloc(size);
    heap_counter::Taken(block);
    return block;
}

void* calloc(std::size_t count, std::size_t size) {
    void* block = __libc_calloc(count, size);
    heap_counter::Taken(block);
    return block;
}

void* realloc(void* old, std::size_t size) {
    const auto before = old != nullptr ? static_cast<std::int64_t>(malloc_usable_size(old)) : 0;
    void* block = __libc_realloc(old, size);
    if (block != nullptr || (old != nullptr && size == 0)) {
        heap_counter::live.fetch_sub(before, std::memory_order_relaxed);
        heap_counter::Taken(block);
    }
    return block;
}

void* reallocarray(void* old, std::size_t count, std::size_t size) {
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(count, size, &bytes)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realloc(old, bytes);
}

void free(void* block) {
    heap_counter::Given(block);
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    void* block = __libc_memalign(alignment, size);
    heap_counter::Taken(block);
    return block;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *out = block;
    return 0;
}

void* valloc(std::size_t size) {
    void* block = __libc_valloc(size);
    heap_counter::Taken(block);
    return block;
}

void* pvalloc(std::size_t size) {
    void* block = __libc_pvalloc(size);
    heap_counter::Taken(block);
    return block;
}
}
