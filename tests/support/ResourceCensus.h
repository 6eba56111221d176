#pragma once
// Counts what a run leaves behind: the display lists the world's drawables
// were handed (every name ever seen, checked with glIsList, plus a scan of
// the whole range they came from for lists nobody kept a name of), and the
// whole process heap, the driver's included (the sanitizer's allocator when
// there is one, malloc's statistics otherwise). Needs a current OpenGL
// context. The program's own heap is OwnHeap.h's.
//
//   CResourceCensus census(100000);       // room for that many names
//   census.Record(world);                 // after every build or add
//   size_t before = census.LiveLists();   // ... run ...; compare

#include <GL/gl.h>
#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <set>
#include <vector>

#include "dynamics/Body.h"
#include "render/Floor.h"
#include "world/World.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLATTERBOX_CENSUS_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CLATTERBOX_CENSUS_ASAN 1
#endif
#ifdef CLATTERBOX_CENSUS_ASAN
// The sanitizer runtime's count of the bytes in use (its header is not
// installed with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

class CResourceCensus
{
public:
    // Keeps room for `capacity` names from the start, so that recording them
    // allocates nothing while a test counts the heap.
    explicit CResourceCensus(size_t capacity = 0) { m_names.reserve(capacity); }

    // Remembers the list names of the floor, every body and the pusher.
    void Record(const CWorld& world)
    {
        if (world.floor != nullptr)
            Record(*world.floor);
        for (int i = 0; i < world.BodyCount(); ++i)
            Record(*world.Body(i));
        if (world.pusher != nullptr)
            Record(*world.pusher);
    }

    void Record(const CDrawable& drawable)
    {
        for (const unsigned list : drawable.ListNames())
            if (list != 0 && m_names.size() < m_names.capacity())
                m_names.push_back(list);
            else if (list != 0)
                m_overflow = true;
    }

    // Distinct names recorded so far.
    size_t HandedOut() const { return Distinct().size(); }
    // More names came than there was room for.
    bool Overflowed() const { return m_overflow; }

    // Live lists among the names recorded.
    size_t LiveLists() const
    {
        size_t live = 0;
        for (const unsigned name : Distinct())
            if (glIsList(name) == GL_TRUE)
                ++live;
        return live;
    }

    // Live lists among every name from 1 to past the highest recorded, so
    // that a list compiled and forgotten without ever being recorded counts.
    size_t LiveListsInRange() const
    {
        const unsigned top =
            m_names.empty() ? 0u : *std::max_element(m_names.begin(), m_names.end());
        size_t live = 0;
        for (unsigned name = 1; name <= top + kRangeMargin; ++name)
            if (glIsList(name) == GL_TRUE)
                ++live;
        return live;
    }

    // Live lists of the world as it is now.
    static size_t WorldLists(const CWorld& world)
    {
        CResourceCensus now(1024);
        now.Record(world);
        return now.LiveLists();
    }

    // Bytes the process has allocated and not freed, the driver's included,
    // once the renderer has finished: llvmpipe frees what a deleted list held
    // only after the drawing that used it is done.
    static size_t ProcessHeapInUse()
    {
        glFinish();
#ifdef CLATTERBOX_CENSUS_ASAN
        return __sanitizer_get_current_allocated_bytes();
#else
        return mallinfo2().uordblks;
#endif
    }

private:
    std::set<unsigned> Distinct() const
    {
        return std::set<unsigned>(m_names.begin(), m_names.end());
    }

    // Names past the highest recorded one that are scanned as well.
    static constexpr unsigned kRangeMargin = 4096;

    std::vector<unsigned> m_names;
    bool m_overflow = false;
};
