#include "app/MouseGrab.h"

#include <cstdlib>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/ViewRay.h"
#include "world/Grab.h"
#include "world/World.h"

void CMouseGrab::Press(CWorld& world, int x, int y, int width, int height)
{
    m_down = true;
    m_dragging = false;
    m_pressX = x;
    m_pressY = y;
    m_pick.reset();
    if (world.camera == nullptr || width <= 0 || height <= 0)
        return;
    const SRay ray = ViewRay(*world.camera, width, height, x + 0.5, y + 0.5);
    m_pick = PickBody(world, ray);
}

void CMouseGrab::Move(CWorld& world, int x, int y, int width, int height)
{
    if (!m_down || !m_pick || width <= 0 || height <= 0 || world.camera == nullptr)
        return;
    if (!m_dragging)
    {
        if (std::abs(x - m_pressX) < kDragPixels && std::abs(y - m_pressY) < kDragPixels)
            return;
        m_dragging = true;
        // Keys may have removed bodies since the press.
        if (m_pick->index >= world.BodyCount())
        {
            m_pick.reset();
            return;
        }
        SGrab grab;
        grab.body = world.Body(m_pick->index);
        grab.index = m_pick->index;
        grab.localPoint = m_pick->localPoint;
        grab.target = m_pick->point;
        CVector facing = world.camera->eye - world.camera->centre;
        facing.Normalize();
        grab.planeNormal = facing;
        world.grab = grab;
    }
    Aim(world, x, y, width, height);
}

void CMouseGrab::Aim(CWorld& world, int x, int y, int width, int height) const
{
    if (!world.grab)
        return;
    const SRay ray = ViewRay(*world.camera, width, height, x + 0.5, y + 0.5);
    const std::optional<CVector> target =
        RayOnPlane(ray, world.grab->target, world.grab->planeNormal);
    if (target)
        world.grab->target = *target;
}

int CMouseGrab::Release(CWorld& world)
{
    const bool click = m_down && !m_dragging && m_pick.has_value();
    const int index = click ? m_pick->index : -1;
    m_down = false;
    m_dragging = false;
    m_pick.reset();
    world.grab.reset();
    if (click && index < world.BodyCount())
        world.SelectTarget(index);
    return click ? index : -1;
}
