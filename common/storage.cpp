#include "common/storage.h"

#include <algorithm>
#include <cassert>

namespace common {

SeriesMatrix::SeriesMatrix(int rows, int cols, float fill)
    : rows_(std::max(rows, 0)),
      cols_(cols),
      fill_(fill),
      columns_(static_cast<std::size_t>(cols)),
      fill_column_(static_cast<std::size_t>(rows_), fill) {}

float& SeriesMatrix::at(int row, int col) {
  assert(row >= 1);
  if (row > rows_) GrowRows(row);
  return column(col)[static_cast<std::size_t>(row - 1)];
}

std::span<float> SeriesMatrix::column(int col) {
  assert(col >= 1 && col <= cols_);
  std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
  if (c.empty() && rows_ > 0) c.assign(static_cast<std::size_t>(rows_), fill_);
  return c;
}

std::span<const float> SeriesMatrix::column_view(int col) const {
  assert(col >= 1 && col <= cols_);
  const std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
  // The fill column is kept at the height, so views from several threads
  // never build it.
  return c.empty() ? std::span<const float>(fill_column_) : std::span<const float>(c);
}

bool SeriesMatrix::allocated(int col) const {
  assert(col >= 1 && col <= cols_);
  return !columns_[static_cast<std::size_t>(col - 1)].empty();
}

void SeriesMatrix::GrowRows(int rows) {
  if (rows <= rows_) return;
  Resize(std::max(rows, rows_ + rows_ / 2));
}

void SeriesMatrix::SetRows(int rows) {
  rows = std::max(rows, 0);
  if (rows == rows_) return;
  Resize(rows);
  for (std::vector<float>& c : columns_) c.shrink_to_fit();
  fill_column_.shrink_to_fit();
}

void SeriesMatrix::Resize(int rows) {
  rows_ = rows;
  const std::size_t n = static_cast<std::size_t>(rows);
  for (std::vector<float>& c : columns_) {
    if (c.empty()) continue;
    if (n <= c.size()) {
      c.resize(n);
      if (n == 0) std::vector<float>().swap(c);
      continue;
    }
    // A column grows to exactly the new height: no spare capacity past it,
    // so the address sanitizer sees a write past the height.
    std::vector<float> grown(n, fill_);
    std::copy(c.begin(), c.end(), grown.begin());
    c.swap(grown);
  }
  fill_column_.assign(n, fill_);
}

void SeriesMatrix::Fill(float value) {
  fill_ = value;
  for (std::vector<float>& c : columns_) std::vector<float>().swap(c);
  fill_column_.assign(static_cast<std::size_t>(rows_), fill_);
}

std::size_t SeriesMatrix::CellsHeld() const {
  std::size_t n = 0;
  for (const std::vector<float>& c : columns_) n += c.capacity();
  return n;
}

std::size_t YearTable::Check(int i) {
  assert(i >= 1 && i <= MAXSER);
  return static_cast<std::size_t>(i);
}

RunStorage::RunStorage()
    : SERID(MAXSER + 1, std::string(8, ' ')),
      TITLE(4, std::string(100, ' ')),
      IPITH(MAXSER + 1, 0),
      DATFIL(50, ' '),
      STDCHR(MAXYRS, 2),
      SSFCHR(MAXYRS, 2),
      STBCHR(MAXYRS, 2),
      ORGCHR(MAXYRS, 2),
      SSize(MAXYRS + 1, 0),
      SERVEC(MAXYRS, 0.0f),
      CRVVEC(MAXYRS, 0.0f),
      ISTFVC(MAXYRS, 0),
      RBRV1(MAXYRS, 3),
      RBRV2(MAXYRS, 7),
      RBRV3(MAXYRS, 5),
      RCSVEC(MAXYRS, kIterationColumns),
      OUTNAM(80, ' ') {}

int DataSetRows(const YearTable& IYTAB, int NS) {
  int rows = NS >= 1 ? IYTAB.Span(NS + 1) : 0;
  for (int i = 1; i <= NS; ++i) rows = std::max(rows, IYTAB.Span(i));
  return std::clamp(rows, 0, MAXYRS);
}

void SizeToDataSet(RunStorage& store) {
  const int rows = DataSetRows(store.IYTAB, store.NS);
  for (SeriesMatrix* m : {&store.SERMAT, &store.IDXMAT, &store.SERWRK}) m->SetRows(rows);
}

}  // namespace common
