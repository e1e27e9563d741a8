// What the worktop regeneration pass of the top canvas asks of the worktop code of the units: to
// remove the generated items, to make a worktop run without a length yet, and to run one unit's
// worktop step. The units install their builder here; the neutral one makes no worktops.
#pragma once

class zelvproCanvas;
class zelvproElement;

class iWorktopBuilder {
 public:
  virtual ~iWorktopBuilder() = default;
  // Removes the generated pieces (their calculation lines first) and the worktop runs of `canvas`.
  virtual void RemoveGeneratedElements(zelvproCanvas& /*canvas*/) {}
  // A new worktop element without parent whose run length (dimensions.x) is -1.0; null when the
  // catalogue has no worktop record. The caller owns it.
  virtual zelvproElement* NewWorktop() { return nullptr; }
  // Runs `unit`'s worktop step from the current run `run` (owned by the caller, never null): answers
  // the run to continue with; runs it finishes are attached to the top canvas and runs it drops are
  // deleted, `run` included when it is not the answer.
  virtual zelvproElement* BuildWorktopsOfUnit(zelvproElement& /*unit*/, zelvproElement* run) { return run; }

  // The installed builder, or the neutral one; never null.
  static iWorktopBuilder& Current();
  // Installs `builder` (null: the neutral one again). Not owned.
  static void Install(iWorktopBuilder* builder);
};
