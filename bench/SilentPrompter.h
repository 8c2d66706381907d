// SPDX-License-Identifier: GPL-3.0-or-later
// A prompter for benchmarks: it answers nothing and shows nothing, so a timed run never waits on a box.
#pragma once

#include "platform/Prompter.h"

class SilentPrompter : public Prompter {
public:
    void error(const QString&) override {}
    void information(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    SaveAnswer askSave(const QString&, SaveButtons) override { return SaveAnswer::No; }
    void exception(const QString&) override {}
    FileDialogResult openFiles(const FileDialogRequest&, bool) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
    int showModal(QDialog&) override { return 0; }
};
