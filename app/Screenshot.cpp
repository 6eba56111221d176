#include "app/Screenshot.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "render/PngWriter.h"

namespace fs = std::filesystem;

std::string ScreenshotFolder(const char* picturesDir, const char* home)
{
    if (picturesDir != nullptr && *picturesDir != '\0')
        return picturesDir;
    if (home != nullptr && *home != '\0')
    {
        const fs::path pictures = fs::path(home) / "Pictures";
        std::error_code error;
        if (fs::is_directory(pictures, error))
            return pictures.string();
    }
    return ".";
}

std::string ScreenshotPath(const std::string& folder, const std::tm& local)
{
    char stem[32];
    std::strftime(stem, sizeof stem, "clatterbox-%Y%m%d-%H%M%S", &local);
    const fs::path base = fs::path(folder) / stem;
    std::string path = base.string() + ".png";
    std::error_code error;
    // A broken link or any other entry counts as taken: nothing is replaced.
    for (int suffix = 2; fs::exists(fs::symlink_status(path, error)); ++suffix)
        path = base.string() + "-" + std::to_string(suffix) + ".png";
    return path;
}

bool SaveScreenshot(int width, int height, std::string& path, std::string& reason)
{
    if (width <= 0 || height <= 0)
    {
        reason = "the view has no area";
        return false;
    }
    const std::string folder =
        ScreenshotFolder(std::getenv("XDG_PICTURES_DIR"), std::getenv("HOME"));
    std::error_code error;
    if (!fs::is_directory(folder, error))
    {
        fs::create_directories(folder, error);
        if (error)
        {
            reason = folder + ": " + error.message();
            return false;
        }
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    path = ScreenshotPath(folder, local);
    if (!WritePng(path, width, height, rgba.data(), reason))
    {
        reason = path + ": " + reason;
        return false;
    }
    return true;
}
