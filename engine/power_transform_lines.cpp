// Report-file lines of the adaptive power transformation.
#include "engine/power_transform_lines.h"

#include "common/fortran_format.h"

namespace engine {

void ReportPowerTransformApplied(common::Dialog& dialog) {
  dialog.Report("");
  dialog.Report(kPowerTransformAppliedText);
}

void ReportMeanPower(common::Dialog& dialog, float PMEAN) {
  dialog.Report(common::fmt::Print("(a,t63,f8.3)", kMeanPowerText, PMEAN));
}

}  // namespace engine
