// SPDX-License-Identifier: GPL-3.0-or-later
// Loading an error file of 100,000 lines into the Project window's and the editor's message lists, against
// the floor: the same lines read into one plain list view.
#include "../SilentPrompter.h"
#include "assembler/MessageLines.h"
#include "assembler/Messages.h"
#include "editctl/DocumentManager.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>

namespace {

constexpr int kLines = 100000;

// main.asm of 1,000 lines and main.err of kLines warnings on them in `dir`.
void WriteLargeErrorFile(const QTemporaryDir& dir) {
    QString folder = dir.path() + "/";
    QFile source(folder + "main.asm");
    source.open(QIODevice::WriteOnly);
    for (int i = 0; i < 1000; ++i)
        source.write("\tnop\n");
    QFile errors(folder + "main.err");
    errors.open(QIODevice::WriteOnly);
    for (int i = 0; i < kLines; ++i)
        errors.write(QString("Warning[224] main.asm %1 : Use of this instruction is not recommended.\r\n")
                         .arg(i % 1000 + 1)
                         .toLatin1());
}

// With main.asm open in the project folder `dir`, its main.err loaded into both lists, again and again.
void LoadRepeatedly(benchmark::State& state, const QTemporaryDir& dir) {
    QString folder = dir.path() + "/";
    SilentPrompter prompter;
    TKorvex korvex((dir.path() + "/config").toStdString(), prompter);
    ProWindow->show();
    SetProjectPath((folder + "p.pro").toStdString());
    ProjectFormat = 1;
    Documents->open(folder + "main.asm");
    for (auto _ : state) {
        MainForm->messages->ClearLists();
        MainForm->messages->LoadMessages(folder + "main.err");
        QApplication::processEvents();  // the lists are drawn
    }
    state.counters["lines"] = ProWindow->MessageList->model()->rowCount();
}

// The least any list can do with these lines: read them, hand them to a string list model and draw one
// plain view of them. The view's entries are all of one size: otherwise it would measure the text of every
// line (seconds for 100,000 lines), which is no floor.
void BM_LoadMessagesFloor(benchmark::State& state) {
    QTemporaryDir dir;
    WriteLargeErrorFile(dir);
    QString path = dir.path() + "/main.err";
    QStringListModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(500, 170);
    view.show();
    for (auto _ : state) {
        model.setStringList({});
        model.setStringList(ReadMessageLines(path));
        view.setCurrentIndex(model.index(0));
        QApplication::processEvents();
    }
    state.counters["lines"] = model.rowCount();
}
// make bench prints BM_LoadMessages against it (1.3 times at most).
BENCHMARK(BM_LoadMessagesFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadMessages(benchmark::State& state) {
    QTemporaryDir dir;
    WriteLargeErrorFile(dir);
    LoadRepeatedly(state, dir);
}
BENCHMARK(BM_LoadMessages)->Unit(benchmark::kMillisecond)->Iterations(5);

// A 1 GB error file whose first message is 10 MB long: only its first part is read, the long line is cut
// for display, and the windows are drawn again at once.
void BM_LoadOneGigabyteErrorFileWithATenMegabyteLine(benchmark::State& state) {
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    {
        QFile source(folder + "main.asm");
        source.open(QIODevice::WriteOnly);
        source.write("\tnop\n");
        QFile errors(folder + "main.err");
        errors.open(QIODevice::WriteOnly);
        errors.write("Error[113]   main.asm 1 : " + QByteArray(10 * 1024 * 1024, 'y') + "\r\n");
        QByteArray line = "Warning[224] main.asm 1 : Use of this instruction is not recommended.\r\n";
        QByteArray block;
        while (block.size() < 16 * 1024 * 1024)
            block += line;
        while (errors.size() < 1024LL * 1024 * 1024)
            errors.write(block);
    }
    LoadRepeatedly(state, dir);
}
// Once, whatever make bench asks for: writing the file takes seconds.
BENCHMARK(BM_LoadOneGigabyteErrorFileWithATenMegabyteLine)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
