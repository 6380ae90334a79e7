// The live energised-path view of the custom programming window: from a click on a test box to the
// diagram repainted, on the compile bench's worst-case diagram.
#include "SimBench.h"
#include "support/DiagramGen.h"
#include "ui/condlogic/frmExpCndCustom.h"

#include <benchmark/benchmark.h>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

void BM_SimulateRedrawAfterTestBoxClick(benchmark::State& state)
{
    ManualClock clock;
    SimBench pc(clock);
    pc.host.document<CndDocument>() = WorstCaseDocument();
    frmExpCndCustom w(pc.host);
    w.ensureLoaded();
    w.show();
    w.chkSimulate->setChecked(true);
    int box = 0;
    for (auto _ : state) {
        QCheckBox* chk = w.chkIn[size_t(box++ % 16)];
        chk->setChecked(!chk->isChecked()); // runs the click handler
        w.overlay->repaint();               // the diagram's redraw, at once
    }
    state.SetLabel("worst case");
}
BENCHMARK(BM_SimulateRedrawAfterTestBoxClick)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
