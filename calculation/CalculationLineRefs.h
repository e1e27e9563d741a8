// The run-time references of the calculation lines, kept beside the lines of one calculation table:
// per line the plan element and catalogue database it stands for, and the element keys its
// "elements" list holds. The stored line never carries an address: its "db" and "element" words stay
// 0, and its element list holds 32-bit keys that this side table hands out, one per element at its
// first use, never reused in a run, and forgotten once no line's list holds the key any more.
//
// The table keeps the entries in step with its records: every insert, delete and write of a line
// goes through here. Neither elements nor databases are owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "elements/topview/iCalculationList.h"

class CalculationLineRefs {
 public:
  using LineRefs = iCalculationList::LineRefs;

  int32_t Count() const { return int32_t(lines_.size()); }
  // The references of line i; empty references outside 0 .. Count() - 1.
  const LineRefs& At(int32_t i) const;
  // The element keys line i's list held when it was last written.
  const std::vector<int32_t>& KeysAt(int32_t i) const;

  // A line at i (i is clamped to 0 .. Count()) with these references and element keys.
  void Insert(int32_t i, const LineRefs& refs, std::vector<int32_t> keys);
  // Line i now has these references and keys. Outside the lines nothing happens.
  void Write(int32_t i, const LineRefs& refs, std::vector<int32_t> keys);
  // Line i is gone. Outside the lines nothing happens.
  void Erase(int32_t i);
  // The lines become, in order, line from[k] for each k (a position used at most once), or an empty
  // line where from[k] is -1; lines not named are dropped.
  void Rearrange(const std::vector<int32_t>& from);
  // Keeps the first `count` lines, or adds empty ones up to it.
  void Resize(int32_t count);

  // The key of `element`, handed out at its first request; 0 for no element.
  int32_t KeyOf(zelvproElement* element);
  // The key of `element` when one was handed out and not forgotten; 0 otherwise.
  int32_t FindKey(const zelvproElement* element) const;
  // The element a key stands for; null for a key never handed out or already forgotten.
  zelvproElement* ElementOfKey(int32_t key) const;
  // `element` is gone: no line refers to it any more, and its key stands for no element (the key is
  // not handed out again; a later element at the same address gets a key of its own).
  void ForgetElement(const zelvproElement* element);
  // Keys in use or handed out and not yet forgotten.
  int32_t KnownKeys() const { return int32_t(byKey_.size()); }

 private:
  struct Line {
    LineRefs refs;
    std::vector<int32_t> keys;
  };
  struct Use {
    zelvproElement* element = nullptr;
    int32_t lines = 0;  // lines whose list holds the key
  };

  void Hold(const std::vector<int32_t>& keys);
  void Release(const std::vector<int32_t>& keys);

  std::vector<Line> lines_;
  std::unordered_map<zelvproElement*, int32_t> keyOf_;
  std::unordered_map<int32_t, Use> byKey_;
  int32_t nextKey_ = 1;
};
