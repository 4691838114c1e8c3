#include "detrend/spline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace detrend {

SplineWorkspace::SplineWorkspace()
    : band_(3 * static_cast<std::size_t>(mxy)),
      rhs_(mxy),
      p_(mxy),
      factored_(mxy),
      pivot_(mxy),
      parameter_(static_cast<std::size_t>(mxy) + 1, -1.0) {}

double SplineParameter(int stiffness) {
  // A stiffness below 1 counts as 1 (p = 0, the least-squares line).
  const double s = static_cast<double>(std::max(stiffness, 1));
  const double w = 2.0 * std::numbers::pi / s;
  const double c = std::cos(w);
  return 6.0 * (c - 1.0) * (c - 1.0) / (c + 2.0);
}

// The band solve shared by the three routines, once p(1..m) is in place.
class SplineSolver {
 public:
  // Checks the length; on kOk the caller fills p(1..n-2) and calls Solve.
  static SplineStatus CheckLength(std::span<const float> y, std::span<float> curv) {
    const std::size_t n = y.size();
    if (n > static_cast<std::size_t>(mxy)) return SplineStatus::kTooLong;
    if (n < 4) {
      if (!curv.empty()) curv[0] = static_cast<float>(common::kSplineTooShort);
      return SplineStatus::kTooShort;
    }
    return SplineStatus::kOk;
  }

  static double* P(SplineWorkspace& work) { return work.p_.data(); }

  // SplineParameter(stiffness), computed once per workspace for 1..mxy
  // (p is never negative, so -1 marks a value not yet computed).
  static double Parameter(SplineWorkspace& work, int stiffness) {
    const int s = std::max(stiffness, 1);
    if (s > mxy) return SplineParameter(s);
    double& p = work.parameter_[static_cast<std::size_t>(s)];
    if (p < 0.0) p = SplineParameter(s);
    return p;
  }

  // Reinsch system (Q'Q + 2 p R) u = Q'y with unit spacing, row i holding
  // 1, p/3 - 4, 4p/3 + 6 left of and on the diagonal; curv = y - Q u.
  static SplineStatus Solve(std::span<const float> y, std::span<float> curv, SplineWorkspace& work) {
    const int n = static_cast<int>(y.size());
    const int m = n - 2;
    double* band = work.band_.data();
    double* u = work.rhs_.data();
    const double* p = work.p_.data();
    const double eps = 1.0 / (16.0 * m);

    // Decomposition row by row: band(i,0) and band(i,1) the factors left of
    // the diagonal, band(i,2) the reciprocal of the factor's diagonal. The
    // leading rows whose parameters are those the workspace last decomposed
    // are kept; only their positive-definiteness test, which depends on m,
    // is made again.
    double* factored = work.factored_.data();
    double* pivot = work.pivot_.data();
    int kept = 0;
    const int reusable = std::min(work.factored_rows_, m);
    while (kept < reusable && factored[kept] == p[kept]) ++kept;
    work.factored_rows_ = kept;
    for (int i = 0; i < m; ++i) {
      const double a0 = 4.0 * p[i] / 3.0 + 6.0;
      if (i < kept) {
        if (a0 + eps * pivot[i] <= a0) {
          curv[0] = common::kSplineNotPd;
          return SplineStatus::kNotPositiveDefinite;
        }
        continue;
      }
      double* row = band + 3 * i;
      const double a2 = i >= 2 ? 1.0 : 0.0;
      const double a1 = i >= 1 ? p[i] / 3.0 - 4.0 : 0.0;
      const double l2 = i >= 2 ? a2 * band[3 * (i - 2) + 2] : 0.0;
      const double l1 = i >= 1 ? (a1 - l2 * band[3 * (i - 1) + 1]) * band[3 * (i - 1) + 2] : 0.0;
      const double x = a0 - l2 * l2 - l1 * l1;
      if (a0 + eps * x <= a0) {
        curv[0] = common::kSplineNotPd;
        return SplineStatus::kNotPositiveDefinite;
      }
      row[0] = l2;
      row[1] = l1;
      row[2] = 1.0 / std::sqrt(x);
      factored[i] = p[i];
      pivot[i] = x;
      work.factored_rows_ = i + 1;
    }

    // Right-hand side: second differences of y.
    for (int i = 0; i < m; ++i) {
      u[i] = static_cast<double>(y[i]) - 2.0 * static_cast<double>(y[i + 1]) + static_cast<double>(y[i + 2]);
    }
    // Forward substitution, passing over leading zeros.
    int first = 0;
    while (first < m && u[first] == 0.0) ++first;
    for (int i = first; i < m; ++i) {
      const double* row = band + 3 * i;
      double t = u[i];
      if (i >= 1) t -= row[1] * u[i - 1];
      if (i >= 2) t -= row[0] * u[i - 2];
      u[i] = t * row[2];
    }
    // Back substitution.
    for (int i = m - 1; i >= 0; --i) {
      double t = u[i];
      if (i + 1 < m) t -= band[3 * (i + 1) + 1] * u[i + 1];
      if (i + 2 < m) t -= band[3 * (i + 2) + 0] * u[i + 2];
      u[i] = t * band[3 * i + 2];
    }

    // curv(i) = y(i) - (u(i-2) - 2 u(i-1) + u(i)), u zero outside 1..m.
    for (int i = 0; i < n; ++i) {
      const double um2 = (i - 2 >= 0 && i - 2 < m) ? u[i - 2] : 0.0;
      const double um1 = (i - 1 >= 0 && i - 1 < m) ? u[i - 1] : 0.0;
      const double u0 = i < m ? u[i] : 0.0;
      const double c = um2 - 2.0 * um1 + u0;
      curv[i] = static_cast<float>(static_cast<double>(y[i]) - c);
    }
    return SplineStatus::kOk;
  }
};

SplinpResult splinp(std::span<const float> y, std::span<float> curv, int stiffness, SplineWorkspace& work) {
  const SplineStatus length = SplineSolver::CheckLength(y, curv);
  if (length != SplineStatus::kOk) return {length, 0.0f};
  const int m = static_cast<int>(y.size()) - 2;
  const double p = SplineSolver::Parameter(work, stiffness);
  double* row_p = SplineSolver::P(work);
  std::fill(row_p, row_p + m, p);
  return {SplineSolver::Solve(y, curv, work), static_cast<float>(p)};
}

SplineResult spline(std::span<const float> y, std::span<float> curv, int code, SplineWorkspace& work) {
  const SplineStatus length = SplineSolver::CheckLength(y, curv);
  if (length != SplineStatus::kOk) return {length};
  const int n = static_cast<int>(y.size());
  const int m = n - 2;
  double* row_p = SplineSolver::P(work);
  if (code == kSplineGrowingStiffness) {
    for (int i = 1; i <= m; ++i) row_p[i - 1] = SplineSolver::Parameter(work, std::min(i + 8, n));
  } else {
    std::fill(row_p, row_p + m, SplineSolver::Parameter(work, code == kSpline20Years ? 20 : code));
  }
  return {SplineSolver::Solve(y, curv, work)};
}

SplineResult splage(std::span<const float> y, std::span<float> curv, std::span<const int> stiffness,
                    SplineWorkspace& work) {
  const SplineStatus length = SplineSolver::CheckLength(y, curv);
  if (length != SplineStatus::kOk) return {length};
  const int m = static_cast<int>(y.size()) - 2;
  double* row_p = SplineSolver::P(work);
  // Runs of equal stiffness share one cosine.
  int last = 0;
  double last_p = 0.0;
  for (int i = 0; i < m; ++i) {
    if (i == 0 || stiffness[i] != last) {
      last = stiffness[i];
      last_p = SplineSolver::Parameter(work, last);
    }
    row_p[i] = last_p;
  }
  return {SplineSolver::Solve(y, curv, work)};
}

SplineResult SplageFlatEnd(std::span<const float> y, std::span<float> curv, std::span<const int> stiffness,
                           std::span<float> copy, FlatEndRefit refit, SplineWorkspace& work) {
  const SplineResult first = splage(y, curv, stiffness, work);
  if (first.status != SplineStatus::kOk) return first;
  const std::size_t n = y.size();
  const std::span<float> c = copy.first(n);
  std::copy(curv.begin(), curv.begin() + static_cast<std::ptrdiff_t>(n), c.begin());
  std::size_t rising = 0;
  for (std::size_t i = n; i >= 2 && c[i - 1] > c[i - 2]; --i) ++rising;
  if (rising == 0 && refit == FlatEndRefit::kWhenFlattened) return first;
  std::fill(c.end() - static_cast<std::ptrdiff_t>(rising), c.end(), c[n - rising - 1]);
  return splage(c, curv, stiffness, work);
}

std::vector<std::string> SplineMessageLines(SplineStatus status, SplineRoutine routine,
                                            common::ProgramVariant variant) {
  const bool batch = variant == common::ProgramVariant::kBatch;
  switch (status) {
    case SplineStatus::kNotPositiveDefinite:
      return {batch ? ">> SBR Spline: matrix not positive definite" : ">> sbr spline: matrix not positive definite"};
    case SplineStatus::kTooLong:
      if (!batch) {
        return {"", " *** series too long for spline subroutine ***", " *** enlarge mxy parameter in subroutine ***", ""};
      }
      return {"", " *** Series too long for spline subroutine ***",
              routine == SplineRoutine::kSplinp ? " *** enlarge mxy parameter in subroutine ***"
                                                : " *** Enlarge mxy parameter in subroutine ***",
              ""};
    case SplineStatus::kOk:
    case SplineStatus::kTooShort:
      break;
  }
  return {};
}

}  // namespace detrend
