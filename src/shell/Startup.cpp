// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the windows are created in a fixed order and reached through their single instances.
#include "shell/Startup.h"

#include "assembler/DlgEXE.h"
#include "assembler/DlgMPASM.h"
#include "editor/DlgGoLine.h"
#include "editor/Envi.h"
#include "editor/MyEditUnit.h"
#include "shell/About.h"
#include "shell/BundledAssembler.h"
#include "shell/Format.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/ProW.h"

#include <QApplication>

TKorvex::TKorvex(const std::filesystem::path& configDir, Prompter& prompter, const QString& programDir)
    : registry(configDir),
      settings(registry),
      documents(prompter, &settings.MemoSourceOptions()),
      services{registry, settings, prompter, documents} {
    QApplication::setApplicationName("Korvex");
    // no display name: Qt would add " — Korvex" to every caption on Linux and cut short dialog titles
    Documents = &documents;
    editors_ = std::make_unique<TEditorWindows>(settings, documents);
    services.editors = editors_.get();
    EditorWindows = editors_.get();
    // the main window comes first: creating it loads the settings the others may use
    mainForm_ = std::make_unique<TMainForm>(services);
    MainForm = mainForm_.get();
    // a first run builds at once with the front end that came with the program
    AdoptBundledAssembler(settings, programDir);
    exeDlg_ = std::make_unique<TEXEDlg>();
    EXEDlg = exeDlg_.get();
    goToLineDlg_ = std::make_unique<TGoToLineDlg>();
    GoToLineDlg = goToLineDlg_.get();
    mpasmDlg_ = std::make_unique<TMPASMDlg>();
    MPASMDlg = mpasmDlg_.get();
    enviDlg_ = std::make_unique<TEnviDlg>();
    EnviDlg = enviDlg_.get();
    formatDlg_ = std::make_unique<TFormatDlg>();
    FormatDlg = formatDlg_.get();
    proWindow_ = std::make_unique<TProWindow>();
    ProWindow = proWindow_.get();
    aboutBox_ = std::make_unique<TAboutBox>();
    AboutBox = aboutBox_.get();
    MainForm->InstallMessageLists();
    // the environment dialog's OK recolours the editor windows
    QObject::connect(EnviDlg, &TEnviDlg::optionsApplied, editors_.get(), &TEditorWindows::applyOptions);
    // said once: the settings started from their defaults, and are written afresh
    if (!registry.loadProblem().empty())
        prompter.error(QString("Settings cannot be read: %1; the defaults apply")
                           .arg(QString::fromStdString(registry.loadProblem())));
    if (!settings.saveError().empty())
        prompter.error(
            QString("Settings cannot be saved: %1").arg(QString::fromStdString(settings.saveError())));
}

TKorvex::~TKorvex() {
    EditorWindows = nullptr;
    MainForm = nullptr;
    EXEDlg = nullptr;
    GoToLineDlg = nullptr;
    MPASMDlg = nullptr;
    EnviDlg = nullptr;
    FormatDlg = nullptr;
    ProWindow = nullptr;
    AboutBox = nullptr;
    Documents = nullptr;
}

int TKorvex::exec() {
    // the quit flow has agreed and the assembler is stopped: every loop ends, whatever window refuses
    QObject::connect(MainForm, &TMainForm::closed, MainForm, [] { QCoreApplication::exit(0); });
    MainForm->show();
    return QApplication::exec();
}
