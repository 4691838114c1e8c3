// The lines a curve fit, a regional-curve fit or a spline writes on the
// screen, and the stops they call for. Internal to the engine.
#pragma once

#include "detrend/crvfit.h"
#include "detrend/regcrv.h"
#include "detrend/spline.h"
#include "engine/engine_call.h"

namespace engine::detail {

void ShowCrvfitMessages(EngineCall& call, const detrend::CrvfitResult& result, int nfit);
void ShowDetrndMessages(EngineCall& call, const detrend::DetrndResult& result);
void ShowSplineMessages(EngineCall& call, detrend::SplineStatus status, detrend::SplineRoutine routine);

}  // namespace engine::detail
