#include "common/units.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace common {

std::optional<std::string> Unit::NextRecord() {
  if (at_end_ || next_ >= records_.size()) {
    at_end_ = true;
    return std::nullopt;
  }
  return records_[next_++];
}

void Unit::Backspace() {
  if (at_end_) return;
  if (next_ > 0) --next_;
}

void Unit::Rewind() {
  next_ = 0;
  at_end_ = false;
}

namespace {

// errno after a failed call, never 0.
int LastErrno() { return errno != 0 ? errno : EIO; }

FileId IdentityOfStat(const struct stat& st) {
  return FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

// The file a note was made for is the file (id, name): the same identity,
// or the same name where either identity is unknown.
bool IsNoteOf(const Units::IncompleteFile& file, const std::optional<FileId>& id, const std::string& name) {
  if (file.id && id) return *file.id == *id;
  return file.name == name;
}

}  // namespace

void Unit::WriteLine(std::string_view text) {
  if (file_ == nullptr || write_error_ != 0) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fputc('\n', file_) == EOF) {
    write_error_ = LastErrno();
  }
}

void Unit::Flush() {
  if (file_ == nullptr || write_error_ != 0) return;
  errno = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) write_error_ = LastErrno();
}

Units::~Units() { CloseAll(); }

bool Units::Open(int unit, const std::string& name, Mode mode) {
  Close(unit);
  auto u = std::make_unique<Unit>();
  u->name_ = name;
  if (mode == Mode::kRead) {
    if (!ReadableFileExists(name)) return false;
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    // The whole file at once, then split: a 150,000-line data file loads in
    // a fraction of what line-by-line reading takes.
    std::string bytes;
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) bytes.append(block, static_cast<std::size_t>(in.gcount()));
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::size_t stop = end;
      if (stop > start && bytes[stop - 1] == '\r') --stop;
      u->records_.emplace_back(bytes, start, stop - start);
      start = end + 1;
    }
    u->id_ = IdentityOf(name);
  } else {
    if (IsProtected(name)) {
      last_error_ = "it is a data file being read";
      return false;
    }
    errno = 0;
    u->file_ = std::fopen(name.c_str(), mode == Mode::kWrite ? "w" : "a");
    if (u->file_ == nullptr) {
      last_error_ = std::strerror(LastErrno());
      return false;
    }
    // Records go to the system in large pieces: the output files are
    // written a few hundred kilobytes at a time, and every flush before a
    // wait still sends all that was written.
    u->buffer_.resize(std::size_t{1} << 16);
    std::setvbuf(u->file_, u->buffer_.data(), _IOFBF, u->buffer_.size());
    struct stat st {};
    if (::fstat(::fileno(u->file_), &st) == 0) u->id_ = IdentityOfStat(st);
    if (u->id_ && std::ranges::none_of(written_, [&](const KnownFile& w) { return w.id == *u->id_; })) {
      written_.push_back({*u->id_, name});
    }
    if (mode == Mode::kWrite) ForgetLeftOut(*u);  // what the file held is gone
  }
  units_[unit] = std::move(u);
  return true;
}

bool Units::Close(int unit) {
  auto it = units_.find(unit);
  if (it == units_.end()) return true;
  Unit& u = *it->second;
  int error = 0;
  if (u.file_ != nullptr) {
    u.Flush();
    error = u.write_error_;
    errno = 0;
    if (std::fclose(u.file_) != 0 && error == 0) error = LastErrno();
  }
  units_.erase(it);
  if (error != 0) last_error_ = std::strerror(error);
  return error == 0;
}

void Units::CloseAll() {
  while (!units_.empty()) Close(units_.begin()->first);
}

void Units::FlushAll() {
  for (auto& [number, unit] : units_) unit->Flush();
}

int Units::FirstFailedUnit() {
  for (auto& [number, unit] : units_) {
    unit->Flush();
    if (unit->write_error_ != 0) {
      last_error_ = std::strerror(unit->write_error_);
      return number;
    }
  }
  return 0;
}

std::optional<FileId> IdentityOf(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

void Units::Protect(const std::string& name) {
  const std::optional<FileId> id = IdentityOf(name);
  if (!id || IsProtected(name)) return;
  protected_.push_back({*id, name});
}

bool Units::IsProtected(const std::string& name) const {
  const std::optional<FileId> id = IdentityOf(name);
  return id && std::ranges::any_of(protected_, [&](const KnownFile& p) { return p.id == *id; });
}

std::string Units::WhyInUse(const std::string& name) const {
  const std::optional<FileId> id = IdentityOf(name);
  if (!id) return {};
  // The file is named as the run knows it when `name` reaches it otherwise.
  auto reason = [&](const std::string& known_as, const char* what) {
    return known_as == name ? std::string("it is ") + what : "it is " + known_as + ", " + what;
  };
  constexpr const char* kReads = "a file this run reads";
  for (const KnownFile& p : protected_) {
    if (p.id == *id) return reason(p.name, kReads);
  }
  for (const auto& [number, unit] : units_) {
    if (unit->id_ == id) return reason(unit->name_, unit->reading() ? kReads : "a file this run is writing");
  }
  for (const KnownFile& w : written_) {
    if (w.id == *id) return reason(w.name, "a file this run wrote");
  }
  return {};
}

void Units::NoteLeftOut(int unit, std::string why) {
  const Unit* u = Get(unit);
  if (u == nullptr || u->reading()) return;
  auto file = std::ranges::find_if(incomplete_, [&](const IncompleteFile& f) { return IsNoteOf(f, u->id_, u->name_); });
  if (file == incomplete_.end()) file = incomplete_.insert(incomplete_.end(), IncompleteFile{u->name_, u->id_, {}});
  file->left_out.push_back(std::move(why));
}

const Units::IncompleteFile* Units::Incomplete(const std::string& name) const {
  const std::optional<FileId> id = IdentityOf(name);
  auto file = std::ranges::find_if(incomplete_, [&](const IncompleteFile& f) { return IsNoteOf(f, id, name); });
  return file == incomplete_.end() ? nullptr : &*file;
}

void Units::ForgetLeftOut(const Unit& u) {
  std::erase_if(incomplete_, [&](const IncompleteFile& f) { return IsNoteOf(f, u.id_, u.name_); });
}

std::vector<int> Units::WritingUnits() const {
  std::vector<int> writing;
  for (const auto& [number, unit] : units_) {
    if (!unit->reading()) writing.push_back(number);
  }
  return writing;
}

bool Units::IsOpen(int unit) const { return units_.count(unit) != 0; }

Unit* Units::Get(int unit) {
  auto it = units_.find(unit);
  return it == units_.end() ? nullptr : it->second.get();
}

void Units::WriteLine(int unit, std::string_view text) {
  if (Unit* u = Get(unit)) u->WriteLine(text);
}

fmt::ReadStatus Units::Read(int unit, std::string_view format, std::span<const fmt::ReadTarget> targets) {
  Unit* u = Get(unit);
  if (u == nullptr || !u->reading()) return fmt::ReadStatus::kEnd;
  return fmt::Read(format, *u, targets);
}

bool ReadableFileExists(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) return false;
  return ::access(name.c_str(), R_OK) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) {
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
  const auto resolved = [](const std::string& name) -> std::optional<std::filesystem::path> {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(name, error);
    if (!error) path = std::filesystem::weakly_canonical(path, error);
    if (error || name.empty()) return std::nullopt;
    return path;
  };
  const std::optional<std::filesystem::path> pa = resolved(a);
  return pa && pa == resolved(b);
}

}  // namespace common
