// A fresh directory for one test, removed with everything in it afterwards,
// and a scope that makes it the working directory.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tinrise::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tinrise_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return (path / name).string(); }
  std::string dir() const { return path.string(); }
  // Creates a file with the given text.
  std::string touch(const std::string& name, const std::string& text = "") const {
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }

 private:
  std::filesystem::path path;
};

class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& directory) : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
  }
  ~WorkingDirectory() { std::filesystem::current_path(previous); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous;
};

}  // namespace tinrise::test
