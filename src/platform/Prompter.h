// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box, file dialog and modal dialog goes through a Prompter, so tests can script the answers.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// The answers to the editor's four-button question "Save changes to %s?".
enum class SaveAnswer { Yes, No, Cancel, All };
enum class SaveButtons { YesNoCancel, YesNoCancelAll };

struct FileDialogRequest {
    QString title;
    QStringList filters;       // "Assembler source (*.asm)", ...
    QString selectedFilter;    // preselected entry of filters
    QString directory;         // starting folder or file
    QString defaultSuffix;     // added to a typed name without one
    bool askOverwrite = true;  // the save dialog asks before an existing file is chosen
    bool mustExist = true;     // the open dialog accepts only existing files
};

struct FileDialogResult {
    QStringList files;  // empty when the user cancelled
    QString selectedFilter;
};

class Prompter {
  public:
    virtual ~Prompter() = default;

    // An error box: caption "Error", error icon, OK.
    virtual void error(const QString& text) = 0;
    // An information box: caption "Information", information icon, OK.
    virtual void information(const QString& text) = 0;
    // A confirmation box: caption "Confirm", Yes and No; true for Yes.
    virtual bool confirm(const QString& text) = 0;
    // The save question with Yes, No, Cancel and (when asked for) All.
    virtual SaveAnswer askSave(const QString& text, SaveButtons buttons) = 0;
    // The standard box for an exception no command handled.
    virtual void exception(const QString& text) = 0;

    virtual FileDialogResult openFiles(const FileDialogRequest& request, bool multiple) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;

    // Shows one of our own dialogs modally; returns QDialog::Accepted or Rejected.
    virtual int showModal(QDialog& dialog) = 0;
};

// The prompter of the running program: QMessageBox and QFileDialog over the active window.
class QtPrompter : public Prompter {
  public:
    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    SaveAnswer askSave(const QString& text, SaveButtons buttons) override;
    void exception(const QString& text) override;
    FileDialogResult openFiles(const FileDialogRequest& request, bool multiple) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    int showModal(QDialog& dialog) override;
};
