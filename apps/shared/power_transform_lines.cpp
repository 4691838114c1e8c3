// Report-file lines of the adaptive power transformation.
#include "apps/shared/power_transform_lines.h"

#include "common/fortran_format.h"

namespace drivers {

void ReportPowerTransformApplied(common::Dialog& dialog) {
  dialog.Report("");
  dialog.Report(kPowerTransformAppliedText);
}

void ReportMeanPower(common::Dialog& dialog, float PMEAN) {
  dialog.Report(common::fmt::Print("(a,t63,f8.3)", kMeanPowerText, PMEAN));
}

}  // namespace drivers
