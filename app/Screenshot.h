#pragma once
// File > Save Screenshot: the 3D area as it is on screen, menu bar left out,
// as a PNG file named after the moment it was taken, in the user's pictures
// folder, written atomically.

#include <ctime>
#include <string>

// $XDG_PICTURES_DIR when set (made when missing), else $HOME/Pictures when it
// exists, else the working directory ("."). The arguments are the variables'
// values, null when unset.
std::string ScreenshotFolder(const char* picturesDir, const char* home);

// folder/clatterbox-YYYYMMDD-HHMMSS.png for the given local time, with -2,
// -3, ... before the extension while the name is taken.
std::string ScreenshotPath(const std::string& folder, const std::tm& local);

// Reads width x height pixels from the bottom left of the current OpenGL
// framebuffer and writes them to a new file in the screenshot folder of the
// environment. True with the file's path, or false with the reason.
bool SaveScreenshot(int width, int height, std::string& path, std::string& reason);
