#include "tools/bench/BenchReport.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kStepMicros = 2000.0; // one simulated step of 0.002 s

double RealTimeFactor(double micros)
{
    return micros > 0.0 ? kStepMicros / micros : 0.0;
}

double Fps(double micros)
{
    return micros > 0.0 ? 1e6 / micros : 0.0;
}

const char* const kShadowNames[3] = {"none", "fake", "true"};

// "~" for the first row: the exponent b of t ~ N^b between this N and the last.
std::string Growth(const std::vector<SBallRow>& rows, size_t i)
{
    if (i == 0 || rows[i - 1].timing.micros.median <= 0.0 || rows[i - 1].balls <= 0 ||
        rows[i].balls == rows[i - 1].balls)
    {
        return "~";
    }
    const double b = std::log(rows[i].timing.micros.median / rows[i - 1].timing.micros.median) /
                     std::log(static_cast<double>(rows[i].balls) / rows[i - 1].balls);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", b);
    return text;
}
} // namespace

void PrintScenes(std::FILE* out, const SReportContext& context, const std::vector<SSceneRow>& rows)
{
    if (context.csv)
    {
        std::fprintf(out, "table,scene,name,bodies,median_us_per_step,min_us_per_step,"
                          "realtime_factor_median,realtime_factor_min,contacts_per_step,"
                          "timed_steps,pair_loop\n");
        for (const SSceneRow& row : rows)
        {
            const STimingSummary& t = row.timing.micros;
            std::fprintf(out, "scenes,%d,%s,%d,%.3f,%.3f,%.1f,%.1f,%.2f,%zu,%s\n", row.scene,
                         row.name.c_str(), row.timing.bodies, t.median, t.minimum,
                         RealTimeFactor(t.median), RealTimeFactor(t.minimum),
                         row.timing.contactsPerStep, t.samples,
                         context.allPairs ? "all pairs" : "broad phase");
        }
        std::fprintf(out, "\n");
        return;
    }
    std::fprintf(out, "Scenes: microseconds per CWorld::Step (%s; %s)\n",
                 context.allPairs ? "all pairs" : "broad phase", context.settings.c_str());
    std::fprintf(out, "  #  %-16s %6s %10s %10s %12s %12s %10s\n", "scene", "bodies", "median",
                 "min", "x real time", "(from min)", "contacts");
    for (const SSceneRow& row : rows)
    {
        const STimingSummary& t = row.timing.micros;
        std::fprintf(out, " %2d  %-16s %6d %10.2f %10.2f %11.0fx %11.0fx %10.1f\n", row.scene,
                     row.name.c_str(), row.timing.bodies, t.median, t.minimum,
                     RealTimeFactor(t.median), RealTimeFactor(t.minimum),
                     row.timing.contactsPerStep);
    }
    std::fprintf(out, "\n");
}

void PrintBalls(std::FILE* out, const SReportContext& context, const std::vector<SBallRow>& rows)
{
    if (context.csv)
    {
        std::fprintf(out, "table,balls,bodies,median_us_per_step,min_us_per_step,"
                          "us_per_body_median,growth_exponent,realtime_factor_median,"
                          "contacts_per_step,timed_steps,pair_loop\n");
        for (size_t i = 0; i < rows.size(); ++i)
        {
            const SBallRow& row = rows[i];
            const STimingSummary& t = row.timing.micros;
            const std::string growth = Growth(rows, i);
            std::fprintf(out, "balls,%d,%d,%.3f,%.3f,%.4f,%s,%.2f,%.1f,%zu,%s\n", row.balls,
                         row.timing.bodies, t.median, t.minimum,
                         t.median / std::max(1, row.timing.bodies),
                         growth == "~" ? "" : growth.c_str(), RealTimeFactor(t.median),
                         row.timing.contactsPerStep, t.samples,
                         context.allPairs ? "all pairs" : "broad phase");
        }
        std::fprintf(out, "\n");
        return;
    }
    std::fprintf(out,
                 "Thrown balls on top of scene 0, once landed: microseconds per CWorld::Step "
                 "(%s; %s)\n",
                 context.allPairs ? "all pairs" : "broad phase", context.settings.c_str());
    std::fprintf(out, "  %6s %7s %11s %11s %9s %7s %12s %10s\n", "balls", "bodies", "median", "min",
                 "us/body", "growth", "x real time", "contacts");
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const SBallRow& row = rows[i];
        const STimingSummary& t = row.timing.micros;
        std::fprintf(out, "  %6d %7d %11.1f %11.1f %9.3f %7s %11.2fx %10.0f\n", row.balls,
                     row.timing.bodies, t.median, t.minimum,
                     t.median / std::max(1, row.timing.bodies), Growth(rows, i).c_str(),
                     RealTimeFactor(t.median), row.timing.contactsPerStep);
    }
    std::fprintf(out, "  (growth: b in time ~ N^b from the row above)\n\n");
}

void PrintSearch(std::FILE* out, const SReportContext& context, const std::vector<SSearchRow>& rows)
{
    struct SPhase
    {
        const char* name;
        const SPairSearchTiming SPairSearchTimings::*timing;
    };
    const SPhase phases[2] = {{"in flight", &SPairSearchTimings::flight},
                              {"landed", &SPairSearchTimings::landed}};
    if (context.csv)
    {
        std::fprintf(out, "table,balls,bodies,phase,pairs_per_step,grid_median_us,grid_min_us,"
                          "sweep_median_us,sweep_min_us,kept_median_us,kept_min_us,same_pairs\n");
        for (const SSearchRow& row : rows)
        {
            for (const SPhase& phase : phases)
            {
                const SPairSearchTiming& t = row.timings.*phase.timing;
                std::fprintf(out, "search,%d,%d,%s,%.1f,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%s\n",
                             row.balls, row.timings.bodies, phase.name, t.pairsPerStep,
                             t.grid.median, t.grid.minimum, t.sweep.median, t.sweep.minimum,
                             t.kept.median, t.kept.minimum, t.same ? "yes" : "no");
            }
        }
        std::fprintf(out, "\n");
        return;
    }
    std::fprintf(out,
                 "Pair search over the thrown balls: microseconds per call, median (min); the "
                 "grid searched afresh, a sort-and-sweep along x kept in order from step to step, "
                 "and the grid with its kept pairs as the step calls it (%s)\n",
                 context.settings.c_str());
    std::fprintf(out, "  %6s %-10s %9s %19s %19s %19s %10s\n", "balls", "phase", "pairs",
                 "grid search", "sweep along x", "kept pairs", "same pairs");
    for (const SSearchRow& row : rows)
    {
        for (const SPhase& phase : phases)
        {
            const SPairSearchTiming& t = row.timings.*phase.timing;
            std::fprintf(out,
                         "  %6d %-10s %9.0f %10.1f (%6.1f) %10.1f (%6.1f) %10.1f (%6.1f) %10s\n",
                         row.balls, phase.name, t.pairsPerStep, t.grid.median, t.grid.minimum,
                         t.sweep.median, t.sweep.minimum, t.kept.median, t.kept.minimum,
                         t.same ? "yes" : "NO");
        }
    }
    std::fprintf(out, "\n");
}

void PrintDrawing(std::FILE* out, const SReportContext& context, const std::vector<SDrawRow>& rows)
{
    if (context.csv)
    {
        std::fprintf(out, "table,scene,name,shadow,environment,fps_median,fps_best,"
                          "median_us_per_frame,min_us_per_frame,frames\n");
        for (const SDrawRow& row : rows)
        {
            for (int shadow = 0; shadow < 3; ++shadow)
            {
                for (int env = 0; env < 2; ++env)
                {
                    const STimingSummary& t = row.frameMicros[shadow][env];
                    std::fprintf(out, "draw,%d,%s,%s,%s,%.1f,%.1f,%.1f,%.1f,%zu\n", row.scene,
                                 row.name.c_str(), kShadowNames[shadow], env ? "on" : "off",
                                 Fps(t.median), Fps(t.minimum), t.median, t.minimum, t.samples);
                }
            }
        }
        std::fprintf(out, "\n");
        return;
    }
    std::fprintf(out,
                 "Drawing: frames per second, median frame / fastest frame, by shadow mode and "
                 "environment mapping (%s)\n",
                 context.settings.c_str());
    std::fprintf(out, "  #  %-16s", "scene");
    for (int shadow = 0; shadow < 3; ++shadow)
    {
        for (int env = 0; env < 2; ++env)
        {
            char heading[16];
            std::snprintf(heading, sizeof heading, "%s/%s", kShadowNames[shadow],
                          env ? "env" : "plain");
            std::fprintf(out, " %11s", heading);
        }
    }
    std::fprintf(out, "\n");
    for (const SDrawRow& row : rows)
    {
        std::fprintf(out, " %2d  %-16s", row.scene, row.name.c_str());
        for (int shadow = 0; shadow < 3; ++shadow)
        {
            for (int env = 0; env < 2; ++env)
            {
                const STimingSummary& t = row.frameMicros[shadow][env];
                char cell[24];
                std::snprintf(cell, sizeof cell, "%.0f/%.0f", Fps(t.median), Fps(t.minimum));
                std::fprintf(out, " %11s", cell);
            }
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "\n");
}
