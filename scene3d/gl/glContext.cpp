#include "scene3d/gl/glContext.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "foundation/ppMatrix4.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/context/ppShapePrimitive.h"
#include "scene3d/context/ppShapeVertex.h"

namespace {

// How many times a zero texture name is asked again before texturing gives up for the picture.
constexpr int kTextureNameTries = 4;
constexpr GLsizei kAllLists = 32767;

int32_t PowerOfTwoAtMost(int32_t value) {
  int32_t power = 1;
  while (power <= value / 2) power *= 2;
  return power;
}

// Builds the mipmaps of an image whose rows start on 4-byte boundaries. GLU's own rescaling of sizes
// that are not powers of two loses every row after the first, so the image is brought to the power
// of two below its size first, as GLU would.
void BuildMipmaps(GLint components, GLenum format, int32_t width, int32_t height, const uint8_t* pixels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  const int32_t fitWidth = PowerOfTwoAtMost(width), fitHeight = PowerOfTwoAtMost(height);
  if (fitWidth == width && fitHeight == height) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels);
    return;
  }
  const size_t stride = (size_t(fitWidth) * size_t(components) + 3) / 4 * 4;
  std::vector<uint8_t> fitted(stride * size_t(fitHeight));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  gluScaleImage(format, width, height, GL_UNSIGNED_BYTE, pixels, fitWidth, fitHeight, GL_UNSIGNED_BYTE,
                fitted.data());
  gluBuild2DMipmaps(GL_TEXTURE_2D, components, fitWidth, fitHeight, format, GL_UNSIGNED_BYTE, fitted.data());
}

void EmitVertex(const ppShapeVertex& v) {
  glTexCoord2f(v.texture.x, v.texture.y);
  glNormal3f(v.normal.x, v.normal.y, v.normal.z);
  glVertex3f(v.position.x, v.position.y, v.position.z);
}

bool IsTriangle(const ppShapePrimitive& primitive) {
  return primitive.closed && primitive.vertices.size() == 3;
}

}  // namespace

// ---- Construction and binding.

glContext::glContext(plat::HDC dc, bool immediate) : dc_(dc), readBuffer_(GL_FRONT), drawBuffer_(GL_BACK) {
  rc_ = plat::wglCreateContext(dc);
  ownsContext_ = rc_ != nullptr;
  plat::GetLastError();
  if (rc_ != nullptr && MakeCurrent(true)) {
    // A context of its own has no lists yet; clearing the range keeps it from ever reaching lists
    // of another context it might have been made to share with.
    glDeleteLists(0, kAllLists);
    GLint lights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    if (lights > 0) maxLights_ = lights;
    SetDefaultState();
    glEnable(GL_NORMALIZE);
  }
  immediateMode = immediate;
}

glContext::~glContext() {
  MakeCurrent(false);
  if (ownsContext_) plat::wglDeleteContext(rc_);
}

bool glContext::MakeCurrent(bool on) {
  if (rc_ == nullptr) return false;
  if (on) {
    plat::SelectClipRgn(dc_, nullptr);
    return plat::wglMakeCurrent(dc_, rc_) != 0;
  }
  // Releasing only this context: another one current on the thread is not ours to end.
  if (plat::wglGetCurrentContext() != rc_) return false;
  glFlush();
  return plat::wglMakeCurrent(nullptr, nullptr) != 0;
}

void glContext::SetDefaultState() {
  glColorMask(1, 1, 1, 1);
  glDepthMask(1);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glColor4f(0, 0, 0, 1);
  glPolygonOffset(1.5f, 0.3f);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glShadeModel(GL_SMOOTH);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// ---- iShape3D

void glContext::Begin(uint32_t mode) {
  if (rc_) glBegin(mode);
}
void glContext::TexCoord(float s, float t) {
  if (rc_) glTexCoord2f(s, t);
}
void glContext::EdgeFlag(bool flag) {
  if (rc_) glEdgeFlag(flag);
}
void glContext::Normal(float x, float y, float z) {
  if (rc_) glNormal3f(x, y, z);
}
void glContext::Vertex(float x, float y, float z) {
  if (rc_) glVertex3f(x, y, z);
}
void glContext::End() {
  if (rc_) glEnd();
}

void glContext::Replay(const ppShape3D& shape) {
  const std::vector<ppShapePrimitive>& primitives = shape.Primitives();
  for (size_t i = 0; i < primitives.size();) {
    // A run of triangles is one batch: the same pixels and hits as a polygon each, far fewer
    // primitives for OpenGL to set up.
    if (IsTriangle(primitives[i])) {
      glBegin(GL_TRIANGLES);
      for (; i < primitives.size() && IsTriangle(primitives[i]); ++i)
        for (const ppShapeVertex& v : primitives[i].vertices) EmitVertex(v);
      glEnd();
      continue;
    }
    glBegin(primitives[i].closed ? GL_POLYGON : GL_LINES);
    for (const ppShapeVertex& v : primitives[i].vertices) EmitVertex(v);
    glEnd();
    ++i;
  }
}

uint32_t glContext::DrawShape(const ppShape3D* shape) {
  if (rc_ == nullptr || shape == nullptr || shape->GetCount() == 0) return 0;
  if (immediateMode || shape->Values().IsPlaceholder()) {
    Replay(*shape);
    return 0;
  }
  auto found = lists_.find(shape->Values());
  uint32_t list = found != lists_.end() ? found->second : 0;
  if (list == 0) {
    list = glGenLists(1);
    if (list == 0) {
      Replay(*shape);
      return 0;
    }
    lists_.emplace(shape->Values(), list);
  }
  glNewList(list, GL_COMPILE_AND_EXECUTE);
  Replay(*shape);
  glEndList();
  return list;
}

void glContext::CallList(uint32_t list) {
  if (rc_ && list != 0) glCallList(list);
}

// ---- iEffect

void glContext::SetColor(float r, float g, float b, float a) {
  if (rc_ == nullptr) return;
  glColor4f(r, g, b, a);
  const GLboolean write = a == 0.0f ? GL_FALSE : GL_TRUE;
  glColorMask(write, write, write, write);
}

glContext::TextureKey glContext::KeyOf(const ppPicture& picture) {
  TextureKey key;
  key.values = picture.GetValues();
  if (key.values.empty() || key.values[0] == DoubleVector::kPlaceholder) {
    key.values.clear();
    key.identity = picture.Identity();
  }
  return key;
}

uint32_t glContext::NewTextureName() {
  GLuint name = 0;
  for (int attempt = 0; attempt < kTextureNameTries && name == 0; ++attempt) glGenTextures(1, &name);
  return name;
}

void glContext::UploadPicture(const ppPicture& picture) {
  // Rows of the picture's pixel copies start on 4-byte boundaries (BGR rows are padded).
  if (picture.HasMask()) {
    const std::vector<uint8_t> pixels = picture.GetPixelsRGBA(false);
    BuildMipmaps(4, GL_BGRA, picture.GetWidth(), picture.GetHeight(), pixels.data());
  } else {
    const std::vector<uint8_t> pixels = picture.GetPixelsBGR();
    BuildMipmaps(3, GL_BGR, picture.GetWidth(), picture.GetHeight(), pixels.data());
  }
}

uint32_t glContext::CreateTexture(const ppPicture* picture) {
  if (rc_ == nullptr) return 0;
  if (picture == nullptr || picture->IsEmpty() || picture->GetWidth() <= 0 || picture->GetHeight() <= 0) {
    glDisable(GL_TEXTURE_2D);
    return 0;
  }
  TextureKey key;
  if (!immediateMode) {
    key = KeyOf(*picture);
    auto found = textures_.find(key);
    if (found != textures_.end()) {
      BindTexture(found->second);
      return found->second;
    }
  }
  uint32_t name = 0;
  if (!immediateMode) {
    name = NewTextureName();
    if (name == 0) {
      glDisable(GL_TEXTURE_2D);
      return 0;
    }
  }
  glEnable(GL_TEXTURE_2D);
  // In immediate mode the default texture object receives the image.
  glBindTexture(GL_TEXTURE_2D, name);
  UploadPicture(*picture);
  if (!immediateMode) textures_.emplace(std::move(key), name);
  return name;
}

void glContext::BindTexture(uint32_t name) {
  if (rc_ == nullptr) return;
  if (name == 0) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void glContext::SetTextureParameterA(bool repeat) {
  if (rc_ == nullptr) return;
  const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

void glContext::SetTextureParameterB(bool smooth) {
  if (rc_ == nullptr) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  smooth ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, smooth ? GL_LINEAR : GL_NEAREST);
}

void glContext::SetLighting() {
  if (rc_ == nullptr) return;
  for (int32_t i = 0; i < lightCount_; ++i) glDisable(GL_LIGHT0 + i);
  lightCount_ = 0;
  glDisable(GL_LIGHTING);
  const GLfloat none[4] = {0, 0, 0, 0};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnable(GL_NORMALIZE);
}

void glContext::EnableLighting(bool on) {
  if (rc_ == nullptr) return;
  if (on)
    glEnable(GL_LIGHTING);
  else
    glDisable(GL_LIGHTING);
}

void glContext::SetLightModel(float r, float g, float b, float a) {
  if (rc_ == nullptr) return;
  const GLfloat ambient[4] = {r, g, b, a};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
}

void glContext::SetLight(const ppVector3& position, float r, float g, float b, float a, float constant,
                         float linear, float quadratic) {
  if (rc_ == nullptr || lightCount_ >= maxLights_) return;
  const GLenum light = GL_LIGHT0 + static_cast<GLenum>(lightCount_);
  const GLfloat where[4] = {position.x, position.y, position.z, 1.0f};
  const GLfloat none[4] = {0, 0, 0, 0};
  const GLfloat colour[4] = {r, g, b, a};
  glLightfv(light, GL_POSITION, where);
  glLightfv(light, GL_AMBIENT, none);
  glLightfv(light, GL_SPECULAR, colour);
  glLightfv(light, GL_DIFFUSE, colour);
  glLightf(light, GL_CONSTANT_ATTENUATION, constant);
  glLightf(light, GL_LINEAR_ATTENUATION, linear);
  glLightf(light, GL_QUADRATIC_ATTENUATION, quadratic);
  glEnable(light);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
  glShadeModel(GL_SMOOTH);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  ++lightCount_;
}

void glContext::SetBlending(bool on) {
  if (rc_ == nullptr) return;
  if (on) {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
  }
}

void glContext::SetLineWidth(float width) {
  if (rc_) glLineWidth(width);
}

void glContext::SetPolygonOffset(float factor, float units) {
  if (rc_ == nullptr) return;
  if (factor == 0.0f && units == 0.0f) {
    glDisable(GL_POLYGON_OFFSET_FILL);
    return;
  }
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(factor, units);
}

void glContext::SetPolygonMode(uint32_t mode) {
  if (rc_) glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void glContext::SetBlendFunction(uint16_t source, uint16_t destination) {
  if (rc_ == nullptr) return;
  glBlendFunc(source, destination);
  if (source == GL_ONE && destination == GL_ZERO)
    glDisable(GL_BLEND);
  else
    glEnable(GL_BLEND);
}

void glContext::SetDrawBuffer(uint16_t buffer) {
  if (rc_ == nullptr) return;
  drawBuffer_ = buffer;
  glDrawBuffer(buffer);
}

void glContext::SetReadBuffer(uint16_t buffer) {
  if (rc_ == nullptr) return;
  readBuffer_ = buffer;
  glReadBuffer(buffer);
}

void glContext::CopyBuffer(uint16_t readBuffer, uint16_t drawBuffer, uint16_t pixelType, int32_t x, int32_t y,
                           int32_t width, int32_t height) {
  if (rc_ == nullptr) return;
  glDrawBuffer(drawBuffer);
  glReadBuffer(readBuffer);
  if (x == -1) {
    x = viewport_[0];
    y = viewport_[1];
    width = viewport_[2];
    height = viewport_[3];
  }
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glPixelZoom(1, 1);
  for (GLenum capability :
       {GL_ALPHA_TEST, GL_DEPTH_TEST, GL_BLEND, GL_DITHER, GL_TEXTURE_2D, GL_TEXTURE_1D, GL_LIGHTING, GL_FOG})
    glDisable(capability);
  glColorMask(1, 1, 1, 1);
  glCopyPixels(x, y, width, height, pixelType);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  SetDrawBuffer(drawBuffer_);
  SetReadBuffer(readBuffer_);
}

void glContext::SetCullFace(uint32_t face) {
  if (rc_ == nullptr) return;
  if (face == 0) {
    glDisable(GL_CULL_FACE);
    return;
  }
  glEnable(GL_CULL_FACE);
  glCullFace(face);
}

void glContext::SetDepthFunction(uint32_t function) {
  if (rc_ == nullptr) return;
  if (function == GL_ALWAYS) {
    glDisable(GL_DEPTH_TEST);
    return;
  }
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(function);
}

void glContext::SetWriteMasks(bool r, bool g, bool b, bool a, bool depth) {
  if (rc_ == nullptr) return;
  glColorMask(r, g, b, a);
  glDepthMask(depth);
}

// ---- iHierarchy

void glContext::MultMatrix(const ppMatrix4& matrix) {
  if (rc_) glMultMatrixd(matrix.m);
}
void glContext::Translate(double x, double y, double z) {
  if (rc_) glTranslated(x, y, z);
}
void glContext::Rotate(double degrees, double x, double y, double z) {
  if (rc_) glRotated(degrees, x, y, z);
}
void glContext::Scale(double x, double y, double z) {
  if (rc_) glScaled(x, y, z);
}
void glContext::PushMatrix() {
  if (rc_) glPushMatrix();
}
void glContext::PopMatrix() {
  if (rc_) glPopMatrix();
}
void glContext::LoadIdentity() {
  if (rc_) glLoadIdentity();
}

// ---- iContext

void glContext::LoadMatrix(float fieldOfView, float nearPlane, float farPlane, bool reset) {
  if (rc_ == nullptr) return;
  glMatrixMode(GL_PROJECTION);
  if (reset) glLoadIdentity();
  const float f = 1.0f / std::tan(fieldOfView / 2.0f / 180.0f * static_cast<float>(M_PI));
  GLfloat m[16] = {};
  m[0] = f / aspect_;
  m[5] = f;
  m[10] = -2.0f / (farPlane - nearPlane);
  m[11] = -1.0f;
  m[14] = (-farPlane - nearPlane) / (farPlane - nearPlane);
  glMultMatrixf(m);
  glMatrixMode(GL_MODELVIEW);
}

void glContext::SetOrthographic(float scale, float nearPlane, float farPlane, bool reset) {
  if (rc_ == nullptr) return;
  glMatrixMode(GL_PROJECTION);
  if (reset) glLoadIdentity();
  glOrtho(-1, 1, -1.0 / aspect_, 1.0 / aspect_, nearPlane, farPlane);
  glScalef(scale, scale, scale);
  glMatrixMode(GL_MODELVIEW);
}

void glContext::SetOrthographicB() {
  if (rc_ == nullptr) return;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 1, 0, -1, 1);
  const float width = viewport_[2] > 0 ? float(viewport_[2]) : 1.0f;
  const float height = viewport_[3] > 0 ? float(viewport_[3]) : 1.0f;
  glScalef(1.0f / width, 1.0f / height, 1.0f);
  glMatrixMode(GL_MODELVIEW);
}

void glContext::LookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
                       float upX, float upY, float upZ) {
  if (rc_) gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void glContext::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (rc_ == nullptr) return;
  aspect_ = height > 0 ? float(width) / float(height) : 1.0f;
  viewport_ = {x, y, width, height};
  glViewport(x, y, width, height);
}

int32_t glContext::SetPickMode(bool on) {
  if (rc_ == nullptr) return 0;
  if (on) {
    pickMode_ = true;
    glSelectBuffer(GLsizei(kSelectWords), select_.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    hits_.Clear();
    return 0;
  }
  if (!pickMode_) return 0;
  pickMode_ = false;
  glPopName();
  const GLint count = glRenderMode(GL_RENDER);
  hits_.Collect(select_.data(), kSelectWords, count);
  return hits_.Count();
}

void glContext::LoadName(uint32_t name) {
  if (rc_ && pickMode_) glLoadName(name);
}

uint32_t glContext::GetPickHit(int32_t index) { return hits_.Name(index); }

void glContext::SwapBuffers(bool swap) {
  if (rc_ == nullptr) return;
  glFlush();
  if (swap) plat::SwapBuffers(dc_);
}

void glContext::ResetState(float r, float g, float b, float a, uint32_t mask) {
  if (rc_ == nullptr) return;
  SetDefaultState();
  glClearColor(r, g, b, a);
  glClearDepth(1.0);
  glClear(mask);
}

ppVector3 glContext::MapPointA(const ppVector3& point) {
  if (rc_ == nullptr) return ppVector3();
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetError();
  GLdouble x = 0, y = 0, z = 0;
  gluUnProject(point.x, viewport[3] - point.y, point.z, model, projection, viewport, &x, &y, &z);
  return ppVector3(float(x), float(y), float(z));
}

ppVector3 glContext::MapPointB(const ppVector3& point) {
  if (rc_ == nullptr) return ppVector3();
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetError();
  GLdouble x = 0, y = 0, z = 0;
  gluProject(point.x, point.y, point.z, model, projection, viewport, &x, &y, &z);
  return ppVector3(float(x), float(viewport[3] - y), float(z));
}

void glContext::GetMatrix(ppMatrix4& out) {
  out.SetIdentity();
  if (rc_) glGetDoublev(GL_MODELVIEW_MATRIX, out.m);
}

float glContext::ReadPixels(float x, float y) {
  if (rc_ == nullptr) return 0.0f;
  glGetError();
  glGetError();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const GLint column = GLint(std::lround(x));
  const GLint row = GLint(std::lround(float(viewport[3]) - y));
  GLfloat depth = 1.0f, scale = 1.0f, bias = 0.0f;
  glReadPixels(column, row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  glGetFloatv(GL_DEPTH_SCALE, &scale);
  glGetFloatv(GL_DEPTH_BIAS, &bias);
  return (depth - bias) / scale;
}

void glContext::LoadPickMatrix(float x, float y, float width, float height) {
  if (rc_ == nullptr) return;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluPickMatrix(x, y, width, height, viewport);
}
