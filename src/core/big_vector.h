// Vectors of hundreds of megabytes that are read at random (the per-position tables of the
// descriptor discovery) are backed by transparent huge pages where the system offers them: one
// address-translation entry then covers 2 MiB instead of 4 KiB, which nearly halves the cost of
// a random read in a table larger than the caches. Small vectors are allocated as usual.
#pragma once
#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

template <class T>
struct HugePageAllocator {
  using value_type = T;
  static constexpr size_t kPage = size_t{1} << 21;
  static constexpr size_t kFrom = size_t{8} << 20;  // smaller blocks gain nothing

  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < kFrom) return std::allocator<T>().allocate(n);
    void* p = std::aligned_alloc(kPage, (bytes + kPage - 1) / kPage * kPage);
    if (!p) throw std::bad_alloc();
    madvise(p, bytes, MADV_HUGEPAGE);  // a hint: refused where huge pages are off
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (n * sizeof(T) < kFrom)
      std::allocator<T>().deallocate(p, n);
    else
      std::free(p);
  }
  template <class U>
  bool operator==(const HugePageAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T>
using BigVector = std::vector<T, HugePageAllocator<T>>;
