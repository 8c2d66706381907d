// SPDX-License-Identifier: GPL-3.0-or-later
// The External EXE dialog: where the assembler program lies.
#pragma once

#include <QDialog>

class Prompter;
class QLabel;
class QPushButton;
class QTabWidget;
class SettingsStore;

class TEXEDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TEXEDlg(QWidget* parent = nullptr);

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QTabWidget* PCExe;
    QWidget* TSMicrochip;
    QPushButton* BMPASMWIN;
    // The path being edited: the dialog keeps it nowhere else between the button and OK.
    QLabel* LMPASMWIN;

    // Before each showing: the label gets the stored AssemblerPath; OK writes back to this store, and the
    // file dialog goes through this prompter.
    void FormShow(SettingsStore& settings, Prompter& prompter);

  public slots:
    // The file dialog; a confirmed choice that exists replaces the label's text.
    void BMPASMWINClick();
    // AssemblerPath and AssemblerFileName from the label, the registry value written, the dialog closed.
    void OKBtnClick();

  private:
    void setPath(const QString& path);

    SettingsStore* settings_ = nullptr;
    Prompter* prompter_ = nullptr;
};
