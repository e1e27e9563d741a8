// B-tree indexes over a real store: splitting, joining, ties, text prefixes and a model check.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "database/HandleList.h"
#include "database/dbErrors.h"
#include "database/dbNumIndex.h"
#include "database/dbStore.h"
#include "database/dbStrIndex.h"
#include "DbTestSupport.h"

using dbtest::ErrorOf;

namespace {

std::vector<int32_t> Values(Handle list) {
  std::vector<int32_t> out;
  for (uint32_t i = 0; i < HandleList::Count(list); ++i) out.push_back(HandleList::At(list, i));
  HandleList::Dispose(list);
  return out;
}

struct NodeView {
  int32_t next, prev, count, inner;
  std::vector<int32_t> values;
};

class IndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ppFileSpec fileSpec = dbtest::SpecFor(folder_.Path("index.db"));
    store_ = dbStore::Open(fileSpec);
    store_->Begin();
  }
  void TearDown() override {
    index_.reset();
    text_.reset();
    if (store_->Nesting() > 0) store_->End();
  }
  dbNumIndex& Numbers() {
    if (!index_) index_ = std::make_unique<dbNumIndex>(&header_, dbIndex::kNumericKeys, *store_);
    return *index_;
  }
  dbStrIndex& Texts() {
    if (!text_) text_ = std::make_unique<dbStrIndex>(&header_, dbIndex::kTextKeys, *store_);
    return *text_;
  }
  void Add(int32_t key) { Numbers().Insert(key + 1000, key, &key); }
  int32_t Remove(int32_t key) {
    return ErrorOf([&] { Numbers().Remove(key + 1000, key, &key); });
  }

  int32_t HeaderWord(int offset) {
    const int32_t w = db::GetI32(*store_->ReadRecord(header_), uint32_t(offset));
    return w;
  }
  NodeView Node(int32_t number) {
    Handle h = store_->ReadRecord(number);
    NodeView v{db::GetI32(*h, 4), db::GetI32(*h, 8), db::GetI32(*h, 12), db::GetI32(*h, 16), {}};
    for (int32_t i = 0; i < v.count; ++i) v.values.push_back(db::GetI32(*h, 20 + 4 * uint32_t(i)));
    store_->ReleaseRecord(number);
    return v;
  }
  NodeView Root() { return Node(HeaderWord(4)); }

  // Reads every level from the root down, follows its next links from its first node and its prev
  // links from its last, and checks that both give exactly the children its parents name, in their
  // order. Returns the node count of each level (root first) and, through `values`, the leaf values
  // in chain order.
  std::vector<size_t> WalkLevels(std::vector<int32_t>& values) {
    std::vector<size_t> widths;
    std::vector<int32_t> level{HeaderWord(4)};
    for (size_t depth = 0; depth < 6; ++depth) {
      std::map<int32_t, NodeView> nodes;
      std::vector<int32_t> below;
      for (const int32_t n : level) {
        const NodeView& v = nodes.emplace(n, Node(n)).first->second;
        below.insert(below.end(), v.values.begin(), v.values.end());
      }
      const auto follow = [&](int32_t from, int32_t NodeView::*link) {
        std::vector<int32_t> chain;
        for (int32_t n = from; n != 0 && chain.size() <= level.size();)
          chain.push_back(n), n = nodes.count(n) ? nodes[n].*link : 0;
        return chain;
      };
      std::vector<int32_t> backward = follow(level.back(), &NodeView::prev);
      std::reverse(backward.begin(), backward.end());
      EXPECT_EQ(follow(level.front(), &NodeView::next), level) << "next links at depth " << depth;
      EXPECT_EQ(backward, level) << "prev links at depth " << depth;
      const int32_t inner = nodes[level.front()].inner;
      for (const auto& [n, v] : nodes) EXPECT_EQ(v.inner, inner) << "node " << n << " at depth " << depth;
      widths.push_back(level.size());
      if (inner == 0 || below.empty()) {
        EXPECT_EQ(level.front(), HeaderWord(8)) << "first leaf";
        values = below;
        break;
      }
      level = below;
    }
    return widths;
  }

  dbtest::TempFolder folder_;
  std::unique_ptr<dbStore> store_;
  std::unique_ptr<dbNumIndex> index_;
  std::unique_ptr<dbStrIndex> text_;
  int32_t header_ = 0;
};

TEST_F(IndexTest, FirstInsertMakesInnerRootAndLeaf) {
  Add(5);
  const NodeView root = Root();
  EXPECT_EQ(root.inner, 1);
  ASSERT_EQ(root.count, 1);
  EXPECT_EQ(root.values[0], HeaderWord(8));  // its child is the first leaf
  const NodeView leaf = Node(HeaderWord(8));
  EXPECT_EQ(leaf.inner, 0);
  EXPECT_EQ(leaf.values, std::vector<int32_t>{1005});
  EXPECT_EQ(HeaderWord(12), 1);
  EXPECT_EQ(HeaderWord(16), dbIndex::kNumericKeys);
  int32_t value = -1;
  EXPECT_EQ(Numbers().Find(&value, &value), db::kNotFound);  // key -1 absent
  int32_t key = 5;
  EXPECT_EQ(Numbers().Find(&key, &value), 0);
  EXPECT_EQ(value, 1005);
}

TEST_F(IndexTest, FullLeafSplitsSixteenSixteenBeforeTheNewEntry) {
  for (int32_t k = 0; k < 64; k += 2) Add(k);
  EXPECT_EQ(Root().count, 1);
  EXPECT_EQ(Node(HeaderWord(8)).count, 32);
  Add(31);  // belongs to the left half
  const NodeView root = Root();
  ASSERT_EQ(root.count, 2);
  const NodeView left = Node(root.values[0]);
  const NodeView right = Node(root.values[1]);
  EXPECT_EQ(left.count, 17);
  EXPECT_EQ(right.count, 16);
  EXPECT_EQ(left.next, root.values[1]);
  EXPECT_EQ(right.prev, root.values[0]);
  EXPECT_EQ(left.values.back(), 1031);
  EXPECT_EQ(right.values.front(), 1032);
}

TEST_F(IndexTest, FullRootGrowsALevelAndEveryKeyStaysReachable) {
  std::vector<int32_t> keys(1500);
  for (int32_t i = 0; i < 1500; ++i) keys[size_t(i)] = i * 3;
  std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
  for (const int32_t k : keys) Add(k);
  const NodeView root = Root();
  EXPECT_EQ(Node(root.values[0]).inner, 1);  // three levels
  EXPECT_EQ(HeaderWord(12), 1500);
  const auto all = Values(Numbers().AllValues());
  ASSERT_EQ(all.size(), 1500u);
  for (int32_t i = 0; i < 1500; ++i) EXPECT_EQ(all[size_t(i)], 1000 + 3 * i);
  for (const int32_t k : keys) {
    int32_t value = 0;
    ASSERT_EQ(Numbers().Find(&k, &value), 0) << k;
    EXPECT_EQ(value, k + 1000);
  }
  int32_t low = 100, high = 112;
  EXPECT_EQ(Values(Numbers().Range(&low, &high)), (std::vector<int32_t>{1102, 1105, 1108, 1111}));
  low = 5000;
  high = 6000;
  EXPECT_TRUE(Values(Numbers().Range(&low, &high)).empty());
  EXPECT_TRUE(Values(Numbers().Range(&high, &low)).empty());
}

TEST_F(IndexTest, EqualKeysOrderByTieDescending) {
  const int32_t five = 5;
  for (const int32_t tie : {7, 3, 9}) Numbers().Insert(tie, tie, &five);
  EXPECT_EQ(Values(Numbers().Equal(&five)), (std::vector<int32_t>{9, 7, 3}));
  Numbers().Remove(3, 3, &five);
  EXPECT_EQ(Values(Numbers().Equal(&five)), (std::vector<int32_t>{9, 7}));
}

TEST_F(IndexTest, RemovingAnAbsentPairChangesNothingAndUnpinsEveryNode) {
  for (int32_t k = 0; k < 100; ++k) Add(k);
  store_->End();
  store_->Begin();
  const int32_t pinned = store_->PinnedRecordCount();
  const int32_t five = 5;
  EXPECT_EQ(ErrorOf([&] { Numbers().Remove(0, 4, &five); }), db::kNotFound);  // key 5 has tie 5
  EXPECT_EQ(Remove(500), db::kNotFound);
  EXPECT_EQ(Numbers().Count(), 100);
  EXPECT_EQ(store_->PinnedRecordCount(), pinned);
  EXPECT_EQ(Values(Numbers().AllValues()).size(), 100u);
}

TEST_F(IndexTest, RemovingEverythingLeavesRootWithEmptyLeaf) {
  for (int32_t k = 0; k < 200; ++k) Add(k);
  for (int32_t k = 0; k < 200; ++k) ASSERT_EQ(Remove(k), 0) << k;
  const NodeView root = Root();
  EXPECT_EQ(root.inner, 1);
  ASSERT_EQ(root.count, 1);
  EXPECT_EQ(Node(root.values[0]).count, 0);
  int32_t key = 3, value = 9;
  EXPECT_EQ(Numbers().Find(&key, &value), db::kNotFound);
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(Values(Numbers().Equal(&key)).empty());
  EXPECT_EQ(Remove(3), db::kNotFound);
  Add(3);
  EXPECT_EQ(Values(Numbers().AllValues()), std::vector<int32_t>{1003});
}

TEST_F(IndexTest, UnderfullLeafJoinsOrBorrows) {
  for (int32_t k = 0; k <= 34; ++k) Add(k);   // leaves 16 + 19
  for (int32_t k = 0; k < 3; ++k) Remove(k);  // 13 + 19: joined
  NodeView root = Root();
  ASSERT_EQ(root.count, 1);
  EXPECT_EQ(Node(root.values[0]).count, 32);
  EXPECT_EQ(Node(root.values[0]).next, 0);

  Add(0);  // 33 entries: split 16 + 16 first, then 0 joins the left: 17 + 16
  for (int32_t k = 100; k < 104; ++k) Add(k);
  root = Root();
  ASSERT_EQ(root.count, 2);
  ASSERT_EQ(Node(root.values[0]).count, 17);
  ASSERT_EQ(Node(root.values[1]).count, 20);
  for (const int32_t k : {0, 3, 4, 5}) Remove(k);  // 13 + 20 = 33: the left takes 3
  root = Root();
  ASSERT_EQ(root.count, 2);
  EXPECT_EQ(Node(root.values[0]).count, 16);
  EXPECT_EQ(Node(root.values[1]).count, 17);
  int32_t key = 22, value = 0;
  EXPECT_EQ(Numbers().Find(&key, &value), 0);  // separator refreshed: the right half is found
  EXPECT_EQ(value, 1022);
}

TEST_F(IndexTest, TextPrefixQueryIgnoresCaseAndLetsTheShorterKeyDecide) {
  const char* keys[] = {"a", "ab", "AB", "aB", "abz", "ac", "b", "ABC"};
  for (int32_t i = 0; i < 8; ++i) Texts().Insert(i + 1, i + 1, keys[i]);
  EXPECT_EQ(Values(Texts().Equal("ab")), (std::vector<int32_t>{1, 2, 4, 3, 8, 5}));
  int32_t value = 0;
  EXPECT_EQ(Texts().Find("AB", &value), 0);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(Texts().Find("ab", &value), 0);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(Texts().Find("Ab", &value), db::kNotFound);
  EXPECT_EQ(Values(Texts().Range("aB", "ac")), (std::vector<int32_t>{4, 3, 8, 5, 6}));
  Handle all = Texts().AllKeys();
  EXPECT_EQ(std::string(*all, size_t(MemGetSize(all))), std::string("a\0ab\0aB\0AB\0ABC\0abz\0ac\0b\0", 24));
  MemDispose(all);
}

TEST_F(IndexTest, RemovingATextMovesLaterTextsDown) {
  Texts().Insert(1, 1, "mm");
  Texts().Insert(2, 2, "a");
  Texts().Insert(3, 3, "zzzz");  // stored after "mm" and "a", in that order
  const int32_t leaf = HeaderWord(8);
  EXPECT_EQ(MemGetSize(store_->ReadRecord(leaf)), 532 + 3 + 2 + 5);
  Texts().Remove(1, 1, "mm");  // the first stored text goes
  Handle node = store_->ReadRecord(leaf);
  EXPECT_EQ(MemGetSize(node), 532 + 2 + 5);
  EXPECT_STREQ(static_cast<const char*>(Texts().GetKey(node, 0)), "a");
  EXPECT_STREQ(static_cast<const char*>(Texts().GetKey(node, 1)), "zzzz");
  EXPECT_EQ(db::GetI16(*node, 404 + 2 * 2), 0);  // freed table slot cleared
  EXPECT_EQ(ErrorOf([&] { Texts().RemoveKey(node, 5); }), -1);
  int32_t value = 0;
  EXPECT_EQ(Texts().Find("zzzz", &value), 0);
  EXPECT_EQ(value, 3);
}

// A text node's key tables are checked once per load and then trusted while only the index changes
// them; a change by any other reader (marked as changed) has them checked again.
TEST_F(IndexTest, TextNodeChangedByAnotherReaderIsCheckedAgain) {
  for (const char* key : {"mm", "a", "zzzz"}) Texts().Insert(1, 1, key);
  int32_t value = 0;
  ASSERT_EQ(Texts().Find("a", &value), 0);
  const int32_t leaf = HeaderWord(8);
  Handle node = store_->ReadRecord(leaf);
  db::PutI16(*node, 404, 30000);  // the first key's offset now points far past the record
  store_->MarkRecordChanged(leaf);
  store_->ReleaseRecord(leaf);
  EXPECT_EQ(ErrorOf([&] { Texts().Find("a", &value); }), db::kDamagedFile);
}

TEST_F(IndexTest, KeyThatOverflowsTheNodesTextSpaceIsRefusedBeforeAnyChange) {
  std::vector<std::string> keys;
  for (int32_t i = 0; i < 21; ++i) {
    keys.push_back(std::string(1500, char('a' + i)));
    Texts().Insert(i + 1, i + 1, keys.back().c_str());
  }
  const std::string tooMuch(1500, 'z');
  const int32_t pinned = store_->PinnedRecordCount();
  EXPECT_EQ(ErrorOf([&] { Texts().Insert(99, 99, tooMuch.c_str()); }), db::kBadCall);
  EXPECT_EQ(Texts().Count(), 21);
  EXPECT_EQ(Values(Texts().AllValues()).size(), 21u);
  int32_t value = 0;
  EXPECT_EQ(Texts().Find(keys[20].c_str(), &value), 0);
  EXPECT_EQ(value, 21);
  EXPECT_EQ(store_->PinnedRecordCount(), pinned);
  Texts().Insert(22, 22, "short");
  EXPECT_EQ(Texts().Count(), 22);
}

TEST_F(IndexTest, ClearFreesEveryNodeAndDumpShowsTheTree) {
  for (int32_t i = 0; i < 40; ++i) {
    const std::string key = "k" + std::to_string(100 + i);
    Texts().Insert(i + 1, i + 1, key.c_str());
  }
  const std::string dump = folder_.Path("tree.txt");
  Texts().Dump(dump);
  const auto bytes = dbtest::FileBytes(dump);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("k100\r\n\tk100\r\n", 0), 0u) << text.substr(0, 40);
  EXPECT_NE(text.find("\tk139\r\n"), std::string::npos);
  EXPECT_EQ(ErrorOf([&] { Texts().Dump(dump); }), 80);  // never overwrites a file

  const int32_t last = store_->LastRecordNumber();
  Texts().Clear();
  EXPECT_EQ(HeaderWord(4), 0);
  EXPECT_EQ(HeaderWord(8), 0);
  EXPECT_EQ(Texts().Count(), 0);
  store_->End();
  store_->Begin();
  Handle spare = dbtest::HandleOf("x");
  EXPECT_LE(store_->AddRecord(spare), last);  // the nodes' numbers are free again
}

// Random inserts and removes against a model, with commits, aborts and a reopen on the way.
TEST_F(IndexTest, MatchesAModelThroughCommitsAbortsAndReopen) {
  std::mt19937 random(11);
  std::multimap<int32_t, int32_t, std::less<>> model;  // key -> tie
  auto expected = [&] {
    std::vector<std::pair<int32_t, int32_t>> order;
    for (const auto& [k, t] : model) order.emplace_back(k, -t);
    std::sort(order.begin(), order.end());
    std::vector<int32_t> values;
    for (const auto& [k, t] : order) values.push_back(-t);
    return values;
  };
  Numbers();
  store_->End();
  for (int round = 0; round < 12; ++round) {
    store_->Begin();
    auto saved = model;
    for (int op = 0; op < 150; ++op) {
      const int32_t key = int32_t(random() % 60);
      if (random() % 3 != 0 || model.empty()) {
        const int32_t tie = int32_t(random() % 100000);
        Numbers().Insert(tie, tie, &key);
        model.emplace(key, tie);
      } else {
        auto it = model.lower_bound(key);
        if (it == model.end()) it = model.begin();
        const int32_t k = it->first, t = it->second;
        ASSERT_EQ(ErrorOf([&] { Numbers().Remove(t, t, &k); }), 0);
        model.erase(it);
      }
    }
    if (round % 4 == 3) {
      store_->Abort();
      model = saved;
    } else {
      store_->End();
    }
    ASSERT_EQ(Numbers().Count(), int32_t(model.size()));
    ASSERT_EQ(Values(Numbers().AllValues()), expected()) << "round " << round;
    if (round == 6) {
      index_.reset();
      store_.reset();
      ppFileSpec fileSpec = dbtest::SpecFor(folder_.Path("index.db"));
      store_ = dbStore::Open(fileSpec);
      index_ = std::make_unique<dbNumIndex>(header_, *store_);
    }
  }
  for (int32_t key = 0; key < 60; ++key) {
    std::vector<int32_t> ties;
    for (auto [it, end] = model.equal_range(key); it != end; ++it) ties.push_back(it->second);
    std::sort(ties.rbegin(), ties.rend());
    EXPECT_EQ(Values(Numbers().Equal(&key)), ties);
  }
}

// As many removals as inserts: the tree grows until a node of the level under the root splits, then
// shrinks until the root collapses to two levels, so leaves and inner nodes split, borrow and join.
// Every answer is compared with a model, and every level's chain is walked both ways after each
// step.
TEST_F(IndexTest, ChainsStayWholeWhileTheTreeGrowsAndShrinksALevel) {
  std::mt19937 random(5);
  // (key, -tie) -> value, in the tree's order: keys ascending, equal keys by tie descending.
  std::map<std::pair<int32_t, int32_t>, int32_t> model;
  int32_t nextTie = 1;
  int inserts = 0, removals = 0;
  bool growing = true, middleSplit = false, rootCollapsed = false;
  std::vector<size_t> before;
  for (int step = 0; !rootCollapsed || inserts - removals > 20; ++step) {
    ASSERT_LT(step, 6000) << "the workload no longer reshapes the tree";
    // Growing, new keys come last: full leaves split into halves that stay half full, so the tree
    // gains its levels with fewer entries. Shrinking, they land anywhere.
    int32_t key = int32_t(random() % uint32_t(inserts + 1));
    if (random() % 100 < (growing ? 80u : 20u) || model.empty()) {
      if (growing) key = inserts;
      const int32_t tie = nextTie++;
      Numbers().Insert(tie, tie, &key);
      model.emplace(std::make_pair(key, -tie), tie);
      ++inserts;
    } else if (step % 16 == 0) {
      ASSERT_EQ(Remove(-1), db::kNotFound);  // never inserted
    } else {
      auto it = model.lower_bound({key, INT32_MIN});
      if (it == model.end()) it = model.begin();
      const int32_t k = it->first.first, t = it->second;
      ASSERT_EQ(ErrorOf([&] { Numbers().Remove(t, t, &k); }), 0) << "step " << step;
      model.erase(it);
      ++removals;
    }
    std::vector<int32_t> chain;
    const std::vector<size_t> widths = WalkLevels(chain);
    ASSERT_FALSE(HasFailure()) << "step " << step;
    ASSERT_TRUE(std::equal(chain.begin(), chain.end(), model.begin(), model.end(),
                           [](int32_t v, const auto& entry) { return v == entry.second; }))
        << "leaf values differ from the model at step " << step;
    ASSERT_EQ(Numbers().Count(), int32_t(model.size()));
    const int32_t probe = int32_t(random() % uint32_t(inserts + 10));
    int32_t value = -1;
    const auto found = model.lower_bound({probe, INT32_MIN});  // the highest tie comes first
    const bool absent = found == model.end() || found->first.first != probe;
    ASSERT_EQ(Numbers().Find(&probe, &value), absent ? db::kNotFound : 0);
    ASSERT_EQ(value, absent ? 0 : found->second) << "key " << probe;
    if (before.size() == 3 && widths.size() == 3 && widths[1] > 2) middleSplit = true;
    if (middleSplit) growing = false;
    rootCollapsed |= before.size() == 3 && widths.size() == 2;
    before = widths;
    if (step % 500 == 499) {  // the nodes reach the file now and then
      store_->End();
      store_->Begin();
    }
  }
  EXPECT_LT(std::abs(inserts - removals), inserts / 10);
}

}  // namespace
