// The storage the main program owns for the whole run and lends by reference.
//
// Matrices are column-major with one contiguous column per series and are
// indexed from 1, as the routines index them. A matrix has a height, the
// rows in use, which grows on demand up to what the data set needs; a column
// gets its memory when it is first written, and only that height of it. So
// memory grows with the data set, not with the limits: 3000 series of 20
// years take 3000 columns of 20 rows. An untouched cell reads as the
// matrix's fill value.
#pragma once

#include <cassert>
#include <span>
#include <string>
#include <vector>

#include "common/limits.h"

namespace common {

class SeriesMatrix {
 public:
  // A matrix `rows` high (it grows later as needed) of `cols` columns.
  explicit SeriesMatrix(int rows = MAXYRS, int cols = MAXSER, float fill = kMissing);

  // The height in use: every column, allocated or not, holds this many rows.
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  // Cell (row, col), 1-based. `at` gives the column its memory and grows
  // the height to `row` when it is below it; `get` reads a row above the
  // height as the fill value.
  float get(int row, int col) const {
    assert(row >= 1 && col >= 1 && col <= cols_);
    if (row > rows_) return fill_;
    const std::vector<float>& c = columns_[static_cast<std::size_t>(col - 1)];
    return c.empty() ? fill_ : c[static_cast<std::size_t>(row - 1)];
  }
  float& at(int row, int col);
  // Whole column, 1-based col, rows() long; element k-1 is row k. `column`
  // allocates. A span stays valid until the height changes.
  std::span<float> column(int col);
  std::span<const float> column_view(int col) const;
  bool allocated(int col) const;

  // The height becomes at least `rows` (new cells hold the fill value). It
  // grows by half again at least, so a reader growing it row by row copies
  // each column a few times, not once a row.
  void GrowRows(int rows);
  // The height becomes exactly `rows`: rows beyond it are dropped, new rows
  // hold the fill value, and the columns give back what they no longer use.
  void SetRows(int rows);

  // Every cell becomes `value`; columns give their memory back. The height
  // stays.
  void Fill(float value);

  // Memory held by the columns' cells, in values (what the height costs).
  std::size_t CellsHeld() const;

 private:
  void Resize(int rows);

  int rows_;
  int cols_;
  float fill_;
  std::vector<std::vector<float>> columns_;
  std::vector<float> fill_column_;  // what an untouched column reads as, rows() long
};

// The per-series year table: IFY (first year), ILY (last year), NYR (number
// of values), rows 1..MAXSER; row NS+1 holds the whole data set.
class YearTable {
 public:
  YearTable() : ify_(MAXSER + 1, 0), ily_(MAXSER + 1, 0), nyr_(MAXSER + 1, 0) {}
  int& IFY(int i) { return ify_[Check(i)]; }
  int& ILY(int i) { return ily_[Check(i)]; }
  int& NYR(int i) { return nyr_[Check(i)]; }
  int IFY(int i) const { return ify_[Check(i)]; }
  int ILY(int i) const { return ily_[Check(i)]; }
  int NYR(int i) const { return nyr_[Check(i)]; }
  // Years from IFY(i) to ILY(i), both counted.
  int Span(int i) const;
  // Column c (1 IFY, 2 ILY, 3 NYR) of row i, as the routines index IYTAB(i, c).
  int& operator()(int i, int c) { return c == 1 ? IFY(i) : c == 2 ? ILY(i) : NYR(i); }

 private:
  static std::size_t Check(int i);
  std::vector<int> ify_, ily_, nyr_;
};

// A (MAXYRS x k) block of chronology values (STDCHR, RBRV1, RCSVEC, ...).
using Block = SeriesMatrix;

inline constexpr int kIterationColumns = 101;  // RCSVEC: iteration 0 (the standard chronology) to 100

// Everything the drivers own for a run: the data set, the chronologies, and
// the work areas they lend the engine.
struct RunStorage {
  RunStorage();

  // The data set's matrices: as high as the data set (SizeToDataSet), or
  // MAXYRS before any data set was read.
  SeriesMatrix SERMAT;
  SeriesMatrix IDXMAT;
  SeriesMatrix SERWRK;
  YearTable IYTAB;
  int NS = 0;
  std::vector<std::string> SERID;  // 8 characters each, slots 1..MAXSER (index 0 unused)
  std::vector<std::string> TITLE;  // 3 lines of 100 characters (index 0 unused)
  std::vector<int> IPITH;          // pith offset per series slot (index 0 unused)
  std::string DATFIL;              // the data file name, 50 characters

  Block STDCHR, SSFCHR, STBCHR, ORGCHR;  // MAXYRS x 2
  std::vector<int> SSize;                // sample depth per year, 1-based

  // Work areas lent to the engine.
  std::vector<float> SERVEC;  // one series (MAXYRS values, 0-based)
  std::vector<float> CRVVEC;  // one series' curve (MAXYRS values, 0-based)
  std::vector<int> ISTFVC;    // per-year spline stiffness (MAXYRS values, 0-based)
  Block RBRV1;                // MAXYRS x 3: running RBAR chronology block
  Block RBRV2;                // MAXYRS x 7: running RBAR per-window table
  Block RBRV3;                // MAXYRS x 5: running RBAR statistics block
  Block RCSVEC;               // MAXYRS x kIterationColumns: the chronology of every iteration
  std::string OUTNAM;         // 80 characters: output file names are built here
  int ITER = 0;               // iteration counter of the last engine call
};

// Row of calendar year `year` for a series or chronology starting in `first_year`.
inline int RowOfYear(int year, int first_year) { return year - first_year + 1; }
// Calendar year of row `row` of a series or chronology starting in `first_year`.
inline int YearOfRow(int row, int first_year) { return first_year + row - 1; }

// Number of years from `first_year` to `last_year`, both counted.
inline int YearSpan(int first_year, int last_year) { return last_year - first_year + 1; }

inline int YearTable::Span(int i) const { return YearSpan(IFY(i), ILY(i)); }

// Rows a data set of NS series needs in its matrices: the span of the whole
// set (row NS+1 of the year table) and of every series, at most MAXYRS.
int DataSetRows(const YearTable& IYTAB, int NS);

// After a data set has been read: SERMAT, IDXMAT and SERWRK take the height
// the set needs (data set rows), and give back what the reading grew past it.
void SizeToDataSet(RunStorage& store);

}  // namespace common
