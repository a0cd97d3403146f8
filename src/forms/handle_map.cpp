#include "forms/handle_map.h"

#include <array>
#include <memory>
#include <utility>

namespace forms::handle_map {

namespace {

// Blocks of 100 pairs; a cleared pair is not reused, new keys go to the last block.
struct Block {
  std::array<std::pair<HWND, ControlInfo*>, 100> pairs{};
  size_t used = 0;
  std::unique_ptr<Block> next;
};

Block* first = nullptr;
SRWLOCK lock = SRWLOCK_INIT;

class Exclusive {
 public:
  Exclusive() { ::AcquireSRWLockExclusive(&lock); }
  ~Exclusive() { ::ReleaseSRWLockExclusive(&lock); }
  Exclusive(const Exclusive&) = delete;
  Exclusive& operator=(const Exclusive&) = delete;
};

std::pair<HWND, ControlInfo*>* FindPair(HWND window) {
  for (Block* block = first; block; block = block->next.get()) {
    for (size_t i = 0; i < block->used; ++i) {
      if (block->pairs[i].first == window) return &block->pairs[i];
    }
  }
  return nullptr;
}

}  // namespace

ControlInfo* Find(HWND window) {
  if (!window) return nullptr;
  Exclusive hold;
  auto* pair = FindPair(window);
  return pair ? pair->second : nullptr;
}

void Set(HWND window, ControlInfo* info) {
  if (!window) return;
  Exclusive hold;
  if (auto* pair = FindPair(window)) {
    pair->second = info;
    return;
  }
  if (!first) first = new Block();  // lives until the process ends
  Block* last = first;
  while (last->next) last = last->next.get();
  if (last->used == last->pairs.size()) {
    last->next = std::make_unique<Block>();
    last = last->next.get();
  }
  last->pairs[last->used++] = {window, info};
}

void Remove(HWND window) {
  Exclusive hold;
  if (auto* pair = FindPair(window)) *pair = {nullptr, nullptr};
}

}  // namespace forms::handle_map
