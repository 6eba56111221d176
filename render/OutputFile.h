#pragma once
// Every file the program and its tools write (pictures, textures, tables,
// and later screenshots and recordings) goes through here: the bytes go to a
// temporary file beside the target, which replaces the target only once it
// is complete and on disk. A failed write leaves the old file as it was and
// no temporary file behind; a target that exists and is not a regular file
// (a folder, a named pipe, a device) is refused before anything is opened, so
// no write can block.

#include <cstddef>
#include <cstdio>
#include <string>

class COutputFile
{
public:
    COutputFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // Creates the temporary file for path. False with the system's reason
    // ("Not a regular file", "Is a directory", "Permission denied", ...).
    bool Open(const std::string& path, std::string& reason);

    // Where the contents are written; valid from a successful Open until
    // Commit or destruction.
    std::FILE* Stream() const { return m_stream; }

    // Flushes, syncs and closes the temporary file and renames it over the
    // target. False with the reason of the first failure (an earlier failed
    // write to Stream included); the target is then untouched and the
    // temporary file removed.
    bool Commit(std::string& reason);

private:
    void Discard();

    std::FILE* m_stream = nullptr;
    std::string m_target;    // the file that is replaced, links resolved
    std::string m_temporary; // beside it, in the same folder
};

// The whole file in one call: Open, one write, Commit.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string& reason);
