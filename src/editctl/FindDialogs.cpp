// SPDX-License-Identifier: GPL-3.0-or-later
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
    if (mode == Mode::Replace)
        form->addRow("Replace with:", ReplaceText);
    else
        ReplaceText->hide();
    MatchCase = new QCheckBox("&Case sensitive", this);
    WholeWords = new QCheckBox("&Whole words only", this);
    RegularExpression = new QCheckBox("Regular e&xpression", this);
    Backwards = new QCheckBox("Search &backwards", this);
    for (QCheckBox* box : {MatchCase, WholeWords, RegularExpression, Backwards})
        form->addRow(box);
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
    return {FindText->text(),
            ReplaceText->text(),
            MatchCase->isChecked(),
            WholeWords->isChecked(),
            RegularExpression->isChecked(),
            Backwards->isChecked(),
            replaceAll_};
}

bool RunSearch(TMemo& memo, const TSearch& search) {
    if (search.text.isEmpty())
        return false;
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

namespace {

QByteArray BytesOf(const TMemo& memo, const QString& text) {
    return memo.isUtf8() ? text.toUtf8() : text.toLatin1();
}

// Replaces every match from the start of the document, as one undo step; an empty match moves on by one
// character, so patterns like "x*" end.
int ReplaceEvery(TMemo& memo, const TSearch& search) {
    long flags =
        (search.matchCase ? QsciScintillaBase::SCFIND_MATCHCASE : 0) |
        (search.wholeWords ? QsciScintillaBase::SCFIND_WHOLEWORD : 0) |
        (search.regularExpression ? QsciScintillaBase::SCFIND_REGEXP | QsciScintillaBase::SCFIND_POSIX : 0);
    QByteArray pattern = BytesOf(memo, search.text), replacement = BytesOf(memo, search.replacement);
    unsigned replace = search.regularExpression ? QsciScintillaBase::SCI_REPLACETARGETRE
                                                : QsciScintillaBase::SCI_REPLACETARGET;
    memo.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, flags);
    int count = 0;
    long from = 0;
    memo.beginUndoAction();
    while (from <= memo.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)) {
        memo.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, from);
        memo.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND,
                           memo.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        long found =
            memo.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, pattern.size(), pattern.constData());
        if (found < 0)
            break;
        bool empty = memo.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND) == found;
        memo.SendScintilla(replace, replacement.size(), replacement.constData());
        ++count;
        from = memo.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
        if (empty) {
            if (from >= memo.SendScintilla(QsciScintillaBase::SCI_GETLENGTH))
                break;
            from = memo.SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, from);
        }
    }
    memo.endUndoAction();
    return count;
}

}  // namespace

int RunReplace(TMemo& memo, const TSearch& search) {
    if (search.text.isEmpty())
        return -1;
    if (search.replaceAll)
        return ReplaceEvery(memo, search);
    // the match is looked for from the start of the selection: a selected match is replaced, else the next
    // match is selected for the next Replace
    int line = 0, index = 0, lineTo = 0, indexTo = 0;
    bool selected = memo.hasSelectedText();
    if (selected)
        memo.getSelection(&line, &index, &lineTo, &indexTo);
    else
        memo.getCursorPosition(&line, &index);
    if (!memo.findFirst(search.text, search.regularExpression, search.matchCase, search.wholeWords, false,
                        true, line, index))
        return -1;
    int foundLine = 0, foundIndex = 0, foundLineTo = 0, foundIndexTo = 0;
    memo.getSelection(&foundLine, &foundIndex, &foundLineTo, &foundIndexTo);
    if (!selected || foundLine != line || foundIndex != index || foundLineTo != lineTo ||
        foundIndexTo != indexTo)
        return 0;
    memo.replace(search.replacement);
    RunSearch(memo, search);
    return 1;
}
