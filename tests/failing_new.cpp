// Preloaded into the game: every block of more than 1 MiB asked of operator
// new fails, as when memory runs out in the middle of dealing a large board.
#include <cstdlib>
#include <new>

namespace {

void* allocate(std::size_t size) {
    void* block = size <= (1u << 20) ? std::malloc(size == 0 ? 1 : size) : nullptr;
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}

void* operator new[](std::size_t size) {
    return allocate(size);
}
