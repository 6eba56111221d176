#pragma once
// Compiled geometry shared by drawables of identical shapes: one display list
// per distinct geometry, counted by its users and deleted with the last one.

#include <cstdint>
#include <functional>
#include <vector>

class CGeometryCache
{
public:
    CGeometryCache() = default;
    // Deletes the lists still held (their users are gone with the world).
    ~CGeometryCache();
    CGeometryCache(const CGeometryCache&) = delete;
    CGeometryCache& operator=(const CGeometryCache&) = delete;

    // The list of the geometry the key describes, compiled from emit on its
    // first use; every Acquire is matched by one Release.
    unsigned Acquire(const std::vector<uint32_t>& key, const std::function<void()>& emit);
    void Release(unsigned list);

    // Distinct geometries held now.
    size_t Size() const { return m_entries.size(); }

private:
    struct SEntry
    {
        std::vector<uint32_t> key;
        unsigned list = 0;
        int users = 0;
    };
    // A scene holds a handful of distinct shapes: a plain search is enough.
    std::vector<SEntry> m_entries;
};
