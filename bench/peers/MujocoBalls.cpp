// The ball drop in MuJoCo: the model is written as MJCF in memory and compiled through a
// virtual file, one free joint per ball, planes for the floor and walls, elliptic friction
// cones (the exact Coulomb cone, three constraint rows per contact) and the projected
// Gauss-Seidel solver, stepped with mj_step on the calling thread. PGS is the family of Bullet's
// and ODE's solvers, and here the fastest of MuJoCo's three: at 300 balls Newton took 1.4 and CG
// 2 times as long per step, and Newton keeps nv^2 values of dense scratch space.

#include "BallDrop.h"

#include <mujoco/mjxmacro.h>
#include <mujoco/mujoco.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{

constexpr double kPi = 3.14159265358979323846;

// The contact time constant of MuJoCo's default reference; the bounce comes from the damping
// ratio alone.
constexpr double kTimeConstant = 0.02;

// Contacts the buffers are sized for, per ball, plus a few: a pile of a thousand balls in this
// box touches fewer on average, and more would not fit MuJoCo 2.2's buffers at that size. A run
// that needs more reports it rather than silently losing contacts.
constexpr double kContactsPerBall = 2.5;
constexpr int kSpareContacts = 64;
constexpr int kRowsPerContact = 3; // condim 3 on an elliptic cone

// Damping ratio of a linear spring-damper that rebounds with restitution e.
double DampingRatio(double e)
{
    const double g = std::log(e);
    return -g / std::sqrt(kPi * kPi + g * g);
}

// MuJoCo averages the two geoms' reference parameters and takes the larger friction, so the
// ball carries the ball-ball damping ratio and each plane the remainder of its pair's ratio.
struct SSurface
{
    double dampingRatio;
    double friction;
};

SSurface BallSurface()
{
    return {DampingRatio(kBallBallRestitution), kBallBallFriction};
}

SSurface PlaneSurface(double restitution)
{
    return {2.0 * DampingRatio(restitution) - BallSurface().dampingRatio, kBallPlaneFriction};
}

void WriteSurface(std::ostringstream& xml, const SSurface& surface)
{
    xml << " friction=\"" << surface.friction << " 0.005 0.0001\" solref=\"" << kTimeConstant << ' '
        << surface.dampingRatio << '"';
}

std::string MakeModelXml(const std::vector<SPoint>& start, int contacts, long stack)
{
    std::ostringstream xml;
    xml.precision(9);
    xml << "<mujoco model=\"ball drop\">\n"
        << "  <option timestep=\"" << kStep << "\" gravity=\"0 0 " << -kGravity
        << "\" cone=\"elliptic\" solver=\"PGS\"/>\n"
        << "  <size nconmax=\"" << contacts << "\" njmax=\"" << contacts * kRowsPerContact
        << "\" nstack=\"" << stack << "\"/>\n"
        << "  <worldbody>\n";
    const SSurface floor = PlaneSurface(kBallFloorRestitution);
    const SSurface wall = PlaneSurface(kBallWallRestitution);
    // A plane's normal is its local z axis; it points into the box.
    xml << "    <geom name=\"floor\" type=\"plane\" size=\"0 0 1\" pos=\"0 0 0\"";
    WriteSurface(xml, floor);
    xml << "/>\n";
    const struct
    {
        const char* name;
        double x, y;
        const char* axis;
    } walls[] = {
        {"wall-x", -kBoxHalfX, 0, "1 0 0"},
        {"wall+x", kBoxHalfX, 0, "-1 0 0"},
        {"wall-y", 0, -kBoxHalfY, "0 1 0"},
        {"wall+y", 0, kBoxHalfY, "0 -1 0"},
    };
    for (const auto& w : walls)
    {
        xml << "    <geom name=\"" << w.name << "\" type=\"plane\" size=\"0 0 1\" pos=\"" << w.x
            << ' ' << w.y << " 0\" zaxis=\"" << w.axis << '"';
        WriteSurface(xml, wall);
        xml << "/>\n";
    }
    for (const SPoint& p : start)
    {
        xml << "    <body pos=\"" << p.x << ' ' << p.y << ' ' << p.z
            << "\"><freejoint/><geom type=\"sphere\" size=\"" << kBallRadius << "\" mass=\""
            << kBallMass << '"';
        WriteSurface(xml, BallSurface());
        xml << "/></body>\n";
    }
    xml << "  </worldbody>\n</mujoco>\n";
    return xml.str();
}

// The bytes mj_makeData will ask for: MuJoCo 2.2 sizes its constraint arrays for the worst
// case, njmax rows by nv columns and njmax by njmax, and counts its buffer in an int.
double DataBytes(const mjModel* m)
{
    MJDATA_POINTERS_PREAMBLE(m)
    (void)nv;
    (void)njmax;
    double bytes = 0;
#define X(type, name, nr, nc)                                                                      \
    bytes += 8.0 * std::ceil(static_cast<double>(sizeof(type)) * m->nr * (nc) / 8.0);
    MJDATA_POINTERS
#undef X
    return bytes;
}

void ReportWarning(const char* message)
{
    std::fprintf(stderr, "peer-mujoco: MuJoCo warning: %s\n", message);
}

void ReportError(const char* message)
{
    // MuJoCo cannot go on after an error; leave with a clear message instead of its log file.
    std::fprintf(stderr, "peer-mujoco: MuJoCo error: %s\n", message);
    std::exit(3);
}

class CMujocoBalls final : public CPeerWorld
{
public:
    CMujocoBalls(mjModel* model, mjData* data) : m_model(model), m_data(data) {}

    ~CMujocoBalls() override
    {
        mj_deleteData(m_data);
        mj_deleteModel(m_model);
    }

    CMujocoBalls(const CMujocoBalls&) = delete;
    CMujocoBalls& operator=(const CMujocoBalls&) = delete;

    void Step() override { mj_step(m_model, m_data); }

    void ReadPositions(std::vector<SPoint>& out) const override
    {
        out.clear();
        // Every ball is one free joint: three position and four orientation coordinates.
        for (int j = 0; j < m_model->njnt; ++j)
        {
            const mjtNum* q = m_data->qpos + m_model->jnt_qposadr[j];
            out.push_back({q[0], q[1], q[2]});
        }
    }

    std::string Problem() const override
    {
        std::fprintf(stderr,
                     "peer-mujoco: at most %d contacts and %d constraint rows of %d, "
                     "%d of %d stack values used\n",
                     m_data->maxuse_con, m_data->maxuse_efc, m_model->njmax, m_data->maxuse_stack,
                     m_data->nstack);
        if (m_data->warning[mjWARN_CONTACTFULL].number > 0)
            return "contacts dropped";
        if (m_data->warning[mjWARN_CNSTRFULL].number > 0)
            return "constraints dropped";
        if (m_data->warning[mjWARN_BADQACC].number > 0 ||
            m_data->warning[mjWARN_BADQVEL].number > 0 ||
            m_data->warning[mjWARN_BADQPOS].number > 0)
            return "unstable";
        return {};
    }

private:
    mjModel* m_model;
    mjData* m_data;
};

std::unique_ptr<CPeerWorld> MakeMujocoBalls(const std::vector<SPoint>& start,
                                            const SPeerLimits& limits, std::string& why)
{
    mju_user_warning = ReportWarning;
    mju_user_error = ReportError;

    const int n = static_cast<int>(start.size());
    const int contacts = static_cast<int>(std::ceil(kContactsPerBall * n)) + kSpareContacts;
    // The solver's scratch space: measured at about nv^2 + 4.3 rows^2 values for the rows in use,
    // so this covers every row the buffers allow.
    const double dofs = 6.0 * n;
    const double rows = static_cast<double>(contacts) * kRowsPerContact;
    const long stack = static_cast<long>(dofs * dofs + 5.0 * rows * rows) + 100000;
    if (stack > INT_MAX)
    {
        why = "too big (solver stack past MuJoCo 2.2's int sizes)";
        return nullptr;
    }
    const std::string xml = MakeModelXml(start, contacts, stack);

    const char* fileName = "balls.xml";
    auto vfs = std::make_unique<mjVFS>();
    mj_defaultVFS(vfs.get());
    if (mj_makeEmptyFileVFS(vfs.get(), fileName, static_cast<int>(xml.size())) != 0)
    {
        why = "no room for the model in the virtual file system";
        return nullptr;
    }
    const int file = mj_findFileVFS(vfs.get(), fileName);
    std::memcpy(vfs->filedata[file], xml.data(), xml.size());

    char error[1000] = "";
    mjModel* model = mj_loadXML(fileName, vfs.get(), error, sizeof error);
    mj_deleteVFS(vfs.get());
    if (!model)
    {
        std::fprintf(stderr, "peer-mujoco: the model did not compile: %s\n", error);
        why = "model did not compile";
        return nullptr;
    }

    const double bytes = DataBytes(model) + sizeof(mjtNum) * static_cast<double>(model->nstack);
    const double gib = bytes / (1024.0 * 1024.0 * 1024.0);
    if (DataBytes(model) > INT_MAX || bytes > limits.maxMemoryBytes)
    {
        char text[200];
        std::snprintf(text, sizeof text,
                      "too big (needs %.1f GB of preallocated buffers and stack)", gib);
        std::fprintf(stderr,
                     "peer-mujoco: %d balls need %.1f GB for %d contact rows by %d degrees of "
                     "freedom%s\n",
                     n, gib, model->njmax, model->nv,
                     DataBytes(model) > INT_MAX ? ", past MuJoCo 2.2's 2 GB buffer limit" : "");
        mj_deleteModel(model);
        why = text;
        return nullptr;
    }
    std::fprintf(stderr, "peer-mujoco: MuJoCo %s, %.2f GB of buffers\n", mj_versionString(), gib);

    mjData* data = mj_makeData(model);
    if (!data)
    {
        mj_deleteModel(model);
        why = "out of memory";
        return nullptr;
    }
    return std::make_unique<CMujocoBalls>(model, data);
}

} // namespace

int main(int argc, char** argv)
{
    return RunBallDrop("mujoco", argc, argv, MakeMujocoBalls);
}
