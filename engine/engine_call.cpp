#include "engine/engine_call.h"

#include "files/character_helpers.h"

namespace engine::detail {

EngineCall::EngineCall(common::Dialog& d, plot::Plotter& p, common::RunStorage& s, common::RunOptions& o,
                       common::RestartState& r, EngineState& st)
    : store(s),
      options(o),
      restart(r),
      state(st),
      plots{d, p},
      dialog(d),
      NS(s.NS),
      fy(s.IYTAB.IFY(s.NS + 1)),
      ly(s.IYTAB.ILY(s.NS + 1)),
      NYRS(ly - fy + 1),
      first(r.KRETRY == 0),
      entry_NOPT(o.NOPT),
      base(files::OutputStem(s.DATFIL)) {}

}  // namespace engine::detail
