#include "tools/bench/FrameReport.h"

namespace
{
double Milli(const STimingSummary& t)
{
    return t.median / 1000.0;
}

// Physics and drawing of one frame, microseconds.
double FullFrame(const SBallFrameRow& row)
{
    return row.physics.median + row.frame.median;
}

double KilobytesPerBall(const SBallFrameRow& row, const SBallFrameRow& first)
{
    const int added = row.bodies - first.bodies;
    return added > 0 ? (row.residentBytes - first.residentBytes) / added / 1024.0 : 0.0;
}
} // namespace

void PrintBallFrames(std::FILE* out, const SFrameTableContext& context,
                     const std::vector<std::string>& paths,
                     const std::vector<std::vector<SBallFrameRow>>& rows)
{
    if (context.csv)
    {
        std::fprintf(out, "table,path,bodies,physics_ms,clear_ms");
        for (const char* name : kFramePassNames)
        {
            std::fprintf(out, ",%s_ms", name);
        }
        std::fprintf(out, ",swap_ms,frame_ms,fps,x_first,kb_per_ball\n");
    }
    else
    {
        std::fprintf(out,
                     "Frames of Billiards 1 with thrown balls: median milliseconds per part, "
                     "each part finished before the next; frame: the whole drawing unpaused; "
                     "fps and x first (against the first row) count physics and frame (%s)\n",
                     context.settings.c_str());
    }
    for (size_t p = 0; p < paths.size(); ++p)
    {
        if (rows[p].empty())
        {
            continue;
        }
        const SBallFrameRow& first = rows[p].front();
        if (!context.csv)
        {
            std::fprintf(out, "  %-7s %6s %7s %6s", "path", "bodies", "physics", "clear");
            for (const char* name : kFramePassNames)
            {
                std::fprintf(out, " %7s", name);
            }
            std::fprintf(out, " %6s %7s %6s %7s %8s\n", "swap", "frame", "fps", "x first",
                         "KB/ball");
        }
        for (const SBallFrameRow& row : rows[p])
        {
            const double fps = 1e6 / FullFrame(row);
            const double ratio = FullFrame(row) / FullFrame(first);
            if (context.csv)
            {
                std::fprintf(out, "frames,%s,%d,%.3f,%.3f", paths[p].c_str(), row.bodies,
                             Milli(row.physics), Milli(row.clear));
                for (const STimingSummary& pass : row.passes)
                {
                    std::fprintf(out, ",%.3f", Milli(pass));
                }
                std::fprintf(out, ",%.3f,%.3f,%.1f,%.2f,%.1f\n", Milli(row.swap), Milli(row.frame),
                             fps, ratio, KilobytesPerBall(row, first));
                continue;
            }
            std::fprintf(out, "  %-7s %6d %7.2f %6.2f", paths[p].c_str(), row.bodies,
                         Milli(row.physics), Milli(row.clear));
            for (const STimingSummary& pass : row.passes)
            {
                std::fprintf(out, " %7.2f", Milli(pass));
            }
            std::fprintf(out, " %6.2f %7.2f %6.1f %6.2fx %8.1f\n", Milli(row.swap),
                         Milli(row.frame), fps, ratio, KilobytesPerBall(row, first));
        }
    }
    std::fprintf(out, "\n");
}

void PrintTuningComparison(std::FILE* out, const SFrameTableContext& context, int bodies,
                           const std::vector<std::string>& names,
                           const std::vector<STimingSummary>& frames)
{
    if (frames.empty())
    {
        return;
    }
    if (context.csv)
    {
        std::fprintf(out, "table,bodies,path,median_ms,min_ms,x_reference\n");
    }
    else
    {
        std::fprintf(out,
                     "Drawing changes side by side, %d bodies: median (fastest) milliseconds of "
                     "the whole drawing of a frame, frames drawn in turn (%s)\n",
                     bodies, context.settings.c_str());
    }
    for (size_t i = 0; i < frames.size(); ++i)
    {
        const double ratio = frames[i].median / frames.front().median;
        if (context.csv)
        {
            std::fprintf(out, "changes,%d,%s,%.3f,%.3f,%.3f\n", bodies, names[i].c_str(),
                         Milli(frames[i]), frames[i].minimum / 1000.0, ratio);
        }
        else
        {
            std::fprintf(out, "  %-32s %8.2f (%7.2f)  %5.2fx\n", names[i].c_str(), Milli(frames[i]),
                         frames[i].minimum / 1000.0, ratio);
        }
    }
    std::fprintf(out, "\n");
}
