// Price look-ups through the per-key cache against the same look-ups with the cache bypassed (cleared
// before each one, so every look-up runs its index queries), in one run: 10,000 prices over 1,000
// units, ten colours a unit; the same 10,000 keys looked up in each of several rounds.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "database/ppDatafile.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kUnits = 1000, kColours = 10, kRounds = 5;
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

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("prices");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      zelvproPriceFil& prices = db.PriceFile();
      AddPrices(prices);
      int64_t cachedSum = LookUpAll(prices, false), uncachedSum = 0;  // fills the cache
      const double cached = Seconds([&] {
        for (int32_t round = 0; round < kRounds; ++round) cachedSum += LookUpAll(prices, false);
      });
      const double uncached = Seconds([&] {
        for (int32_t round = 0; round < kRounds; ++round) uncachedSum += LookUpAll(prices, true);
      });
      const double lookups = double(kRounds) * kUnits * kColours;
      std::printf("%d prices over %d units, %.0f look-ups each way (id sums %lld / %lld)\n",
                  kUnits * kColours, kUnits, lookups, (long long)cachedSum, (long long)uncachedSum);
      std::printf("cached:   %8.3f us a look-up\n", cached / lookups * 1e6);
      std::printf("uncached: %8.3f us a look-up\n", uncached / lookups * 1e6);
      std::printf("uncached / cached: %.1f\n", uncached / cached);
      // A cache hit must stay at least ten times cheaper than the queries it saves.
      if (uncached < 10 * cached) failed = true;
    }
  }
  MemTerminate();
  return failed ? 1 : 0;
}
