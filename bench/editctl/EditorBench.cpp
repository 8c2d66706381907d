// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a 100,000-line assembler file until its first screen is coloured, and typing one character at its
// end, bare and with the symbol index live, on the offscreen platform.
#include "../SilentPrompter.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editctl/MemoOptions.h"
#include "editor/ProgramSymbols.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <functional>

namespace {

// 100,000 lines of real include files, repeated as often as needed.
QString LargeSource(const QTemporaryDir& dir) {
    QByteArray text;
    int lines = 0;
    QDir headers("/usr/share/gputils/header");
    const int wanted = 100000;
    while (lines < wanted) {
        for (const QString& name : headers.entryList({"*.inc"}, QDir::Files)) {
            QFile file(headers.filePath(name));
            file.open(QIODevice::ReadOnly);
            while (!file.atEnd() && lines < wanted) {
                text += file.readLine();
                ++lines;
            }
            if (lines >= wanted)
                break;
        }
        if (lines == 0)
            text += "\tmovlw 0x10 ; no headers installed\n", ++lines;
    }
    QString path = dir.filePath("large.asm");
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(text);
    return path;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = LargeSource(dir);
    SilentPrompter prompts;
    TMemoSourceOptions source;
    TMemoEnvOptions env;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// Opens the large file in a new editor control until its first screen is painted (which styles it), then
// `then` goes on; the document is closed outside the timing.
void OpenRepeatedly(benchmark::State& state, const std::function<void(TMemo&)>& then) {
    Fixture& f = Shared();
    for (auto _ : state) {
        DocumentManager manager(f.prompts);
        TMemo memo;
        memo.resize(800, 600);
        memo.applyOptions(f.source, f.env);
        memo.show();
        TDocument* document = manager.open(f.path);
        memo.showDocument(document);
        memo.grab();
        then(memo);
        state.PauseTiming();
        manager.close(document);
        state.ResumeTiming();
    }
}

void BM_OpenLargeFileUntilFirstScreenColoured(benchmark::State& state) {
    OpenRepeatedly(state, [](TMemo& memo) { benchmark::DoNotOptimize(memo.styleAt(10)); });
}
BENCHMARK(BM_OpenLargeFileUntilFirstScreenColoured)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor: the same file read and shown by a plain QScintilla control without a lexer, first screen
// painted.
void BM_OpenLargeFileBareQScintilla(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        QsciScintilla bare;
        bare.resize(800, 600);
        bare.show();
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        bare.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, bytes.size(), bytes.constData());
        bare.grab();
        benchmark::DoNotOptimize(bare.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    }
}
BENCHMARK(BM_OpenLargeFileBareQScintilla)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening, then jumping to the last line: the screen there is coloured too.
void BM_OpenLargeFileThenLastLineColoured(benchmark::State& state) {
    OpenRepeatedly(state, [](TMemo& memo) {
        memo.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        memo.grab();
        benchmark::DoNotOptimize(memo.styleAt(memo.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) - 2));
    });
}
BENCHMARK(BM_OpenLargeFileThenLastLineColoured)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_KeystrokeAtTheEndOfALargeFile(benchmark::State& state) {
    Fixture& f = Shared();
    DocumentManager manager(f.prompts);
    TMemo memo;
    memo.resize(800, 600);
    memo.applyOptions(f.source, f.env);
    memo.show();
    memo.showDocument(manager.open(f.path));
    memo.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    memo.grab();
    for (auto _ : state) {
        QTest::keyClick(&memo, Qt::Key_X);
        memo.grab();  // the keystroke is done when its screen is repainted
    }
}
BENCHMARK(BM_KeystrokeAtTheEndOfALargeFile)->Unit(benchmark::kMillisecond)->Iterations(50);

// The same keystroke, typing an instruction's operand, with the symbol index live at its worst: the index
// reads the changed lines at once
// (Korvex waits for a pause in the typing), then the undefined names of those lines are marked and the
// file's outline is made when a name came or went, before the screen is repainted.
void BM_KeystrokeAtTheEndOfALargeFileWithTheIndexLive(benchmark::State& state) {
    Fixture& f = Shared();
    DocumentManager manager(f.prompts);
    TProgramSymbols symbols(manager);
    TMemo memo;
    memo.resize(800, 600);
    memo.applyOptions(f.source, f.env);
    memo.show();
    TDocument* document = manager.open(f.path);
    memo.showDocument(document);
    symbols.SetProject({f.path}, {"/usr/share/gputils/header"});
    size_t outline = 0;
    QObject::connect(&memo, &QsciScintillaBase::SCN_UPDATEUI, &memo, [&](int updated) {
        if (!(updated & QsciScintillaBase::SC_UPDATE_CONTENT) || !symbols.Sync(document))
            return;
        const TProgramSymbols::Change& change = symbols.lastChange();
        symbols.MarkUndefinedNames(document, change.first, change.count);
        if (change.namesChanged)  // as the Symbols window does: a new outline only when a name came or went
            outline = symbols.index().Outline(TProgramSymbols::PathOf(document)).size();
    });
    // an instruction being typed on a new last line: each keystroke lengthens its operand
    memo.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "        movwf ");
    memo.grab();
    for (auto _ : state) {
        QTest::keyClick(&memo, Qt::Key_X);
        memo.grab();  // the keystroke is done when its screen is repainted
    }
    state.counters["outline"] = double(outline);
}
BENCHMARK(BM_KeystrokeAtTheEndOfALargeFileWithTheIndexLive)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
