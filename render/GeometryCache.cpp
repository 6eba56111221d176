#include "render/GeometryCache.h"

#include <GL/gl.h>

CGeometryCache::~CGeometryCache()
{
    for (const SEntry& entry : m_entries)
    {
        glDeleteLists(entry.list, 1);
    }
}

unsigned CGeometryCache::Acquire(const std::vector<uint32_t>& key,
                                 const std::function<void()>& emit)
{
    for (SEntry& entry : m_entries)
    {
        if (entry.key == key)
        {
            ++entry.users;
            return entry.list;
        }
    }
    SEntry entry;
    entry.key = key;
    entry.list = glGenLists(1);
    entry.users = 1;
    glNewList(entry.list, GL_COMPILE);
    emit();
    glEndList();
    m_entries.push_back(std::move(entry));
    return m_entries.back().list;
}

void CGeometryCache::Release(unsigned list)
{
    for (size_t i = 0; i < m_entries.size(); ++i)
    {
        if (m_entries[i].list == list)
        {
            if (--m_entries[i].users == 0)
            {
                glDeleteLists(list, 1);
                m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
            }
            return;
        }
    }
}
