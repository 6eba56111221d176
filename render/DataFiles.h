#pragma once
// Where a data file of the demo (a texture) is read from: the working
// directory first, as always, so that a user's own file there wins; only when
// no entry of that name is there, the folder installed beside the program
// (`<program folder>/../share/clatterbox`), so that an installed demo started
// from any folder still finds its textures.

#include <string>

// The path to open for `name`: `name` itself when the working directory has
// an entry of that name (even one that cannot be read, so that its error is
// reported as before) or when no installed copy exists; else the installed
// copy's path.
std::string FindDataFile(const std::string& name);

// The same rule for a program at `programPath`, so that it can be checked
// without installing anything.
std::string FindDataFile(const std::string& name, const std::string& programPath);

// The folder of installed data files for a program at `programPath` (empty
// when the path has no folder).
std::string InstalledDataFolder(const std::string& programPath);
