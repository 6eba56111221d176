#pragma once
// The passes of one frame in drawing order, for a caller that wants to time
// them one by one (the benchmark finishes the GL's work after each).

class CWorld;

enum EFramePass : int
{
    kPassShadow0,     // light 0's shadows into the stencil (or onto the floor)
    kPassShadow1,     // light 1's
    kPassFloor,       // the floor, once per shadow region
    kPassBodies,      // the lit bodies and the pusher
    kPassReflections, // the additive sphere-map reflections
    kFramePassCount
};

inline constexpr const char* kFramePassNames[kFramePassCount] = {"shadow0", "shadow1", "floor",
                                                                 "bodies", "reflect"};

class IFramePassObserver
{
public:
    virtual ~IFramePassObserver() = default;
    // Called as each pass has been issued; passes the frame does not draw
    // (shadows in mode 0, reflections when off) are not reported.
    virtual void PassDone(EFramePass pass) = 0;
};

// CWorld::Draw with an observer (or none).
void DrawWorld(CWorld& world, IFramePassObserver* observer);
