#include "dynamics/ObjectPool.h"

#include <array>
#include <mutex>
#include <new>
#include <vector>

namespace
{

constexpr std::size_t kLine = 64; // bytes
// Objects up to this many lines get pooled slots; larger ones are rare.
constexpr std::size_t kPooledLines = 16;
constexpr std::size_t kBlockBytes = 64 * 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif

struct SFreeSlot
{
    SFreeSlot* next;
};

// One slot size: the slots given back, and the rest of the newest block.
struct SSlotRun
{
    SFreeSlot* free = nullptr;
    char* next = nullptr;
    std::size_t left = 0; // bytes from next to the end of its block
};

// Blocks are never given back: a world that held many bodies will likely
// hold as many again after the next scene, and the slots are reused.
class CObjectPool
{
public:
    void* Allocate(std::size_t lines)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        SSlotRun& run = m_runs[lines - 1];
        if (run.free != nullptr)
        {
            SFreeSlot* const slot = run.free;
            run.free = slot->next;
            return slot;
        }
        const std::size_t bytes = lines * kLine;
        if (run.left < bytes)
        {
            char* const block =
                static_cast<char*>(::operator new (kBlockBytes, std::align_val_t{kLine}));
            m_blocks.push_back(block);
            run.next = block;
            run.left = kBlockBytes;
        }
        void* const slot = run.next;
        run.next += bytes;
        run.left -= bytes;
        return slot;
    }

    void Free(void* object, std::size_t lines) noexcept
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        SSlotRun& run = m_runs[lines - 1];
        SFreeSlot* const slot = static_cast<SFreeSlot*>(object);
        slot->next = run.free;
        run.free = slot;
    }

private:
    std::mutex m_mutex;
    std::array<SSlotRun, kPooledLines> m_runs{};
    // Every block from its start, so that a leak checker sees them all held.
    std::vector<char*> m_blocks;
};

// Never destroyed, so that bodies freed during static destruction still find
// it.
CObjectPool& Pool()
{
    static CObjectPool* const pool = new CObjectPool;
    return *pool;
}

std::size_t LinesOf(std::size_t size)
{
    return size == 0 ? 1 : (size + kLine - 1) / kLine;
}

} // namespace

void* AllocatePhysicsObject(std::size_t size)
{
    const std::size_t lines = LinesOf(size);
    if (!kPooled || lines > kPooledLines)
    {
        return ::operator new (size, std::align_val_t{kLine});
    }
    return Pool().Allocate(lines);
}

void FreePhysicsObject(void* object, std::size_t size) noexcept
{
    if (object == nullptr)
    {
        return;
    }
    const std::size_t lines = LinesOf(size);
    if (!kPooled || lines > kPooledLines)
    {
        ::operator delete (object, std::align_val_t{kLine});
        return;
    }
    Pool().Free(object, lines);
}
