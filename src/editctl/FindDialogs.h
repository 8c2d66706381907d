// SPDX-License-Identifier: GPL-3.0-or-later
// The find and replace dialogs of the editor control, and the search they remember for Search Again.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TMemo;

// What was last searched for, so Search Again can repeat it.
struct TSearch {
    QString text;
    QString replacement;
    bool matchCase = false;
    bool wholeWords = false;
    bool regularExpression = false;
    bool backwards = false;
    bool replaceAll = false;
};

class TFindDialog : public QDialog {
    Q_OBJECT
  public:
    // With replace set the dialog also asks for the replacement and offers Replace All.
    enum class Mode { Find, Replace };
    TFindDialog(Mode mode, QWidget* parent = nullptr);

    QLineEdit* FindText;
    QLineEdit* ReplaceText;
    QCheckBox* MatchCase;
    QCheckBox* WholeWords;
    QCheckBox* RegularExpression;
    QCheckBox* Backwards;
    QPushButton* ReplaceAllButton;

    void load(const TSearch& search);
    TSearch search() const;

  private:
    bool replaceAll_ = false;
};

// Runs a search on a control from its caret; false (and the caret unmoved) when nothing is found.
bool RunSearch(TMemo& memo, const TSearch& search);
// Replaces the match that is selected and selects the next; with replaceAll every match. Returns how many
// were replaced, or -1 when there is no match at all.
int RunReplace(TMemo& memo, const TSearch& search);
