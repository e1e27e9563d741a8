// Process-wide OpenGL state of the drawing contexts' 2D mode: the master rendering context with
// which every later context shares textures, the texture made for each picture, and the reload flag
// that forces textures to be made again.
#pragma once

#include <cstdint>

#include "platform/Wgl.h"

class ppPicture;

// A rendering context on `dc` (a pixel format is set first when the context has none). The first
// context made becomes the master; later ones share its textures. The master belongs to this module:
// callers never delete it (IsMasterGLContext tells).
plat::HGLRC CreateGLContext(plat::HDC dc);
bool IsMasterGLContext(plat::HGLRC context);

// While set, every textured fill makes its picture's texture again.
void SetTextureReload(bool on);
bool TextureReload();

// Binds the texture of `picture` (made from its 24-bit pixels with mipmaps when missing or when
// reloading) on the current context. Textures are keyed by the picture's identity and dropped when
// the picture is destroyed, so a new picture never shows an old picture's texture.
void BindPictureTexture(const ppPicture& picture);
int32_t CachedTextureCount();

// Deletes every cached texture (with the master current) and the master context. For the end of the
// process, or of a test.
void ReleaseOpenGL();
