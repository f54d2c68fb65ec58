#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace oskel::bench {

// A fresh folder under the system's temporary one, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "oskel3-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
};

} // namespace oskel::bench
