#include "detrend/common_interval.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <string_view>
#include <vector>

#include "common/storage.h"

namespace detrend {

int imin(std::span<const int> iv) {
  if (iv.empty()) return 0;
  int v = iv[0];
  for (int x : iv) v = std::min(v, x);
  return v;
}

int imax(std::span<const int> iv) {
  if (iv.empty()) return 0;
  int v = iv[0];
  for (int x : iv) v = std::max(v, x);
  return v;
}

namespace {

// The 8-character identifier as the key line holds it (blank-padded).
std::string Id8(const std::string& id) {
  std::string s = id.substr(0, 8);
  s.resize(8, ' ');
  return s;
}

}  // namespace

CommintResult Commint(int limit, std::span<const int> ify, std::span<const std::string> SERID,
                      std::span<const int> len) {
  CommintResult r{};
  const int nser = static_cast<int>(ify.size());
  r.nser = nser;
  if (nser > limit) {
    r.too_many = true;
    return r;
  }
  const auto n = static_cast<std::size_t>(nser);
  std::vector<int> last(n);
  r.first_year = 32000;
  r.last_year = -32000;
  for (std::size_t i = 0; i < n; ++i) {
    last[i] = ify[i] + len[i] - 1;
    r.first_year = std::min(r.first_year, ify[i]);
    r.last_year = std::max(r.last_year, last[i]);
  }
  r.span = common::YearSpan(r.first_year, r.last_year);

  // Key order: last year descending, first year ascending, identifier
  // descending (the order of the descending text keys for years 0..9999).
  std::vector<std::size_t> key(n);
  std::iota(key.begin(), key.end(), std::size_t{0});
  std::vector<std::string> ids(n);
  for (std::size_t i = 0; i < n; ++i) ids[i] = Id8(i < SERID.size() ? SERID[i] : std::string());
  std::stable_sort(key.begin(), key.end(), [&](std::size_t a, std::size_t b) {
    if (last[a] != last[b]) return last[a] > last[b];
    if (ify[a] != ify[b]) return ify[a] < ify[b];
    return ids[a] > ids[b];
  });

  // Distinct last years come in key order, latest first. The series with a
  // last year >= t are a prefix of the key order; their first years, kept
  // sorted, give each candidate's count.
  std::vector<int> firsts;
  firsts.reserve(n);
  std::size_t prefix = 0;
  int best = 0;
  for (std::size_t p = 0; p < n; ++p) {
    const int t = last[key[p]];
    if (p > 0 && t == last[key[p - 1]]) continue;
    while (prefix < n && last[key[prefix]] >= t) {
      firsts.insert(std::upper_bound(firsts.begin(), firsts.end(), ify[key[prefix]]), ify[key[prefix]]);
      ++prefix;
    }
    for (std::size_t k = 0; k < n; ++k) {
      const int u = ify[key[k]];
      const int count = static_cast<int>(std::upper_bound(firsts.begin(), firsts.end(), u) - firsts.begin());
      const int years = t - u + 1;
      const int rings = count * years;
      if (rings > best) {
        best = rings;
        r.start = u;
        r.end = t;
        r.years = years;
        r.count = count;
      }
    }
  }
  r.rings = best;
  r.longest = imax(len);
  r.shortest = imin(len);
  return r;
}

}  // namespace detrend
