// SPDX-License-Identifier: GPL-3.0-or-later
// A prompter for tests: answers from a script and fails the test on any prompt it was not told to expect.
#pragma once

#include "platform/Prompter.h"

#include <deque>
#include <functional>

class ScriptedPrompter : public Prompter {
  public:
    ~ScriptedPrompter() override;

    void expectError(const QString& text);
    void expectInformation(const QString& text);
    void expectException(const QString& text);
    void willConfirm(const QString& text, bool yes);
    void willAnswerSave(const QString& text, SaveAnswer answer,
                        SaveButtons buttons = SaveButtons::YesNoCancelAll);
    void willChooseFile(const QString& path);
    void willChooseFiles(const QStringList& paths);
    void willCancelFile();
    // The dialog is handed to `answer`, which may fill it in; its result is what showModal returns.
    void willShowModal(const QString& objectName, std::function<int(QDialog&)> answer);

    // Every scripted prompt came; reports the ones that did not.
    bool allAnswered() const;

    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    SaveAnswer askSave(const QString& text, SaveButtons buttons) override;
    void exception(const QString& text) override;
    FileDialogResult openFiles(const FileDialogRequest& request, bool multiple) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    int showModal(QDialog& dialog) override;

    // The last file dialog shown, for checks on its title and filters.
    FileDialogRequest lastFileRequest;

  private:
    enum class Kind { Error, Information, Exception, Confirm, Save, File, Modal };
    struct Step {
        Step(Kind k = Kind::Error, QString t = {}) : kind(k), text(std::move(t)) {}
        Kind kind;
        QString text;
        bool yes = false;
        SaveAnswer save = SaveAnswer::Cancel;
        SaveButtons buttons = SaveButtons::YesNoCancelAll;
        QStringList files;
        std::function<int(QDialog&)> modal;
    };
    // The next step when it is of this kind and text; fails the test otherwise.
    bool take(Kind kind, const QString& text, Step& step);

    std::deque<Step> script_;
};
