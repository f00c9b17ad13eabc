#pragma once
// A temporary folder removed with its contents when the test ends.
#include <filesystem>
#include <string>

namespace quillow::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to name inside the folder and returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::string& path);

}  // namespace quillow::testing
