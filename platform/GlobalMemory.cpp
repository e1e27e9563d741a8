#include "platform/GlobalMemory.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Blocks may be made on a worker (a drag source) and freed on the user-interface thread.
std::mutex gLock;

std::map<GlobalMemoryBlock*, std::unique_ptr<GlobalMemoryBlock>>& Table() {
  static std::map<GlobalMemoryBlock*, std::unique_ptr<GlobalMemoryBlock>> table;
  return table;
}

[[maybe_unused]] const bool kReset = ResetList::Add("global memory blocks", [] {
  std::lock_guard<std::mutex> hold(gLock);
  Table().clear();
});

GlobalMemoryBlock* Live(HGLOBAL block) {
  auto it = Table().find(block);
  return it == Table().end() ? nullptr : it->second.get();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t size) {
  if (size > 0xFFFFFFFFu) return nullptr;
  auto block = std::make_unique<GlobalMemoryBlock>(size);
  GlobalMemoryBlock* handle = block.get();
  std::lock_guard<std::mutex> guard(gLock);
  Table()[handle] = std::move(block);
  return handle;
}

void* GlobalLock(HGLOBAL handle) {
  std::lock_guard<std::mutex> guard(gLock);
  GlobalMemoryBlock* block = Live(handle);
  if (!block) return nullptr;
  ++block->locks;
  static uint8_t empty = 0;
  return block->Size() ? block->Data() : &empty;
}

BOOL GlobalUnlock(HGLOBAL handle) {
  std::lock_guard<std::mutex> guard(gLock);
  GlobalMemoryBlock* block = Live(handle);
  if (!block || block->locks == 0) return 0;
  return --block->locks > 0;
}

size_t GlobalSize(HGLOBAL handle) {
  std::lock_guard<std::mutex> guard(gLock);
  GlobalMemoryBlock* block = Live(handle);
  return block ? block->Size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  std::lock_guard<std::mutex> guard(gLock);
  auto it = Table().find(handle);
  if (it == Table().end()) return handle;
  Table().erase(it);
  return nullptr;
}

size_t GlobalBlockCount() {
  std::lock_guard<std::mutex> guard(gLock);
  return Table().size();
}

}  // namespace plat
