// The content of the catalogue browser: five trees of groups and items, one per top keyword, filled
// from browser texts.
//
// A browser text is a list of entries, one a line, each five TAB-separated fields: "GROUP" or
// "ITEM", the name (a group's key, or a catalogue item's ID), a second field (the catalogue
// identifier of an item; not used for a group), the display text ("default;number" shows text
// `number` when it exists) and the parent: a top keyword or the name of a node defined earlier.
// Fields are read as every settings text is read (quotes and backslash escapes) and cut at 255 bytes.
// A line that is not such an entry (blank, a comment, fewer than five fields, another keyword) is
// skipped whole; whatever follows the fifth field up to the line end (trailing TABs) is ignored. The
// text ends at its first NUL byte.
//
// An entry is dropped when its parent is not found, when it is an item of a catalogue that is not
// open, when its parent is an item or already kDepthLimit levels deep, or when its parent already
// holds a node of the same name in its subtree. A parent name resolves to the first node of that name in tree
// order, an empty one to the root of the first tree. Look-ups go through an index of names, so a text of n
// entries loads in about n steps, not n squared. Fields are read in place in the text where they need
// no decoding (no quote, no backslash), so most entries are read without copying a byte.
//
// The trees own their nodes. User-interface thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"

class CatalogDatabaseList;
class qxNode;
class qxTopNode;

class CatalogTrees {
 public:
  static constexpr int32_t kTreeCount = 5;
  // The top keywords, trees 0 to 4.
  static constexpr std::array<const char*, kTreeCount> kTopKeywords = {"ROOM", "ZELVO", "COMPONENTS",
                                                                       "ANNOTATION", "CALCULATION"};
  // Longest field kept, in bytes.
  static constexpr size_t kFieldLimit = 255;
  // Deepest level kept below a top node; deeper entries are dropped (real catalogues use about five,
  // and the tree view walks its levels recursively).
  static constexpr int32_t kDepthLimit = 64;

  CatalogTrees();
  ~CatalogTrees();
  CatalogTrees(const CatalogTrees&) = delete;
  CatalogTrees& operator=(const CatalogTrees&) = delete;

  qxTopNode& Top(int32_t tree) const { return *tops_.at(size_t(tree)); }
  // Deletes every node; five empty trees remain.
  void Clear();

  // Adds the entries of one text.
  void ParseText(const char* text, size_t size);
  // The same for a text in a handle: its size, one byte less when the last byte is NUL. Null or empty
  // adds nothing.
  void ParseHandle(Handle text);
  // Reads, in byte order of their names, the files of `folder` whose names end exactly in ".txt". A
  // missing folder adds nothing; a file that cannot be read is skipped.
  void LoadFiles(const Vcon::WString& folder);
  // Reads the "catalog" text of every "qxCatalog" record of each database of the list, databases in
  // list order, records in the order of the first index.
  void LoadFromRecords(const CatalogDatabaseList& databases);

  // The names `LoadFiles` reads, in the order it reads them.
  static std::vector<Vcon::String> BrowserTextNames(std::vector<Vcon::String> names);

 private:
  void AddEntry(const std::array<std::string_view, 5>& fields);
  qxNode* FindParent(std::string_view name) const;
  bool SubtreeHolds(const qxNode& parent, std::string_view name) const;
  void Index(qxNode* node);
  // Makes room in the index for `more` nodes beyond those it holds.
  void Reserve(size_t more);
  // Calls `visit` with every indexed node named `name`, in no particular order.
  template <class Visit>
  void ForEachNamed(std::string_view name, Visit visit) const;

  std::array<std::unique_ptr<qxTopNode>, kTreeCount> tops_;
  // Every node of the trees by its name, the top nodes under "": an open-addressed table with linear
  // probing, a power of two long and at most half full; a name's nodes are the filled slots of its
  // hash met before the first empty one. The nodes are owned by the trees.
  struct Slot {
    size_t hash = 0;
    qxNode* node = nullptr;
  };
  std::vector<Slot> byName_;
  size_t indexed_ = 0;
};
