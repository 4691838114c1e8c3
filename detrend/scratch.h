// Growth of caller-owned scratch vectors. A workspace is sized on first use
// and only ever grows, so later calls of no greater length allocate nothing.
#pragma once

#include <cstddef>
#include <vector>

namespace detrend {

// Grows every vector shorter than n to n values (the new ones zero); longer
// vectors, and the values already held, are left as they are.
template <typename... T>
void GrowScratch(std::size_t n, std::vector<T>&... v) {
  ((v.size() < n ? v.resize(n) : void()), ...);
}

}  // namespace detrend
