#pragma once
// The drawing's economies for scenes of many bodies, each of which can be
// turned off alone to compare its cost and its pictures with the plain path.

struct SDrawTuning
{
    // Every economy off: each body on display lists of its own, drawn in
    // every pass, as the frame was drawn before them.
    static constexpr SDrawTuning Plain()
    {
        SDrawTuning tuning;
        tuning.sharedGeometry = false;
        tuning.viewCulling = false;
        tuning.singlePassReflections = false;
        tuning.levelOfDetail = false;
        tuning.batchedSpheres = false;
        tuning.keepFreedMemory = false;
        tuning.silhouetteShadows = false;
        tuning.nearestFirst = false;
        return tuning;
    }

    // Bodies made of identical shapes replay one compiled geometry, with the
    // body's own material and textures set around it, instead of compiling
    // display lists of their own.
    bool sharedGeometry = true;
    // A body is skipped in a pass when its bounding sphere lies outside the
    // view, and in a shadow pass when its shadow on the floor does.
    bool viewCulling = true;
    // The reflection is added by a second texture unit in the lit pass, where
    // the GL offers one, instead of drawing every body again.
    bool singlePassReflections = true;
    // Spheres are drawn with fewer facets the fewer pixels they cover.
    bool levelOfDetail = true;
    // Sphere bodies whose material a vertex colour can carry are drawn
    // together from vertex arrays placed on the CPU, a few calls per pass
    // instead of one per body. Only with the reflection in the lit pass or
    // none: a second pass over them would not meet their depth exactly.
    bool batchedSpheres = true;
    // Memory the renderer frees after a frame stays in the process for the
    // next frame instead of going back to the system, to be faulted in again
    // page by page: the software renderer bins a crowded frame's triangles in
    // megabytes of heap and frees them when it has drawn them. Changes no
    // pixel; the process keeps its largest frame's scratch. Process-wide:
    // set by each frame drawn.
    bool keepFreedMemory = true;
    // A batched sphere's shadow is one flat polygon, the outline of the
    // sphere as the light sees it, instead of the sphere's every facet
    // flattened onto the floor.
    bool silhouetteShadows = true;
    // Batched spheres are drawn nearest first, so that the depth test turns
    // away most of the hidden ones' pixels before they are textured and lit.
    bool nearestFirst = true;
    // The economies that may change pixels (a facet's edge, the rounding of
    // the reflection's sum, the colour carried in bytes, a shadow's outline,
    // which of two equally deep pixels wins): level of detail, one-pass
    // reflections, batching, outlines and the nearest-first order start only
    // when a frame has more bodies in view than this, so that the built-in
    // scenes look exactly as they are.
    int crowdBodies = 40;
};
