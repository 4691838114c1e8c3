#include "common/storage.h"

#include <algorithm>
#include <cassert>

namespace common {

SeriesMatrix::SeriesMatrix(int rows, int cols, float fill)
    : rows_(rows), cols_(cols), fill_(fill), columns_(static_cast<std::size_t>(cols)) {}

float SeriesMatrix::get(int row, int col) const {
  assert(row >= 1 && row <= rows_ && col >= 1 && col <= cols_);
  const std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
  return c.empty() ? fill_ : c[static_cast<std::size_t>(row - 1)];
}

float& SeriesMatrix::at(int row, int col) {
  assert(row >= 1 && row <= rows_);
  return column(col)[static_cast<std::size_t>(row - 1)];
}

std::span<float> SeriesMatrix::column(int col) {
  assert(col >= 1 && col <= cols_);
  std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
  if (c.empty()) c.assign(static_cast<std::size_t>(rows_), fill_);
  return c;
}

std::span<const float> SeriesMatrix::column_view(int col) const {
  assert(col >= 1 && col <= cols_);
  const std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
  if (!c.empty()) return c;
  if (fill_column_.empty()) {
    // The fill column is built on first need; it only ever holds fill_.
    fill_column_.assign(static_cast<std::size_t>(rows_), fill_);
  }
  return fill_column_;
}

bool SeriesMatrix::allocated(int col) const { return !columns_[static_cast<std::size_t>(col - 1)].empty(); }

void SeriesMatrix::Fill(float value) {
  fill_ = value;
  for (std::vector<float>& c : columns_) std::vector<float>().swap(c);
  std::vector<float>().swap(fill_column_);
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

}  // namespace common
