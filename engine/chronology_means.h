// The means of a chronology: the mean chronology of a series matrix with
// the call's workspaces, the mean over the later years, and the recentring
// and clipping at zero that follow it. Internal to the engine.
#pragma once

#include <span>

#include "common/storage.h"
#include "engine/engine_call.h"

namespace engine::detail {

// Resets the weights (BWTMAT columns 1..NS) and averages the columns of x
// year by year with the mean routine (MEANMD 1 arithmetic, 2 biweight) into
// crn and spr, the depth into SSize. A year without values stops the run.
void MeanChronology(EngineCall& call, const common::SeriesMatrix& x, std::span<float> crn, std::span<float> spr,
                    int MEANMD);

// The mean of x over rows `first_row`..end (1-based), or of all of x when
// that range is empty.
float MeanFrom(std::span<const float> x, int first_row);
// x := x - m + 1, values below 0 set to 0.
void Recentre(std::span<float> x, float m);
// Values below 0 set to 0.
void ClipAtZero(std::span<float> x);

}  // namespace engine::detail
