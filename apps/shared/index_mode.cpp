#include "apps/shared/index_mode.h"

#include <string>

namespace drivers {

namespace {

void EchoRatiosOrResiduals(common::Dialog& dialog, int RESID) {
  dialog.Report("");
  dialog.Report(RESID == 0 ? "TREE-RING INDICES ARE CALCULATED AS RATIOS OF EXPECTED GROWTH"
                           : "TREE-RING INDICES ARE CALCULATED AS RESIDUALS FROM EXPECTED GROWTH");
}

}  // namespace

void AskIndexMode(common::Dialog& dialog, common::ProgramVariant variant, common::RunOptions& options) {
  const bool batch = variant == common::ProgramVariant::kBatch;
  for (;;) {
    options.RESID = 0;
    options.PTRFLG = 0;
    dialog.Screen("");
    const common::TypedAnswer answer = dialog.AskTyped(
        batch ? "Compute Indices by [R]atios or residual<[S]>" : "Compute Indices by [R]atios or residual[S]", 1,
        common::Slash::kAnswer);
    const char c = batch && answer.blank ? 'S' : answer.first();
    if (c == 'R' || c == 'r') {
      if (!batch) EchoRatiosOrResiduals(dialog, 0);
      return;
    }
    if (c == 'S' || c == 's') {
      options.RESID = 1;
      if (!batch) EchoRatiosOrResiduals(dialog, 1);
      dialog.Screen("");
      const common::TypedAnswer power = dialog.AskTyped(
          batch ? "Power transform data? <[T]>rue or [F]alse" : "Power transform data? [T]rue or [F]alse", 1);
      const char p = batch && power.blank ? 'T' : power.first();
      options.PTRFLG = p == 'T' || p == 't' ? 1 : 0;
      return;
    }
    if (c == '/') {
      dialog.Screen("");
      dialog.Stop(common::ExitStatus::kNormal, " Program Terminating");
    }
    dialog.Screen("");
    dialog.Screen(" Error reading input [R] or [S]. Try again or enter / to exit");
  }
}

void EchoIndexMode(common::Dialog& dialog, const common::RunOptions& options, common::ProgramVariant variant) {
  EchoRatiosOrResiduals(dialog, options.RESID);
  if (variant == common::ProgramVariant::kBatch && options.INDXMD() == common::IndexMode::kPowerResiduals) {
    dialog.Report("ADAPTIVE POWER TRANSFORMATIONS APPLIED TO THE TREE-RING DATA");
  }
}

}  // namespace drivers
