// Axis scaling: round limits and tick spacing for the plots.
#pragma once

namespace plot {

// nicescl: widens [MIN, MAX] to round limits spanning N-1 equal intervals of
// STEP, a mantissa from 1, 1.2, 1.6, 2, 2.5, 3, 4, 5, 6, 8, 10 times a power
// of ten. Returns IERR: 0 on success; 1 when MIN > MAX, N < 2 or the range is
// not finite, and NEWMIN, STEP, NEWMAX are then left unchanged.
int nicescl(float MIN, float MAX, int N, float& NEWMIN, float& STEP, float& NEWMAX);

// autotick: major tick intervals and minor tick counts of the x, y and z axes
// from fixed range buckets. The upper limits of y and z are rounded up to the
// next half unit, 5 or 50; ranges too wide for the buckets (x over 2000, y or z
// over 500) are rescaled by nicescl over 10 intervals, limits included. An axis
// whose range is not a number is left unchanged.
void autotick(float& XMIN, float& XMAX, float& YMIN, float& YMAX, float& ZMIN, float& ZMAX, int& NXSUB,
              int& NYSUB, int& NZSUB, float& XTICK, float& YTICK, float& ZTICK);

}  // namespace plot
