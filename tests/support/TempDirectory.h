#pragma once
// A fresh directory under the system's temporary directory for one test,
// removed with everything in it when the object goes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class CTempDirectory
{
public:
    CTempDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "clatterbox-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr)
        {
            ADD_FAILURE() << "cannot make a temporary directory";
        }
        m_path = pattern;
    }
    ~CTempDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CTempDirectory(const CTempDirectory&) = delete;
    CTempDirectory& operator=(const CTempDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // Writes bytes to name inside the directory and returns the file's path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << "cannot write " << file;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};
