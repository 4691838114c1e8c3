// Open files known by unit number, as every subsystem names them (UnitNumber).
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fortran_format.h"

namespace common {

// The numbers by which every subsystem knows the open files. Plain enumerators,
// so they pass wherever a routine takes a unit number (LUN).
enum UnitNumber : int {
  kListUnit = 8,        // the batch program's list file, open for the whole run
  kReportUnit = 9,      // the report file of the current data set
  kDataUnit = 10,       // the data file while it is read, later the spectra file
  kCensoredUnit = 11,   // the censored data file, later the two chronology files in turn
  kStdCrnsUnit = 16,    // the batch program's cumulative chronology files, open for
  kSsfCrnsUnit = 17,    // the whole run: "STD_Crns.txt", "SSF_Crns.txt",
  kStdStbCrnsUnit = 18, // "STDSTB_Crns.txt" and "SSFSTB_Crns.txt"
  kSsfStbCrnsUnit = 19,
  kSeriesUnit = 30,     // the engine's series, curve and index files
  kCurveUnit = 31,
  kIndexUnit = 32,
  kRbarUnit = 33,       // the engine's running RBAR tables
  kPithUnit = 70,       // the pith offset file, later the regional curves file
};

class Units;

// A file's identity (device and inode): two names reach the same file when
// their identities are equal.
struct FileId {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileId&) const = default;
};
// The identity of the file `name` names, or nothing when it names none.
std::optional<FileId> IdentityOf(const std::string& name);

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
  // Writes one record (a '\n' is added). The first failed write is kept
  // (write_error()); the records after it are not written.
  void WriteLine(std::string_view text);
  // Flushes a unit open for writing; a failure is kept as a write error.
  void Flush();

  bool reading() const { return file_ == nullptr; }
  const std::string& name() const { return name_; }
  // The errno of the first failed write or flush, 0 while all went well.
  int write_error() const { return write_error_; }

 private:
  friend class Units;
  std::string name_;
  std::vector<std::string> records_;
  std::size_t next_ = 0;
  bool at_end_ = false;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;  // file_'s buffer, kept until file_ is closed
  int write_error_ = 0;
  // The file itself (device and inode), whatever path reached it; unset
  // when it could not be told.
  std::optional<FileId> id_;
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
  // extends, and both refuse a protected file. Returns false when the file
  // cannot be opened; last_error() then says why.
  bool Open(int unit, const std::string& name, Mode mode);
  // Closes `unit`. False when a unit open for writing lost a record: a
  // write, the flush or the close failed (last_error() says why). A unit
  // not open closes cleanly.
  bool Close(int unit);
  void CloseAll();
  void FlushAll();
  // Flushes every unit open for writing; the number of the first that has
  // lost a record, or 0.
  int FirstFailedUnit();

  // Keeps `name` (the file itself, whatever path reaches it) from ever being
  // opened for writing: the data files being read. A name that names no
  // file protects nothing.
  void Protect(const std::string& name);
  bool IsProtected(const std::string& name) const;

  // Why nothing may be written over `name` past the units (a plot page):
  // the file it names, whatever path reaches it, is a protected file, the
  // file of an open unit, or one a unit has written this run (an earlier
  // data set's report in the batch program). The reason names that file
  // when `name` is another path to it ("it is site.rwl, a file this run
  // reads"); empty when none, also when `name` names no file yet.
  std::string WhyInUse(const std::string& name) const;

  // What the output files lack. A writer that leaves a series or a value
  // out of the file open for writing on `unit`, because the file's layout
  // cannot hold it, notes why (one line of text, naming what was left out).
  // The note belongs to the file, not the unit: it stays after the unit is
  // closed, and is forgotten only when the file is opened anew for writing
  // (under any name that reaches it), since its earlier content is then gone.
  void NoteLeftOut(int unit, std::string why);
  struct IncompleteFile {
    std::string name;  // as it was opened
    std::optional<FileId> id;
    std::vector<std::string> left_out;  // the notes, in the order made
  };
  // The files that are incomplete as they now stand, in the order of their
  // first note.
  const std::vector<IncompleteFile>& IncompleteFiles() const { return incomplete_; }
  // The record of the file `name` reaches, or nullptr when it lacks nothing.
  const IncompleteFile* Incomplete(const std::string& name) const;

  // Why the last Open or Close failed.
  const std::string& last_error() const { return last_error_; }

  bool IsOpen(int unit) const;
  // The units open for writing, in order of their numbers.
  std::vector<int> WritingUnits() const;
  // The open unit, or nullptr.
  Unit* Get(int unit);

  // Writes one record to `unit` when it is open for writing; otherwise nothing.
  void WriteLine(int unit, std::string_view text);

  // Formatted read of one or more records from an open unit; kEnd also when
  // the unit is not open.
  fmt::ReadStatus Read(int unit, std::string_view format, std::span<const fmt::ReadTarget> targets);

 private:
  // Forgets the notes of the file now open for writing on `u`.
  void ForgetLeftOut(const Unit& u);

  std::map<int, std::unique_ptr<Unit>> units_;
  struct KnownFile {
    FileId id;
    std::string name;  // as it was given
  };
  std::vector<KnownFile> protected_;
  std::vector<KnownFile> written_;  // every file opened for writing, once
  std::vector<IncompleteFile> incomplete_;
  std::string last_error_;
};

// True when `name` names an existing, readable regular file.
bool ReadableFileExists(const std::string& name);

// True when the two names reach one file: the same device and inode when
// both exist (whatever links or dots lead there); when either names no file
// yet, the same path once made absolute, with its links resolved and its
// dots removed.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace common
