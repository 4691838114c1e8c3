// Open files known by unit number, as every subsystem names them:
// 8 list file, 9 report, 10 data/spectra, 11 censored data and chronology
// files, 16-19 cumulative chronologies, 30-33 engine files, 70 pith offsets
// and regional curves.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/fortran_format.h"

namespace common {

class Units;

// One open unit. A unit opened for reading holds its records in memory, so
// stepping back and rewinding are exact; one opened for writing streams.
class Unit : public fmt::RecordSource {
 public:
  // The next record without its line end (a trailing carriage return is
  // dropped too); nullopt at end of file, which is then kept.
  std::optional<std::string> NextRecord() override;
  // Steps back one record; after end of file the unit stays at end of file.
  void Backspace();
  void Rewind();
  // Writes one record (a '\n' is added).
  void WriteLine(std::string_view text);
  void Flush();

  bool reading() const { return file_ == nullptr; }
  const std::string& name() const { return name_; }

 private:
  friend class Units;
  std::string name_;
  std::vector<std::string> records_;
  std::size_t next_ = 0;
  bool at_end_ = false;
  std::FILE* file_ = nullptr;
};

class Units {
 public:
  enum class Mode { kRead, kWrite, kAppend };

  Units() = default;
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;
  ~Units();

  // Opens `name` on `unit`, closing whatever the unit had open. kRead needs
  // an existing readable file; kWrite creates or empties; kAppend creates or
  // extends. Returns false when the file cannot be opened.
  bool Open(int unit, const std::string& name, Mode mode);
  void Close(int unit);
  void CloseAll();
  void FlushAll();

  bool IsOpen(int unit) const;
  // The open unit, or nullptr.
  Unit* Get(int unit);

  // Writes one record to `unit` when it is open for writing; otherwise nothing.
  void WriteLine(int unit, std::string_view text);

  // Formatted read of one or more records from an open unit; kEnd also when
  // the unit is not open.
  fmt::ReadStatus Read(int unit, std::string_view format, std::span<const fmt::ReadTarget> targets);

 private:
  std::map<int, std::unique_ptr<Unit>> units_;
};

// True when `name` names an existing, readable regular file.
bool ReadableFileExists(const std::string& name);

}  // namespace common
