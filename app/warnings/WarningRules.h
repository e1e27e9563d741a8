// The placement-warning rules: which option pairs, when their parts meet in 3D, give the two units a
// warning number. Read from a plain text file, one rule a line:
//     intersect option:12, option:40 show warning:3      (or short: i o:12,o:40 s w:3)
// Keywords are case-sensitive; blanks are free around the ':' and ',' separators; anything after the
// warning number is ignored; a line that does not follow the form is skipped silently, and so is a
// rule whose line ends before its last number.
//
// The program keeps one set, read once at start-up (ReadAtStartup) from the program folder's
// settings\warnings\warnings.txt; without the file there are no rules and no unit is ever warned.
// The set hands its option numbers down to the top-view elements (their HasFlaggedOption) and
// installs the check that the plan's edit tasks run. User-interface thread.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>
#include <set>

#include "app/warnings/WarningRule.h"
#include "foundation/VconString.h"

class iElementHost;
class zelvproElement;
class zelvproTopViewElement;

class WarningRules {
 public:
  // The rules file, relative to the program folder.
  static constexpr const char16_t* kRulesPath = u".\\settings\\warnings\\warnings.txt";

  WarningRules() = default;
  // Reads `path` when a file or folder of that name exists; otherwise the set stays empty.
  explicit WarningRules(const Vcon::WString& path);

  // Empties the set, then reads the rules of `path`. A file that cannot be opened leaves it empty.
  void Load(const Vcon::WString& path);
  void Clear();

  // Gives every unit of the plan (the host's new-room canvas tree, then its top canvas tree) the
  // warning number of the last rule its parts match; numbers are not cleared here (the callers clear
  // their canvas first). Units without a warning option are not examined.
  void CheckPlan(iElementHost& host) const;
  // The same over a list of elements, in list order (hidden ones left out).
  void CheckElements(const std::vector<zelvproElement*>& elements) const;

  const std::deque<WarningRule>& Rules() const { return rules_; }
  const std::set<uint32_t>& WarningOptions() const { return warningOptions_; }

  // ---- The program's one set.
  static WarningRules& Program();
  // Reads the program's rules from kRulesPath (the program folder must be the current folder, as
  // start-up makes it), hands the option numbers to the elements and installs the plan check.
  // Called once by start-up; a second call reads the file again.
  static void ReadAtStartup();

 private:
  // Pairs every two units of the list (each with a warning option) once, in list order.
  void CheckUnits(const std::vector<zelvproTopViewElement*>& units) const;

  std::deque<WarningRule> rules_;  // file order
  std::set<uint32_t> warningOptions_;
};
