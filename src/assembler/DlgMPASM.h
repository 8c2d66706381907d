// SPDX-License-Identifier: GPL-3.0-or-later
// The MPASM Options dialog: the open project's assembler options, and the radio groups the dialogs share.
#pragma once

#include "assembler/MpasmOptions.h"

#include <QDialog>
#include <QFont>
#include <QGroupBox>

#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The font of the fixed dialogs, whose controls stand at fixed places.
QFont DialogFont();

// A captioned group of radio items, one of which is chosen; its value is the chosen item's index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

    int itemIndex() const;
    // An index outside the items chooses the first item.
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const;

  protected:
    // The items share the space below the caption evenly, one under the other.
    void resizeEvent(QResizeEvent* event) override;

  private:
    QButtonGroup* buttons_;
};

class TMPASMDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TMPASMDlg(QWidget* parent = nullptr);

    // The option set of the open project; the defaults while none is open.
    TMpasmOptions Options;
    std::string CommandLineOptions() const { return ::CommandLineOptions(Options); }
    void ResetOptions() { ::ResetOptions(Options); }

    // Copies the option set into the controls; runs each time the dialog is shown.
    void FormShow();
    // Copies the controls into the option set and closes the dialog with OK.
    void OKBtnClick();

    QPushButton *OKBtn, *CancelBtn;
    QFrame* Bevel1;
    QGroupBox* GroupBox1;
    QCheckBox *CBError, *CBList, *CBCross, *CBCase;
    TRadioGroup *RGRadix, *RGWarning, *RGOutput, *RGMacro;
    QLabel *StaticText1, *StaticText2;
    QComboBox* CBProcessor;
    QLineEdit* EAdditional;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildGeneratedFiles();
    void buildRadioGroups();
    void buildProcessorAndAdditional();
};
