#pragma once
// A debugging overlay: marker points drawn as small yellow spheres and a short
// note shown in the caption. Every simulation step empties both; nothing in the
// program fills them in normal operation.

#include <cstddef>
#include <string>
#include <vector>

#include "dynamics/Vector.h"

// World coordinates.
extern std::vector<CVector> g_diagnosticMarkers;
extern std::string g_diagnosticNote;

void ClearDiagnosticMarkers();
void ClearDiagnosticNote();
// Draws every marker as a sphere of the given radius, world units.
void DrawDiagnosticMarkers(float radius);
// Draws count markers from the first in the given colour (RGBA).
void DrawDiagnosticMarkers(float radius, size_t first, size_t count, const float colour[4]);
