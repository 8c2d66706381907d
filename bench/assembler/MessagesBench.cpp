// Loading an error file of 100,000 lines into the Project window's and the editor's message lists.
#include "../SilentPrompter.h"
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
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

namespace {

constexpr int kLines = 100000;

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
    state.counters["lines"] = ProWindow->MessageList->count();
}

void BM_LoadMessages(benchmark::State& state) {
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    {
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
BENCHMARK(BM_LoadOneGigabyteErrorFileWithATenMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
