// A temporary folder of a test's own, and reading whole files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// A fresh folder under the system's temporary folder, made with a unique
// name and removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder, as text.
  std::string File(const std::string& name) const;
  // Writes `bytes` to `name` inside the folder; returns its path.
  std::string Put(const std::string& name, const std::string& bytes) const;
  // The bytes of `name` inside the folder ("" when it does not exist).
  std::string Read(const std::string& name) const;
  bool Has(const std::string& name) const;
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path path_;
};

// The program's working folder moved to `folder` for the object's lifetime:
// output files are named after the data file's name alone and written there.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::filesystem::path& folder) : home_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(home_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path home_;
};

// The bytes of a file ("" when it does not exist).
std::string ReadFile(const std::filesystem::path& path);

// A file of tests/data: its path, and its bytes (throws when it is missing).
std::string TestDataPath(const std::string& name);
std::string ReadTestData(const std::string& name);

}  // namespace test_support
