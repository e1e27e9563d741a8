// The room-shape classifier and the room dimensions A to F.
//
// A room's shape is read from the turns at the corners of its cycle; the recognised shapes carry
// digit tables that say, per dimension position, which walls it measures and which wall moves when it
// is edited. A digit names a wall relative to the start corner (modulo the shape's corner count); a
// blank names none.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iMoveObjectTask.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "framework/ppTask.h"
#include "framework/ppUndoer.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxRoomSegment.h"

namespace {

constexpr int32_t kRotations = 4;  // 0, 90, 180, 270 degrees

// Everything the rules say about one shape. The strings of one row have one character per dimension
// position; the dimension count is their length.
struct ShapeRule {
  int32_t shape;
  int32_t corners;
  const char* added;       // walls whose lengths make the dimension (and the measured label wall)
  const char* subtracted;  // walls whose lengths are taken off it
  const char* moved;       // the wall that moves when the dimension is edited
  const char* second;      // the wall that moves instead when the first cannot
  const char* labelBefore;
  const char* labelAfter;
  int32_t typeNumbers[kRotations];  // the room-type number by rotation
  // Rotation: the start wall's direction (degrees, within 0.5) is tested against `angles` in order;
  // the first match gives its rotation, none gives `otherwise`.
  int32_t tests;
  float angles[3];
  int32_t rotations[3];
  int32_t otherwise;
  // The dimension index of each position by rotation (shapes 2 and 3; positions past the row take its
  // last entry); empty rows keep the position.
  int8_t canonical[kRotations][6];
  int32_t canonicalLength;
  // Directions reversed: bit k of `flipPositions[rotation]` for position k, bit m of `flipIndexes`
  // for dimension index m; both together cancel.
  uint8_t flipPositions[kRotations];
  uint8_t flipIndexes;
};

constexpr ShapeRule kRules[] = {
    {0, 0, "", "", "", "", "", "", {10, 10, 10, 10}, 0, {}, {}, 0, {}, 0, {}, 0},
    {1, 4, "01", "  ", "32", "10", "30", "12", {1, 1, 1, 1}, 0, {}, {}, 0, {}, 0, {}, 0},
    {2,
     6,
     "4235",
     "    ",
     "5120",
     "3344",
     "3124",
     "5340",
     {2, 3, 4, 5},
     3,
     {180.0f, -90.0f, 0.0f},
     {0, 90, 180},
     270,
     {{2, 3, 0, 1}, {1, 0, 2, 3}, {3, 2, 1, 0}, {0, 1, 3, 2}},
     4,
     {0x0A, 0x05, 0x0A, 0x05},
     0},
    {3,
     8,
     "537466",
     "    0 ",
     "620317",
     "446555",
     "426355",
     "640517",
     {6, 7, 8, 9},
     3,
     {-90.0f, 0.0f, 90.0f},
     {0, 90, 180},
     270,
     {{3, 4, 5, 0, 1, 2}, {1, 0, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}, {0, 2, 1, 5, 4, 3}},
     6,
     {0x22, 0x0C, 0x22, 0x09},
     0x02},
    // Never classified; kept so that every shape number has its row.
    {4, 4, "3", " ", "2", "0", "2", "0", {0, 0, 0, 0}, 0, {}, {}, 0, {}, 0, {}, 0},
    {5,
     5,
     "3402",
     "    ",
     "4311",
     "    ",
     "2341",
     "4013",
     {11, 12, 13, 14},
     3,
     {90.0f, 0.0f, -90.0f},
     {0, 90, 180},
     270,
     {},
     0,
     {0x0F, 0x0F, 0x0F, 0x0F},
     0},
};

// The canonical turn strings, tested in this order.
struct ShapeTurns {
  const char* turns;
  int32_t shape;
};
constexpr ShapeTurns kShapeTurns[] = {{"LRRRRR", 2}, {"LLRRRRRR", 3}, {"RRRrr", 5}, {"RRrrR", 5},
                                      {"RrrRR", 5},  {"rrRRR", 5},    {"rRRRr", 5}, {"RRRR", 1}};

const ShapeRule* FindRule(int32_t shape) {
  for (const ShapeRule& rule : kRules)
    if (rule.shape == shape) return &rule;
  return nullptr;
}

// Unknown shapes have no corners and no dimensions, like shape 0.
const ShapeRule& RuleOf(int32_t shape) {
  const ShapeRule* rule = FindRule(shape);
  return rule != nullptr ? *rule : kRules[0];
}

int32_t DimensionCount(const ShapeRule& rule) { return int32_t(std::strlen(rule.added)); }

// 0..3 for 0, 90, 180, 270 degrees; -1 for any other rotation.
int32_t RotationSlot(int32_t rotation) {
  return rotation >= 0 && rotation % 90 == 0 && rotation / 90 < kRotations ? rotation / 90 : -1;
}

int32_t CanonicalIndex(const ShapeRule& rule, int32_t rotation, int32_t position) {
  const int32_t slot = RotationSlot(rotation);
  if (rule.canonicalLength == 0 || slot < 0) return position;
  const int32_t last = rule.canonicalLength - 1;
  return rule.canonical[slot][position >= 0 && position < last ? position : last];
}

bool DirectionReversed(const ShapeRule& rule, int32_t rotation, int32_t position, int32_t index) {
  const int32_t slot = RotationSlot(rotation);
  const bool byPosition = slot >= 0 && (rule.flipPositions[slot] >> position & 1) != 0;
  return byPosition != ((rule.flipIndexes >> index & 1) != 0);
}

// The face a wall digit names, counted from the start corner; -1 for a blank.
int32_t FaceOfDigit(char digit, int32_t startCorner, int32_t corners) {
  if (digit == ' ' || corners <= 0) return -1;
  return ((digit - '0' + startCorner) % corners + corners) % corners;
}

float DirectionDegrees(const WallEdge& edge) {
  return float(AngleBetweenXZ(edge.start, edge.end) * 180.0 / geom::kPi);
}

int32_t FloorsOn(zelvproCanvas* canvas) {
  int32_t floors = 0;
  if (canvas != nullptr)
    ForEachChildElement(*canvas,
                        [&](zelvproElement* child) { floors += child->kind == qxFloorElement::kKind; });
  return floors;
}

}  // namespace

int32_t qxFloorElement::ClassifyRoomShape() {
  if (FloorsOn(GetCanvas()) > 1) return 0;
  std::string turns = TurnLetters();
  startCorner_ = 0;
  if (!turns.empty()) SetCanonicalStart(turns);
  for (const ShapeTurns& candidate : kShapeTurns)
    if (turns == candidate.turns) return candidate.shape;
  return 0;
}

std::string qxFloorElement::TurnLetters() const {
  std::string turns;
  const int32_t count = cycle_ != nullptr ? cycle_->EdgeCount() : 0;
  for (int32_t i = 0; i < count; ++i) {
    const WallEdge& cur = *cycle_->EdgeAt(i);
    const WallEdge& next = *cycle_->EdgeAt((i + 1) % count);
    // The change of direction in degrees, in [0, 360]; the angles lie in [-90, 270).
    float turn = DirectionDegrees(cur) - DirectionDegrees(next);
    if (turn < 0.0f) turn += 360.0f;
    if (turn > 360.0f) turn -= 360.0f;
    char letter = OrientationXZ(cur.start, cur.end, next.end) > 0 ? 'L' : 'R';
    if (CompareWithinHalf(turn, 90.0f) != 0 && CompareWithinHalf(turn, 270.0f) != 0)
      letter = letter == 'L' ? 'l' : 'r';
    turns += letter;
  }
  return turns;
}

void qxFloorElement::SetCanonicalStart(std::string& turns) {
  const int32_t walls = int32_t(turns.size());
  const char lead = turns.find('L') != std::string::npos   ? 'L'
                    : turns.find('r') != std::string::npos ? 'r'
                                                           : '\0';
  if (lead == '\0') {
    startCorner_ = LowestCornerFace();
    return;
  }
  // Both loops are bounded: a string of lead letters only stops after walls + 1 moves.
  const auto rotateOnce = [&] {
    std::rotate(turns.begin(), turns.begin() + 1, turns.end());
    ++startCorner_;
  };
  while (turns.front() == lead && startCorner_ <= walls) rotateOnce();
  while (turns.front() != lead && startCorner_ <= walls) rotateOnce();
  if (startCorner_ >= walls) startCorner_ -= walls;
}

int32_t qxFloorElement::LowestCornerFace() const {
  ppVector3 best(geom::kNoResult, 0.0f, geom::kNoResult);
  int32_t face = 0;
  for (int32_t i = 0; i < cycle_->EdgeCount(); ++i) {
    const ppVector3& end = cycle_->EdgeAt(i)->end;
    if (end.x <= best.x && end.z <= best.z) best = end, face = i;
  }
  return face;
}

int32_t qxFloorElement::GetShapeRotation() { return ShapeRotation(ClassifyRoomShape()); }

int32_t qxFloorElement::ShapeRotation(int32_t shape) const {
  const ShapeRule& rule = RuleOf(shape);
  if (rule.tests == 0 || cycle_ == nullptr || startCorner_ >= cycle_->EdgeCount()) return rule.otherwise;
  const float angle = DirectionDegrees(*cycle_->EdgeAt(startCorner_));
  for (int32_t i = 0; i < rule.tests; ++i)
    if (NearlyEqual(angle, rule.angles[i], 0.5)) return rule.rotations[i];
  return rule.otherwise;
}

int32_t qxFloorElement::CanonicalWallIndex(int32_t position) {
  const int32_t shape = ClassifyRoomShape();
  return CanonicalIndex(RuleOf(shape), ShapeRotation(shape), position);
}

int32_t qxFloorElement::GetCornerCount() { return RuleOf(ClassifyRoomShape()).corners; }

int32_t qxFloorElement::GetMeasurementCount() { return DimensionCount(RuleOf(ClassifyRoomShape())); }

int32_t qxFloorElement::RoomType() {
  const int32_t shape = ClassifyRoomShape();
  return RoomTypeNumber(shape, ShapeRotation(shape));
}

int32_t qxFloorElement::ShownRoomType() { return roomTemplate_ != 0 ? roomTemplate_ : RoomType(); }

std::string qxFloorElement::OutlineKind() const {
  const std::string turns = TurnLetters();
  std::string kind;
  for (size_t i = 0; i < turns.size(); ++i) {
    kind += turns[i];
    kind += cycle_->EdgeAt(int32_t(i))->arched ? 'a' : 's';
  }
  std::string smallest = kind;
  for (size_t i = 2; i < kind.size(); i += 2)
    smallest = std::min(smallest, kind.substr(i) + kind.substr(0, i));
  return smallest;
}

int32_t RoomTypeNumber(int32_t shape, int32_t rotation) {
  const ShapeRule* rule = FindRule(shape);
  const int32_t slot = RotationSlot(rotation);
  return rule != nullptr && slot >= 0 ? rule->typeNumbers[slot] : 0;
}

bool qxFloorElement::LabelFaces(int32_t shape, int32_t position, int32_t faces[3]) const {
  const ShapeRule& rule = RuleOf(shape);
  if (position < 0 || position >= DimensionCount(rule)) return false;
  faces[0] = FaceOfDigit(rule.labelBefore[position], startCorner_, rule.corners);
  faces[1] = FaceOfDigit(rule.added[position], startCorner_, rule.corners);
  faces[2] = FaceOfDigit(rule.labelAfter[position], startCorner_, rule.corners);
  return true;
}

void qxFloorElement::ComputeMeasurements() {
  const int32_t shape = ClassifyRoomShape();
  const ShapeRule& rule = RuleOf(shape);
  const int32_t rotation = ShapeRotation(shape);
  // Every dimension field is cleared, not only the figures: a field left from an earlier shape
  // would name a face this cycle may not have.
  for (int32_t m = 0; m < kMeasurements; ++m) {
    measurements_[m] = 0.0f;
    movedWalls_[m] = secondWalls_[m] = -1;
    directions_[m] = ppVector3();
  }
  if (cycle_ == nullptr || cycle_->EdgeCount() != rule.corners) return;
  const auto faceAt = [&](char digit) { return FaceOfDigit(digit, startCorner_, rule.corners); };
  for (int32_t k = 0; k < DimensionCount(rule); ++k) {
    const WallEdge& measured = *cycle_->EdgeAt(faceAt(rule.added[k]));
    const int32_t m = CanonicalIndex(rule, rotation, k);
    measurements_[m] += Distance3(measured.start, measured.end);
    if (rule.subtracted[k] != ' ') {
      const WallEdge& taken = *cycle_->EdgeAt(faceAt(rule.subtracted[k]));
      measurements_[m] -= Distance3(taken.start, taken.end);
    }
    movedWalls_[m] = faceAt(rule.moved[k]);
    secondWalls_[m] = faceAt(rule.second[k]);
    directions_[m] = measured.end - measured.start;
    if (DirectionReversed(rule, rotation, k, m)) directions_[m] = directions_[m].Negated();
  }
}

void qxFloorElement::SetMeasurement(int32_t index, float value, bool useSecondWall) {
  if (!(value > 10.0f) || index < 0 || index >= kMeasurements) return;
  const int32_t face = useSecondWall ? secondWalls_[index] : movedWalls_[index];
  const ppVector3 direction = directions_[index];
  // A zero direction (a wall of no length) has no unit vector to move along.
  if (cycle_ == nullptr || face < 0 || face >= cycle_->EdgeCount() || !(direction.Length() > 0.0f)) return;
  qxRoomSegment* segment = cycle_->EdgeAt(face)->segment;
  if (segment == nullptr) return;
  iMoveObjectTask* task = iElementTaskFactory::Current().NewMoveObjectTask(segment, GetSupervisor());
  if (task == nullptr) return;

  const ppVector3 start = segment->Start(), end = segment->End();
  // The second wall stands at the measured wall's other end: it moves the other way.
  const float delta = (value - measurements_[index]) * (useSecondWall ? -1.0f : 1.0f);
  const ppVector3 unit = direction.Normalized();
  // The move is in the plan's own frame, along the measured direction. The tables' direction turns
  // were made for a frame whose z is mirrored: a direction nearer the z axis than the x axis moves
  // the other way. On a turned room this keeps the wall moving along the measured direction (a
  // mirrored z alone would move it askew and change the figure by the wrong amount).
  const float sense = std::fabs(unit.x) >= std::fabs(unit.z) ? 1.0f : -1.0f;
  task->ApplyMove(delta * sense * unit.x, delta * sense * unit.z, false);
  // A move that shifted either end changed the plan: the room is rebuilt and the move kept for undo.
  if (segment->Start() != start || segment->End() != end) {
    KeepWallMove(*task);
    return;
  }
  delete task->Task();
  if (useSecondWall) return;
  // The wall could not move: the second wall moves instead, or, without one, only the figure is kept.
  if (secondWalls_[index] < 0)
    measurements_[index] = value;
  else
    SetMeasurement(index, value, true);
}

void qxFloorElement::KeepWallMove(iMoveObjectTask& task) {
  // Taken before the rebuild: it replaces this floor's cycle and hands the floor to a sweeper.
  zelvproCanvas* canvas = GetCanvas();
  ppUndoer* undoer = GetUndoer();
  if (canvas != nullptr) {
    canvas->DoCommand(qxRoomSegment::kRebuildCorners, 0);
    canvas->DoCommand(qxRoomSegment::kRefresh3D, 0);
  }
  iElementHost& host = iElementHost::Current();
  InvalidateElement(host.ScenePane(), true);
  if (undoer != nullptr)
    undoer->Post(task.Task());
  else
    delete task.Task();
  // The wall stays where it went, kept for undo or not: the save question must ask about it. The
  // task marks the document again when it is undone or redone.
  host.MarkDocumentModified();
}
