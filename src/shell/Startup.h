// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the settings, the documents and the eight windows that live for the whole run, in their order.
#pragma once

#include "editctl/DocumentManager.h"
#include "editor/AllReg.h"
#include "platform/Registry.h"
#include "shell/Services.h"

#include <QString>

#include <filesystem>
#include <memory>

class Prompter;
class TAboutBox;
class TEXEDlg;
class TEditorWindows;
class TEnviDlg;
class TFormatDlg;
class TGoToLineDlg;
class TMainForm;
class TMPASMDlg;
class TProWindow;

class TKorvex {
  public:
    // Creates the windows (and so loads the settings) with the registry in configDir. With the program's
    // folder given, a run without a configured assembler takes the gpasm front end found beside it.
    TKorvex(const std::filesystem::path& configDir, Prompter& prompter, const QString& programDir = {});
    ~TKorvex();
    TKorvex(const TKorvex&) = delete;
    TKorvex& operator=(const TKorvex&) = delete;

    // Shows the main window and runs the message loop until the quit flow agrees; returns 0 then.
    int exec();

    Registry registry;
    SettingsStore settings;
    DocumentManager documents;
    TServices services;

  private:
    std::unique_ptr<TEditorWindows> editors_;
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<TEXEDlg> exeDlg_;
    std::unique_ptr<TGoToLineDlg> goToLineDlg_;
    std::unique_ptr<TMPASMDlg> mpasmDlg_;
    std::unique_ptr<TEnviDlg> enviDlg_;
    std::unique_ptr<TFormatDlg> formatDlg_;
    std::unique_ptr<TProWindow> proWindow_;
    std::unique_ptr<TAboutBox> aboutBox_;
};
