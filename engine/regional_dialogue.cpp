// The regional-curve dialogue: the initial regional curve and its fit, the
// negative-curve warning, the redo and truncation questions and the
// many-rings plotting switch.
#include <vector>

#include "common/limits.h"
#include "detrend/common_interval.h"
#include "engine/engine_call.h"
#include "engine/fit_messages.h"
#include "engine/stats_report.h"
#include "plot/plots.h"

namespace engine::detail {

namespace {

bool IsFalse(char c) { return c == ' ' || c == 'F' || c == 'f'; }

// A "[T]rue or <[F]>alse" question: true unless blank, "F" or "f" ("/" is
// an answer like any other: true).
bool AskTrue(common::Dialog& d, std::string_view text) {
  d.Screen("");
  return !IsFalse(d.AskTyped(text, 1, common::Slash::kAnswer).first());
}

void WarnIfNegative(EngineCall& call) {
  const EngineState& st = call.state;
  for (int a = st.RCOFF + 1; a <= st.RCLEN; ++a) {
    const float v = call.store.CRVVEC[static_cast<std::size_t>(a - 1)];
    if (v == common::kMissing || v > 0.0f) continue;
    common::Dialog& d = call.dialog;
    d.Screen("");
    d.Screen("   **************** WARNING ****************");
    d.Screen("       Regional Curve goes south (negative) ");
    d.Screen("    Suggest choosing another RCS configuration.");
    d.Screen("");
    d.Screen("   **************** WARNING ****************");
    d.WaitReturn("                   Hit RETURN to Continue");
    return;
  }
}

// The truncation year, asked until it is a whole number from 0 to the
// curve's length.
int AskTruncation(EngineCall& call) {
  common::Dialog& d = call.dialog;
  const int m = call.state.RCLEN - call.state.RCOFF;
  for (;;) {
    d.Screen("");
    d.Screen("");
    d.Screen("   Enter Biological Year beyond which not to use");
    d.Prompt("  in the estimation of the Regional model");
    const std::optional<int> year = d.ReadFreeInt();
    if (year && *year >= 0 && *year <= m) return *year;
  }
}

void ShowCommonInterval(EngineCall& call) {
  const common::RunStorage& s = call.store;
  std::vector<int> first, length;
  for (int i = 1; i <= call.NS; ++i) {
    first.push_back(s.IYTAB.IFY(i));
    length.push_back(call.Length(i));
  }
  const int limit = detrend::CommintMax(call.variant());
  const std::span<const std::string> ids =
      std::span<const std::string>(s.SERID).subspan(1, static_cast<std::size_t>(call.NS));
  ShowCommint(call.dialog, detrend::Commint(limit, first, ids, length), limit);
}

}  // namespace

int FitRegionalCurve(EngineCall& call, const common::SeriesMatrix& values) {
  common::RunStorage& s = call.store;
  common::RunOptions& o = call.options;
  EngineState& st = call.state;
  const detrend::RegcrvResult r =
      detrend::regcrv(values, call.NS, st.RC, s.CRVVEC, s.IYTAB, s.IPITH, common::kMissing, st.CRVPAR, o.NOPT, o.ALPHA,
                      o.RCSWIN, o.PITHFL, st.RCTRNC, o.SPLSTF, st.regcrv);
  ShowDetrndMessages(call, r.fit);
  st.RCOFF = r.RCOFF;
  return r.RCLEN;
}

bool RegionalCurveDialogue(EngineCall& call) {
  EngineState& st = call.state;
  common::Dialog& d = call.dialog;
  st.RCTRNC = 0;
  for (;;) {
    st.RCLEN = FitRegionalCurve(call, call.store.SERMAT);
    plot::pltrcb(call.plots, st.plots.pltrcb, st.RC, call.store.CRVVEC, 1, st.RCLEN, common::kMissing,
                 "Initial RC and MVF fit", st.RCOFF);
    for (int a = 1; a <= st.RCLEN; ++a) {
      st.RcStore(a, 1, 1) = st.RC[static_cast<std::size_t>(a - 1)];
      st.RcStore(a, 2, 1) = call.store.CRVVEC[static_cast<std::size_t>(a - 1)];
    }
    st.NRCSAV = 1;
    WarnIfNegative(call);

    if (AskTrue(d, "Different RCS detrending? [T]rue or <[F]>alse")) {
      call.restart.RCSRDO = 1;
      return false;
    }
    call.restart.RCSRDO = 0;
    if (!AskTrue(d, "Truncate Regional Curve?  [T]rue or <[F]>alse")) break;
    ShowCommonInterval(call);
    st.RCTRNC = AskTruncation(call);
  }
  st.PLTLOT = AskTrue(d, "Plot lots of tree rings?  [T]rue or <[F]>alse") ? 1 : 0;
  return true;
}

}  // namespace engine::detail
