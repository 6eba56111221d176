#pragma once
// The OpenGL state every pass of the frame starts from, and the projection of
// the 3D view. The application and the headless tools and tests set both the
// same way, with their rendering context current.

// True for a version string of OpenGL 1.0 ("1.0..."), which the program refuses.
bool IsOpenGl10(const char* version);

// Whether a space-separated extension list names the extension, by exact token.
bool HasGlExtension(const char* extensions, const char* name);

// Separate specular colour is wanted with version 1.2 or either extension, but
// never on a RIVA TNT. Null strings count as empty.
bool WantsSeparateSpecular(const char* version, const char* renderer, const char* extensions);

// Clear values, the light model, lights off, depth and stencil off, back-face
// culling of clockwise faces; switches on separate specular colour when the
// given strings call for it (WantsSeparateSpecular) and records that in
// g_separateSpecular.
void ApplyStartState(const char* version, const char* renderer, const char* extensions);
// The same with the current context's own strings.
void ApplyStartState();

// Viewport over the whole client area, a perspective of 30 degrees vertically
// from 1 to 1000 world units, then the identity on the modelview matrix. A
// height of 0 (a minimised window) keeps the previous projection.
void ApplyProjection(int width, int height);
