// The find and replace dialogs and the searches they run on the editor control.
#include "editctl/FindDialogs.h"

#include "editctl/Memo.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TFindDialog::TFindDialog(Mode mode, QWidget* parent) : QDialog(parent) {
    setObjectName(mode == Mode::Find ? "FindDialog" : "ReplaceDialog");
    setWindowTitle(mode == Mode::Find ? "Find" : "Replace");
    auto* form = new QFormLayout(this);
    FindText = new QLineEdit(this);
    FindText->setObjectName("FindText");
    form->addRow("Text to find:", FindText);
    ReplaceText = new QLineEdit(this);
    ReplaceText->setObjectName("ReplaceText");
    if (mode == Mode::Replace) form->addRow("Replace with:", ReplaceText);
    else ReplaceText->hide();
    MatchCase = new QCheckBox("&Case sensitive", this);
    WholeWords = new QCheckBox("&Whole words only", this);
    RegularExpression = new QCheckBox("Regular e&xpression", this);
    Backwards = new QCheckBox("Search &backwards", this);
    for (QCheckBox* box : {MatchCase, WholeWords, RegularExpression, Backwards}) form->addRow(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(mode == Mode::Find ? "&Find" : "&Replace");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    ReplaceAllButton = buttons->addButton("Replace &All", QDialogButtonBox::AcceptRole);
    ReplaceAllButton->setVisible(mode == Mode::Replace);
    connect(ReplaceAllButton, &QPushButton::clicked, this, [this] { replaceAll_ = true; });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void TFindDialog::load(const TSearch& search) {
    FindText->setText(search.text);
    FindText->selectAll();
    ReplaceText->setText(search.replacement);
    MatchCase->setChecked(search.matchCase);
    WholeWords->setChecked(search.wholeWords);
    RegularExpression->setChecked(search.regularExpression);
    Backwards->setChecked(search.backwards);
    replaceAll_ = false;
}

TSearch TFindDialog::search() const {
    return {FindText->text(),          ReplaceText->text(),   MatchCase->isChecked(), WholeWords->isChecked(),
            RegularExpression->isChecked(), Backwards->isChecked(), replaceAll_};
}

bool RunSearch(TMemo& memo, const TSearch& search) {
    if (search.text.isEmpty()) return false;
    int line = 0, index = 0;
    memo.getCursorPosition(&line, &index);
    // searching backwards starts before the current selection, so the same match is not found again
    if (search.backwards && memo.hasSelectedText()) {
        int lineTo = 0, indexTo = 0;
        memo.getSelection(&line, &index, &lineTo, &indexTo);
    }
    return memo.findFirst(search.text, search.regularExpression, search.matchCase, search.wholeWords, false,
                          !search.backwards, line, index);
}

int RunReplace(TMemo& memo, const TSearch& search) {
    if (search.text.isEmpty()) return 0;
    if (!search.replaceAll) {
        if (memo.hasSelectedText() && memo.selectedText().compare(search.text, search.matchCase ? Qt::CaseSensitive
                                                                                                : Qt::CaseInsensitive) == 0) {
            memo.replace(search.replacement);
            RunSearch(memo, search);
            return 1;
        }
        return RunSearch(memo, search) ? 0 : -1;
    }
    int count = 0;
    memo.beginUndoAction();
    if (memo.findFirst(search.text, search.regularExpression, search.matchCase, search.wholeWords, false, true, 0, 0)) {
        do {
            memo.replace(search.replacement);
            ++count;
        } while (memo.findNext());
    }
    memo.endUndoAction();
    return count;
}
