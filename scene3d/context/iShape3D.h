// The primitive-emission half of a 3D drawing context, shaped like OpenGL immediate mode: primitives
// are Begin(mode), per vertex an optional TexCoord and Normal then Vertex, and End. Mode 9 is a closed
// polygon; the recorder keeps every other mode as an open primitive. Coordinates are millimetres.
// Every operation is empty here, so a receiver overrides only what it needs.
#pragma once

#include <cstdint>

class ppShape3D;

class iShape3D {
 public:
  virtual ~iShape3D() = default;

  virtual void Begin(uint32_t /*mode*/) {}
  virtual void TexCoord(float /*s*/, float /*t*/) {}
  virtual void EdgeFlag(bool /*flag*/) {}
  virtual void Normal(float /*x*/, float /*y*/, float /*z*/) {}
  virtual void Vertex(float /*x*/, float /*y*/, float /*z*/) {}
  virtual void End() {}
  // Draws a recorded shape; answers the display-list name the receiver kept for it, 0 for none.
  virtual uint32_t DrawShape(const ppShape3D* /*shape*/) { return 0; }
  // Replays a display list a DrawShape answered earlier.
  virtual void CallList(uint32_t /*list*/) {}
};
