// A fresh folder under $TMPDIR (or /tmp) for one test's files, removed with
// everything in it when the test is done.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` to `name` inside the folder and returns the full path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
    std::string path_;
};
