// A quarantine allocator for the lifetime tests: linked into a test program,
// it replaces operator new and delete. A freed block is filled with a pattern
// and kept for the program's life, never handed out again, so code that runs
// on in a freed object reads the pattern (a pointer of it faults at once)
// instead of the old values that would hide the fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kFreedByte = 0xFB;  // 0xFBFB... is no address a program can read

// Each block starts with its size, so delete can fill what new gave out.
struct alignas(std::max_align_t) Header {
  std::size_t size;
  std::size_t offset;  // from the start of the malloc'd area to the block
};

void* allocate(std::size_t size, std::size_t align) {
  if (align < alignof(Header)) align = alignof(Header);
  const std::size_t total = size + sizeof(Header) + align;
  auto* raw = static_cast<unsigned char*>(std::malloc(total ? total : 1));
  if (!raw) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(Header);
  start = (start + align - 1) & ~(static_cast<std::uintptr_t>(align) - 1);
  auto* block = reinterpret_cast<unsigned char*>(start);
  auto* h = reinterpret_cast<Header*>(block - sizeof(Header));
  h->size = size;
  h->offset = static_cast<std::size_t>(block - raw);
  return block;
}

void quarantine(void* p) noexcept {
  if (!p) return;
  auto* h = reinterpret_cast<Header*>(static_cast<unsigned char*>(p) - sizeof(Header));
  std::memset(p, kFreedByte, h->size);
  // Kept: the memory is never freed, so it is never reused.
}

void* allocateOrThrow(std::size_t size, std::size_t align) {
  void* p = allocate(size, align);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size, alignof(std::max_align_t)); }
void* operator new[](std::size_t size) { return allocateOrThrow(size, alignof(std::max_align_t)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size, alignof(std::max_align_t));
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size, alignof(std::max_align_t));
}
void* operator new(std::size_t size, std::align_val_t a) { return allocateOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) {
  return allocateOrThrow(size, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { quarantine(p); }
void operator delete[](void* p) noexcept { quarantine(p); }
void operator delete(void* p, std::size_t) noexcept { quarantine(p); }
void operator delete[](void* p, std::size_t) noexcept { quarantine(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { quarantine(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { quarantine(p); }
void operator delete(void* p, std::align_val_t) noexcept { quarantine(p); }
void operator delete[](void* p, std::align_val_t) noexcept { quarantine(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { quarantine(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { quarantine(p); }
