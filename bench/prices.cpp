// Price look-ups through the per-key cache against the same look-ups with the cache bypassed (cleared
// before each one, so every look-up runs its index queries), in one run: 10,000 prices over 1,000
// units, ten colours a unit; the same 10,000 keys looked up in each of several rounds, the two sides
// taking turns at going first (a cached pass after a bypassed one fills the cache again untimed).
// Prints the medians of the rounds; a cache hit must stay at least ten times cheaper than the
// queries it saves (uncached / cached >= 10).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "database/ppDatafile.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kUnits = 1000, kColours = 10, kRounds = 7;
constexpr double kLeast = 10.0;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void AddPrices(zelvproPriceFil& prices) {
  const int32_t module = prices.IndexOf("module"), color = prices.IndexOf("color"),
                xprice = prices.IndexOf("xprice");
  prices.BeginTransaction();
  for (int32_t unit = 1; unit <= kUnits; ++unit) {
    for (int32_t colour = 1; colour <= kColours; ++colour) {
      prices.ClearRecordBuffer(nullptr);
      prices.SetFieldValue(module, ppParameter(unit), nullptr);
      prices.SetFieldValue(color, ppParameter(colour), nullptr);
      prices.SetFieldValue(xprice, ppParameter(unit * 100 + colour), nullptr);
      prices.AddRecord(nullptr, nullptr);
    }
  }
  prices.EndTransaction();
}

// Every key once; answers the sum of the ids found so that nothing is optimised away.
int64_t LookUpAll(zelvproPriceFil& prices, bool bypass) {
  int64_t sum = 0;
  for (int32_t unit = 1; unit <= kUnits; ++unit) {
    for (int32_t colour = 1; colour <= kColours; ++colour) {
      if (bypass) prices.ClearPriceCache();
      sum += prices.LookupPrice(unit, colour, 0, 0, nullptr);
    }
  }
  return sum;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("prices");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      zelvproPriceFil& prices = db.PriceFile();
      AddPrices(prices);
      int64_t cachedSum = 0, uncachedSum = 0;
      std::vector<double> cached, uncached;
      for (int32_t round = 0; round < kRounds; ++round) {
        for (const bool bypass : {round % 2 == 1, round % 2 == 0}) {
          if (!bypass) LookUpAll(prices, false);  // fills the cache
          int64_t& sum = bypass ? uncachedSum : cachedSum;
          (bypass ? uncached : cached).push_back(Seconds([&] { sum += LookUpAll(prices, bypass); }));
        }
      }
      const double lookups = double(kUnits) * kColours;
      std::printf(
          "%d prices over %d units, %.0f look-ups a round each way, %d rounds (id sums %lld / %lld)\n",
          kUnits * kColours, kUnits, lookups, kRounds, (long long)cachedSum, (long long)uncachedSum);
      std::printf("cached:   %8.3f us a look-up\n", Median(cached) / lookups * 1e6);
      std::printf("uncached: %8.3f us a look-up\n", Median(uncached) / lookups * 1e6);
      bench::ReachAtLeast("prices uncached / cached", Median(uncached) / Median(cached), kLeast);
    }
  }
  MemTerminate();
  return bench::ReachStatus();
}
