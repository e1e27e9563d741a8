// A 3D drawing context: receives primitives (iShape3D), render state (iEffect) and model transforms
// (iHierarchy), plus projection, viewport, picking and point mapping. Scenes draw into it through a
// renderer (iRenderer). The defaults below do nothing and answer neutral values, so contexts that only
// track or record (ppStandardContext, test loggers) override what they use.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"
#include "scene3d/context/iEffect.h"
#include "scene3d/context/iHierarchy.h"
#include "scene3d/context/iShape3D.h"

class ppMatrix4;

class iContext : public iShape3D, public iEffect, public iHierarchy {
 public:
  // When set, node drawing never keeps display-list or texture names in the nodes: for contexts that
  // live for a single pass.
  bool immediateMode = false;

  ~iContext() override = default;

  // Perspective projection: field of view in degrees, near and far planes in millimetres.
  virtual void LoadMatrix(float /*fieldOfView*/, float /*nearPlane*/, float /*farPlane*/, bool /*reset*/) {}
  virtual void SetOrthographic(float /*scale*/, float /*nearPlane*/, float /*farPlane*/, bool /*reset*/) {}
  // Window-pixel projection: one unit per pixel, origin top left.
  virtual void SetOrthographicB() {}
  virtual void LookAt(float /*eyeX*/, float /*eyeY*/, float /*eyeZ*/, float /*centreX*/, float /*centreY*/,
                      float /*centreZ*/, float /*upX*/, float /*upY*/, float /*upZ*/) {}
  virtual void SetViewport(int32_t /*x*/, int32_t /*y*/, int32_t /*width*/, int32_t /*height*/) {}
  // SetViewport(0, 0, width, height).
  virtual void SetViewportSize(int32_t width, int32_t height) { SetViewport(0, 0, width, height); }
  // Begins or ends selection picking; answers the hit count.
  virtual int32_t SetPickMode(bool /*on*/) { return 0; }
  virtual void LoadName(uint32_t /*name*/) {}
  virtual uint32_t GetPickHit(int32_t /*index*/) { return 0; }
  virtual void SwapBuffers(bool /*swap*/) {}
  // The default state, then the buffers of `mask` cleared to the colour.
  virtual void ResetState(float /*r*/, float /*g*/, float /*b*/, float /*a*/, uint32_t /*mask*/) {}
  // Window point to scene point, and scene point to window point.
  virtual ppVector3 MapPointA(const ppVector3& /*point*/) { return ppVector3(); }
  virtual ppVector3 MapPointB(const ppVector3& /*point*/) { return ppVector3(); }
  // The current model transform; the identity here.
  virtual void GetMatrix(ppMatrix4& out);
  virtual float GetAspectRatio() { return 1.0f; }
};
