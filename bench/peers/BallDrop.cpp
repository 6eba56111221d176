#include "BallDrop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numeric>

namespace
{

constexpr double kCell = 7.5;        // grid pitch: 0.5 clear between neighbours before jitter
constexpr double kJitter = 0.2;      // at most this much off the cell centre on each axis
constexpr double kFirstLayerZ = 4.0; // half a unit of air under the lowest balls
constexpr double kClearance = 0.05;  // kept between the outermost balls and the walls

struct SOptions
{
    int n = 100;
    double seconds = 5.0;
    double maxWall = 120.0;
    uint32_t seed = 12345;
    double maxMemoryGb = 4.0;
    bool header = false;
    const char* trace = nullptr; // file for every step's time, or null
};

void PrintUsage(const char* engine)
{
    std::fprintf(stderr,
                 "usage: peer-%s [--n N] [--seconds S] [--max-wall S] [--seed K]\n"
                 "                 [--max-memory-gb G] [--header] [--trace FILE]\n"
                 "  --n N             number of balls (1 to 1000000, default 100)\n"
                 "  --seconds S       simulated seconds (default 5)\n"
                 "  --max-wall S      stop after S seconds of wall time and report \"too slow\"\n"
                 "                    (default 120)\n"
                 "  --seed K          seed of the start grid's jitter (default 12345)\n"
                 "  --max-memory-gb G limit for engines that preallocate contact buffers "
                 "(default 4)\n"
                 "  --header          print the CSV header line first\n"
                 "  --trace FILE      write every step's time (step,us) to FILE\n",
                 engine);
}

bool ParseDouble(const char* text, double low, double high, double& out)
{
    // Decimal only: strtod would also take hexadecimal ("0x1p4").
    if (std::strpbrk(text, "xX") != nullptr)
        return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low ||
        value > high)
        return false;
    out = value;
    return true;
}

bool ParseLong(const char* text, long low, long high, long& out)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < low || value > high)
        return false;
    out = value;
    return true;
}

// Returns false after printing what is wrong.
bool ParseOptions(const char* engine, int argc, char** argv, SOptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* name = argv[i];
        if (std::strcmp(name, "--header") == 0)
        {
            options.header = true;
            continue;
        }
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0)
        {
            PrintUsage(engine);
            return false;
        }
        const char* const valued[] = {"--n",    "--seconds",       "--max-wall",
                                      "--seed", "--max-memory-gb", "--trace"};
        if (std::none_of(std::begin(valued), std::end(valued),
                         [name](const char* known) { return std::strcmp(known, name) == 0; }))
        {
            std::fprintf(stderr, "peer-%s: unknown option %s\n", engine, name);
            PrintUsage(engine);
            return false;
        }
        if (i + 1 >= argc)
        {
            std::fprintf(stderr, "peer-%s: %s needs a value\n", engine, name);
            PrintUsage(engine);
            return false;
        }
        const char* value = argv[++i];
        bool good = false;
        long whole = 0;
        if (std::strcmp(name, "--n") == 0)
        {
            good = ParseLong(value, 1, 1000000, whole);
            options.n = static_cast<int>(whole);
        }
        else if (std::strcmp(name, "--seconds") == 0)
            good = ParseDouble(value, kStep, 3600.0, options.seconds);
        else if (std::strcmp(name, "--max-wall") == 0)
            good = ParseDouble(value, 0.001, 1e6, options.maxWall);
        else if (std::strcmp(name, "--seed") == 0)
        {
            good = ParseLong(value, 0, 4294967295L, whole);
            options.seed = static_cast<uint32_t>(whole);
        }
        else if (std::strcmp(name, "--max-memory-gb") == 0)
            good = ParseDouble(value, 0.001, 1e4, options.maxMemoryGb);
        else if (std::strcmp(name, "--trace") == 0)
        {
            options.trace = value;
            good = *value != '\0';
        }
        else
        {
            std::fprintf(stderr, "peer-%s: unknown option %s\n", engine, name);
            PrintUsage(engine);
            return false;
        }
        if (!good)
        {
            std::fprintf(stderr, "peer-%s: bad value \"%s\" for %s\n", engine, value, name);
            return false;
        }
    }
    return true;
}

void PrintHeader()
{
    std::printf("engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies,"
                "mean_us_per_step,status\n");
}

} // namespace

std::vector<SPoint> MakeBallGrid(int n, uint32_t seed)
{
    const double reachX = kBoxHalfX - kBallRadius - kJitter - kClearance;
    const double reachY = kBoxHalfY - kBallRadius - kJitter - kClearance;
    const int columns = static_cast<int>(std::floor(2.0 * reachX / kCell)) + 1;
    const int rows = static_cast<int>(std::floor(2.0 * reachY / kCell)) + 1;
    const int cells = columns * rows;

    // A stride coprime with the cell count visits every cell of a layer exactly once.
    int stride = cells / 3 + 1;
    while (std::gcd(stride, cells) != 1)
        ++stride;

    CLcg lcg(seed);
    std::vector<SPoint> points;
    points.reserve(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
    {
        const int layer = k / cells;
        const int cell = static_cast<int>((static_cast<long long>(k % cells) * stride) % cells);
        SPoint p;
        p.x = (cell % columns - 0.5 * (columns - 1)) * kCell + kJitter * lcg.Signed();
        p.y = (cell / columns - 0.5 * (rows - 1)) * kCell + kJitter * lcg.Signed();
        p.z = kFirstLayerZ + layer * kCell + kJitter * lcg.Signed();
        points.push_back(p);
    }
    return points;
}

int CountEscaped(const std::vector<SPoint>& start, const std::vector<SPoint>& now)
{
    double top = 0;
    for (const SPoint& p : start)
        top = std::max(top, p.z);
    const double ceiling = top + 4.0 * kBallRadius;

    int escaped = 0;
    for (const SPoint& p : now)
    {
        const bool finite = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
        if (!finite || std::fabs(p.x) > kBoxHalfX || std::fabs(p.y) > kBoxHalfY || p.z < 0.0 ||
            p.z > ceiling)
            ++escaped;
    }
    // A world that lost bodies has let them all escape.
    if (now.size() < start.size())
        escaped += static_cast<int>(start.size() - now.size());
    return escaped;
}

int RunBallDrop(const char* engine, int argc, char** argv, const PeerFactory& factory)
{
    SOptions options;
    if (!ParseOptions(engine, argc, argv, options))
        return 2;
    if (options.header)
        PrintHeader();

    using Clock = std::chrono::steady_clock;
    const std::vector<SPoint> start = MakeBallGrid(options.n, options.seed);
    SPeerLimits limits;
    limits.maxMemoryBytes = options.maxMemoryGb * 1024.0 * 1024.0 * 1024.0;

    const Clock::time_point buildStart = Clock::now();
    std::string why;
    std::unique_ptr<CPeerWorld> world = factory(start, limits, why);
    const double buildSeconds = std::chrono::duration<double>(Clock::now() - buildStart).count();
    if (!world)
    {
        std::fprintf(stderr, "peer-%s: N=%d not run: %s\n", engine, options.n, why.c_str());
        std::printf("%s,%d,0,,,,,%s\n", engine, options.n, why.c_str());
        std::fflush(stdout);
        return 0;
    }

    const long steps = std::lround(options.seconds / kStep);
    const long settleSteps = std::lround(kSettleSeconds / kStep);
    std::vector<double> stepMicros;
    stepMicros.reserve(static_cast<size_t>(steps));
    bool tooSlow = false;
    const Clock::time_point runStart = Clock::now();
    const std::clock_t cpuStart = std::clock();
    for (long s = 0; s < steps; ++s)
    {
        const Clock::time_point before = Clock::now();
        world->Step();
        const Clock::time_point after = Clock::now();
        stepMicros.push_back(std::chrono::duration<double, std::micro>(after - before).count());
        if (std::chrono::duration<double>(after - runStart).count() > options.maxWall &&
            s + 1 < steps)
        {
            tooSlow = true;
            break;
        }
    }

    // Compared with the summed step times, this shows how much other processes took the core.
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    if (options.trace)
    {
        FILE* file = std::fopen(options.trace, "w");
        if (!file)
            std::fprintf(stderr, "peer-%s: cannot write the trace to %s: %s\n", engine,
                         options.trace, std::strerror(errno));
        else
        {
            std::fprintf(file, "step,us\n");
            for (size_t s = 0; s < stepMicros.size(); ++s)
                std::fprintf(file, "%zu,%.1f\n", s, stepMicros[s]);
            std::fclose(file);
        }
    }

    std::vector<SPoint> end;
    world->ReadPositions(end);
    const int escaped = CountEscaped(start, end);
    const std::string problem = world->Problem();

    const double total = std::accumulate(stepMicros.begin(), stepMicros.end(), 0.0);
    const double mean = total / static_cast<double>(stepMicros.size());
    // The landing is left out of the median and minimum unless the run never got past it.
    std::vector<double> settled(
        stepMicros.begin() + (static_cast<long>(stepMicros.size()) > settleSteps ? settleSteps : 0),
        stepMicros.end());
    std::nth_element(settled.begin(), settled.begin() + settled.size() / 2, settled.end());
    double median = settled[settled.size() / 2];
    if (settled.size() % 2 == 0)
        median = 0.5 * (median +
                        *std::max_element(settled.begin(), settled.begin() + settled.size() / 2));
    const double minimum = *std::min_element(settled.begin(), settled.end());

    std::string status = "ok";
    if (!problem.empty())
        status = problem;
    else if (escaped > 0)
        status = "unstable";
    else if (tooSlow)
        status = "too slow";

    std::fprintf(stderr,
                 "peer-%s: N=%d built in %.2f s, %zu steps in %.2f s of stepping (%.2f s of CPU), "
                 "%d escaped, %s\n",
                 engine, options.n, buildSeconds, stepMicros.size(), total * 1e-6, cpuSeconds,
                 escaped, status.c_str());
    std::printf("%s,%d,%zu,%.1f,%.1f,%d,%.1f,%s\n", engine, options.n, stepMicros.size(), median,
                minimum, escaped, mean, status.c_str());
    std::fflush(stdout);
    world.reset();
    return 0;
}
