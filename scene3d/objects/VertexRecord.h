// The unit of every generated body face: position (millimetres, in the body's own frame), texture
// coordinates s and t, and the normal, eight 32-bit floats back to back. Normals are unit length as
// generated.
#pragma once

struct VertexRecord {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float s = 0.0f, t = 0.0f;
  float nx = 0.0f, ny = 0.0f, nz = 0.0f;
};

static_assert(sizeof(VertexRecord) == 32, "eight floats back to back");
