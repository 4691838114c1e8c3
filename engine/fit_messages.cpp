#include "engine/fit_messages.h"

#include <string>

#include "detrend/curve.h"
#include "detrend/gamfit.h"
#include "detrend/lowfit.h"

namespace engine::detail {

using common::ExitStatus;

void ShowSplineMessages(EngineCall& call, detrend::SplineStatus status, detrend::SplineRoutine routine) {
  for (const std::string& line : detrend::SplineMessageLines(status, routine, call.variant()))
    call.dialog.Screen(line);
  if (status == detrend::SplineStatus::kTooLong) call.dialog.Stop(ExitStatus::kAbnormal);
}

void ShowCrvfitMessages(EngineCall& call, const detrend::CrvfitResult& result, int nfit) {
  for (const std::string& line : detrend::CrvfitMessageLines(result, nfit, call.variant()))
    call.dialog.Screen(line);
  if (result.no_values) call.dialog.StopAfterReturn(ExitStatus::kAbnormal);
  if (result.spline == detrend::SplineStatus::kTooLong) call.dialog.Stop(ExitStatus::kAbnormal);
}

void ShowDetrndMessages(EngineCall& call, const detrend::DetrndResult& r) {
  common::Dialog& d = call.dialog;
  if (r.exponential_tried) {
    const std::string line = detrend::CurveMessage(r.exponential, r.nfit);
    if (!line.empty()) d.Screen(line);
  }
  ShowSplineMessages(call, r.spline, r.spline_routine);
  if (r.msmoor_ier != 0) {
    d.Screen("");
    d.Screen(" " + detrend::MsmoorMessage(r.msmoor_ier));
    if (r.msmoor_ier != 20) d.WaitReturn(" Hit RETURN to Continue");
  }
  if (r.amoeba_itmax) {
    d.Screen(" " + std::string(detrend::kAmoebaItmaxText));
    d.WaitReturn(" Hit RETURN to Continue");
  }
  if (r.gexp != detrend::GexpStatus::kOk) {
    d.Screen("");
    d.Screen(" " + std::string(r.gexp == detrend::GexpStatus::kNoValues ? detrend::kGexpNoValuesText
                                                                        : detrend::kGexpNoPositiveText));
    d.Screen("");
    d.StopAfterReturn(ExitStatus::kAbnormal);
  }
  if (r.no_values) {
    d.Screen("");
    d.Screen(" " + std::string(detrend::kXmean2NoValues));
    d.StopAfterReturn(ExitStatus::kAbnormal);
  }
}

}  // namespace engine::detail
