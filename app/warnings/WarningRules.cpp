#include "app/warnings/WarningRules.h"

#include <memory>

#include "app/warnings/ppMetaCollisionRenderer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/PathExists.h"
#include "foundation/ppFile.h"
#include "foundation/ppParameter.h"
#include "foundation/ppTokenizer.h"
#include "platform/ResetList.h"
#include "scene3d/context/ppScene.h"

namespace {

// The program's rules; user-interface thread. The reset empties them and takes the check and the
// option numbers back from the elements.
WarningRules gProgramRules;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("warning rules", [] {
  gProgramRules.Clear();
  zelvproTopViewElement::SetWarningOptions(nullptr);
  iElementHost::InstallPlanWarningCheck(nullptr);
});

const Vcon::WString kLineEnd(u"\n");

bool AcceptEither(ppTokenizer& tokens, const char16_t* full, const char16_t* letter) {
  return tokens.Accept(Vcon::WString(full)) || tokens.Accept(Vcon::WString(letter));
}

// A number token: its value scanned as a signed decimal, the low 32 bits kept (a token that is no
// number gives 0xFFFFFFFF). False for a line end or the end of the file: the rule is incomplete.
bool ReadNumber(ppTokenizer& tokens, uint32_t& out) {
  Vcon::WString token;
  tokens.GetToken(token);
  if (token.empty() || token == kLineEnd) {
    tokens.Unget(1);
    return false;
  }
  out = static_cast<uint32_t>(static_cast<uint64_t>(ppParameter(token).ToInt64()));
  return true;
}

// "option" ":" number
bool ReadOption(ppTokenizer& tokens, uint32_t& out) {
  return AcceptEither(tokens, u"option", u"o") && tokens.Accept(Vcon::WString(u":")) &&
         ReadNumber(tokens, out);
}

bool ReadRule(ppTokenizer& tokens, WarningRule& rule) {
  return AcceptEither(tokens, u"intersect", u"i") && ReadOption(tokens, rule.optionA) &&
         tokens.Accept(Vcon::WString(u",")) && ReadOption(tokens, rule.optionB) &&
         AcceptEither(tokens, u"show", u"s") && AcceptEither(tokens, u"warning", u"w") &&
         tokens.Accept(Vcon::WString(u":")) && ReadNumber(tokens, rule.warning);
}

// Skips to the next line end and over the whole run of line ends after it, leaving the first
// character of the next line unread. A refused token was given back, so a rule that broke off at its
// line end skips only that line end.
void SkipLine(ppTokenizer& tokens) {
  do {
    tokens.NextChar();
  } while (!tokens.AtEnd() && !tokens.IsLineEnd());
  while (!tokens.AtEnd()) {
    tokens.NextChar();
    if (tokens.AtEnd()) break;
    if (!tokens.IsLineEnd()) {
      tokens.BackChar();
      break;
    }
  }
}

// Appends the shown units of `element`'s tree (itself first, depth first) that carry a warning
// option. Hidden elements are left out, their children not.
void CollectWarned(zelvproElement* element, std::vector<zelvproTopViewElement*>& out) {
  if (element->IsShown()) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(element);
    if (unit != nullptr && unit->HasFlaggedOption()) out.push_back(unit);
  }
  ForEachChildElement(*element, [&](zelvproElement* child) { CollectWarned(child, out); });
}

void RunProgramCheck(iElementHost& host) { gProgramRules.CheckPlan(host); }

}  // namespace

WarningRules::WarningRules(const Vcon::WString& path) {
  if (PathExists(path.Narrow())) Load(path);
}

void WarningRules::Clear() {
  rules_.clear();
  warningOptions_.clear();
}

void WarningRules::Load(const Vcon::WString& path) {
  Clear();
  std::unique_ptr<ppFile> file;
  try {
    file = std::make_unique<ppFile>(path, false);
  } catch (int32_t) {
    return;  // no file, no rules
  }
  ppTokenizer tokens(*file, Vcon::WString(u":,"), Vcon::WString(u" \t"), Vcon::WString(u"\n\r"),
                     ppTokenizer::kAskStream, true);
  while (!tokens.AtEnd()) {
    WarningRule rule;
    // A refused line has given back the token that broke it, so the skip starts there.
    if (ReadRule(tokens, rule)) {
      warningOptions_.insert(rule.optionA);
      warningOptions_.insert(rule.optionB);
      rules_.push_back(rule);
    }
    SkipLine(tokens);
  }
}

void WarningRules::CheckPlan(iElementHost& host) const {
  if (warningOptions_.empty()) return;
  // The new-room canvas's units first, then the top canvas's; only units with a warning option take
  // part, so the pairing is quadratic in their number alone.
  std::vector<zelvproTopViewElement*> units;
  for (zelvproElement* root : {host.NewRoomCanvas(), host.TopCanvas()})
    if (root != nullptr) CollectWarned(root, units);
  CheckUnits(units);
}

void WarningRules::CheckElements(const std::vector<zelvproElement*>& elements) const {
  std::vector<zelvproTopViewElement*> units;
  for (zelvproElement* element : elements) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(element);
    if (unit != nullptr && unit->IsShown() && unit->HasFlaggedOption()) units.push_back(unit);
  }
  CheckUnits(units);
}

void WarningRules::CheckUnits(const std::vector<zelvproTopViewElement*>& units) const {
  ppMetaCollisionRenderer renderer;
  std::vector<ppMetaCollisionRenderer::Collision> records;
  for (size_t x = 0; x < units.size(); ++x) {
    for (size_t y = x + 1; y < units.size(); ++y) {
      ppScene scene;
      scene.Add(units[x]);
      scene.Add(units[y]);
      records.clear();
      renderer.Collect(scene, records);
      for (const ppMetaCollisionRenderer::Collision& record : records) {
        for (const WarningRule& rule : rules_) {
          if (rule.kind != WarningRule::kIntersect || rule.action != WarningRule::kShowWarning) continue;
          const bool matches = (record.option == rule.optionA && record.collectedOption == rule.optionB) ||
                               (record.option == rule.optionB && record.collectedOption == rule.optionA);
          if (!matches) continue;
          for (zelvproElement* owner : {record.owner, record.collectedOwner})
            if (auto* unit = dynamic_cast<zelvproTopViewElement*>(owner))
              unit->warningNumber = int32_t(rule.warning);
        }
      }
    }
  }
}

WarningRules& WarningRules::Program() { return gProgramRules; }

void WarningRules::ReadAtStartup() {
  const Vcon::WString path(kRulesPath);
  gProgramRules.Clear();
  if (PathExists(path.Narrow())) gProgramRules.Load(path);
  zelvproTopViewElement::SetWarningOptions(&gProgramRules.warningOptions_);
  iElementHost::InstallPlanWarningCheck(&RunProgramCheck);
}
