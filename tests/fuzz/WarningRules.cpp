// The placement-warning rules file: loaded, checked against its own promises (kinds and actions 0,
// the option set exactly the rules' options) and loaded again to the same rules.
#include <cstddef>
#include <cstdint>
#include <set>

#include "FuzzSupport.h"
#include "app/warnings/WarningRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  const std::string path = fuzz::WriteScratchFile("warnings.txt", data, size);
  const Vcon::WString wide(WideFromNarrow(path.c_str()));
  WarningRules rules;
  rules.Load(wide);
  std::set<uint32_t> options;
  for (const WarningRule& rule : rules.Rules()) {
    if (rule.kind != WarningRule::kIntersect || rule.action != WarningRule::kShowWarning) __builtin_trap();
    options.insert(rule.optionA);
    options.insert(rule.optionB);
  }
  if (options != rules.WarningOptions()) __builtin_trap();
  WarningRules again;
  again.Load(wide);
  if (again.Rules() != rules.Rules()) __builtin_trap();
  return 0;
}
