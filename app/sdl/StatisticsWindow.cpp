#include "app/sdl/StatisticsWindow.h"

#include <imgui.h>

#include <algorithm>

#include "app/FrameStatistics.h"

namespace
{
// The plot's vertical range starts at this many milliseconds, so that a calm
// scene's small times do not fill it.
constexpr float kPlotFloorMilliseconds = 4.0f;
constexpr float kPlotHeight = 24.0f; // pixels at scale 1

float Highest(const std::array<float, kStatisticsHistory>& values)
{
    return *std::max_element(values.begin(), values.end());
}
} // namespace

void DrawStatisticsWindow(const CFrameStatistics& statistics, const std::string& status, float top)
{
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    const float margin = ImGui::GetStyle().WindowPadding.x;
    ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x + viewport->Size.x - margin, top + margin),
                            ImGuiCond_Always, ImVec2(1.0f, 0.0f));
    ImGui::SetNextWindowBgAlpha(0.55f);
    const ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_AlwaysAutoResize |
        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
        ImGuiWindowFlags_NoNav | ImGuiWindowFlags_NoInputs;
    if (ImGui::Begin("Statistics", nullptr, flags))
    {
        for (const std::string& line : StatisticsLines(statistics))
            ImGui::TextUnformatted(line.c_str());
        const float scale = ImGui::GetFontSize() / 13.0f;
        const float width = ImGui::CalcTextSize("physics 00.00 ms/frame, 0.000 ms/step").x;
        const float range = std::max({kPlotFloorMilliseconds, Highest(statistics.PhysicsHistory()),
                                      Highest(statistics.DrawHistory())});
        ImGui::PushStyleColor(ImGuiCol_PlotLines, ImVec4(0.4f, 0.9f, 1.0f, 1.0f));
        ImGui::PlotLines("##physics", statistics.PhysicsHistory().data(), kStatisticsHistory,
                         statistics.HistoryStart(), "physics, ms", 0.0f, range,
                         ImVec2(width, kPlotHeight * scale));
        ImGui::PopStyleColor();
        ImGui::PushStyleColor(ImGuiCol_PlotLines, ImVec4(1.0f, 0.7f, 0.3f, 1.0f));
        ImGui::PlotLines("##drawing", statistics.DrawHistory().data(), kStatisticsHistory,
                         statistics.HistoryStart(), "drawing, ms", 0.0f, range,
                         ImVec2(width, kPlotHeight * scale));
        ImGui::PopStyleColor();
        if (!status.empty())
            ImGui::TextWrapped("%s", status.c_str());
    }
    ImGui::End();
}
