// SPDX-License-Identifier: GPL-3.0-or-later
// The Debug commands of the main window: they drive the simulator and show its state.
#include "shell/Main.h"

#include "shell/Idefunction.h"
#include "sim/Pic14.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void TMainForm::DebugStartClick() {
    // the read-outs keep what they show until the next Trace Into
    sim::ResetProcessor();
}

void TMainForm::DebugTraceIntoClick() {
    StepEntry();
    ShowProcessorState();
    ShowCycleCount();
}

void TMainForm::StepEntry() {
    sim::Step();
}

void TMainForm::ShowProcessorState() {
    const sim::TPicState& state = sim::PicState;
    // the label counts the slots in use: one more than the stack pointer
    ShowReadOuts(state.PC, state.W, state.SP + 1);
}

void TMainForm::ShowReadOuts(uint32_t pc, int W, std::optional<int> stack) {
    LabelPC->setText(QString("%1").arg(pc, 4, 16, QChar('0')).toUpper());
    LabelW->setText(QString("%1").arg(W, 2, 16, QChar('0')).toUpper());
    LabelStack->setText(stack ? QString::number(*stack) : QString("?"));
    for (QLabel* label : {LabelPC, LabelW, LabelStack})
        label->adjustSize();
}

QString TMainForm::CycleText(uint32_t cycles, const QLocale& locale) {
    // an unsigned 64-bit conversion: no rounding and no sign over the whole 32-bit range
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return "Cycle = " + grouped.toString(qulonglong(cycles));
}

void TMainForm::ShowCycleCount() {
    SetEditorStatusText(3, CycleText(sim::PicState.Cycles, QLocale()));
}

void TMainForm::ShowDebugMenuOnRequest() {
    if (qgetenv("KORVEX_DEBUG") != "1")
        return;
    DebugMenu->menuAction()->setVisible(true);
    DebugTraceInto->setEnabled(true);
}
