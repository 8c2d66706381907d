// SPDX-License-Identifier: GPL-3.0-or-later
// The File, Edit and Search commands of the main window: each finds its document and hands the work to the
// document manager or the editor control.
#include "shell/Main.h"

#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editctl/PaperPrinter.h"
#include "editor/AllReg.h"
#include "editor/DlgGoLine.h"
#include "editor/MyEditUnit.h"
#include "shell/Idefunction.h"
#include "shell/Services.h"

#include <Qsci/qsciprinter.h>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>

#include <QFileInfo>

#include <stdexcept>

namespace {

// The document shown in the first editor window.
TDocument* FirstWindowDocument(TServices& services) {
    if (!services.editors || !services.editors->first())
        return nullptr;
    return services.editors->first()->Memo->document();
}

}  // namespace

TMemo* TMainForm::currentMemo() const {
    TDocument* current = services_.documents.current();
    if (!current || !current->isText() || !services_.editors)
        return nullptr;
    for (TEditor* window : services_.editors->windows())
        if (window->Memo->document() == current)
            return window->Memo;
    return nullptr;
}

void TMainForm::FileNewClick() {
    bool noneShown = ActiveSource() == nullptr;
    TDocument* document = services_.documents.newDocument();
    if (noneShown && services_.editors)
        services_.editors->MaximizeWindowOf(document);
}

void TMainForm::FileOpenClick() {
    QStringList filters = {"Any file (*)", "Include file (*.inc)", "Listing file (*.lst)",
                           "Assembler file (*.asm)"};
    bool noneShown = ActiveSource() == nullptr;
    services_.documents.openWithDialog(filters);
    if (noneShown && services_.editors && services_.editors->first())
        services_.editors->first()->maximize();
}

void TMainForm::FileSaveClick() {
    if (TDocument* document = FirstWindowDocument(services_))
        services_.documents.save(document);
}

void TMainForm::FileSaveAsClick() {
    if (TDocument* document = FirstWindowDocument(services_))
        services_.documents.saveAs(document);
}

void TMainForm::FileCloseClick() {
    if (TDocument* document = FirstWindowDocument(services_))
        services_.documents.close(document);
}

void TMainForm::FileSaveAllClick() {
    services_.documents.saveAll();
}

void TMainForm::FileCloseAllClick() {
    services_.documents.closeAll();
}

void TMainForm::FilePrintClick() {
    if (!services_.editors || !services_.editors->first())
        return;
    TMemo* memo = services_.editors->first()->Memo;
    if (!memo->document())
        return;
    TPaperPrinter printer;
    printer.setDocName(memo->document()->displayName());
    QPrintDialog dialog(&printer, memo);
    dialog.setObjectName("PrintDialog");
    if (services_.prompter.showModal(dialog) == QDialog::Accepted &&
        printer.PrintDocument(*memo->document(), services_.settings.MemoSourceOptions(),
                              services_.settings.MemoEnvOptions()) == 0)
        services_.prompter.error("The document could not be printed.");
}

// Each edit command works on the control showing the current document and gives the focus back to it.
void TMainForm::editCommand(const std::function<void(TMemo&)>& operation) {
    if (TMemo* memo = currentMemo())
        operation(*memo);
    RefocusEditor();
}

void TMainForm::EditUndoClick() {
    editCommand([](TMemo& m) { m.undo(); });
}
void TMainForm::EditRedoClick() {
    editCommand([](TMemo& m) { m.redo(); });
}
void TMainForm::EditCutClick() {
    editCommand([](TMemo& m) { m.cut(); });
}
void TMainForm::EditCopyClick() {
    editCommand([](TMemo& m) { m.copy(); });
}
void TMainForm::EditPasteClick() {
    editCommand([](TMemo& m) { m.paste(); });
}
void TMainForm::EditDeleteClick() {
    editCommand([](TMemo& m) { m.removeSelectedText(); });
}
void TMainForm::EditSelectAllClick() {
    editCommand([](TMemo& m) { m.selectAll(); });
}

bool TMainForm::askSearch(TFindDialog::Mode mode) {
    TMemo* memo = currentMemo();
    if (!memo)
        return false;
    TSearch preset = lastSearch;
    if (memo->hasSelectedText() && !memo->selectedText().contains('\n'))
        preset.text = memo->selectedText();
    else if (services_.settings.MemoSourceOptions().Has(soFindTextAtCursor)) {
        int line = 0, index = 0;
        memo->getCursorPosition(&line, &index);
        if (QString word = memo->wordAtLineIndex(line, index); !word.isEmpty())
            preset.text = word;
    }
    TFindDialog dialog(mode, this);
    dialog.load(preset);
    if (services_.prompter.showModal(dialog) != QDialog::Accepted)
        return false;
    lastSearch = dialog.search();
    return true;
}

void TMainForm::reportNotFound() {
    services_.prompter.information(QString("Search string '%1' not found").arg(lastSearch.text));
}

void TMainForm::SearchFindClick() {
    if (!askSearch(TFindDialog::Mode::Find))
        return;
    if (!RunSearch(*currentMemo(), lastSearch))
        reportNotFound();
    RefocusEditor();
}

void TMainForm::SearchReplaceClick() {
    if (!askSearch(TFindDialog::Mode::Replace))
        return;
    int replaced = RunReplace(*currentMemo(), lastSearch);
    if (replaced < 0 || (lastSearch.replaceAll && replaced == 0))
        reportNotFound();
    else if (lastSearch.replaceAll)
        services_.prompter.information(QString("%1 occurrences replaced").arg(replaced));
}

void TMainForm::SearchAgain1Click() {
    TMemo* memo = currentMemo();
    if (!memo || lastSearch.text.isEmpty())
        return;
    if (!RunSearch(*memo, lastSearch))
        reportNotFound();
}

void TMainForm::GotoLineNumber1Click() {
    TMemo* memo = currentMemo();
    TDocument* source = ActiveSource();
    if (!memo || !source)
        return;
    GoToLineDlg->prepare(memo->caretLine() + 1);
    if (services_.prompter.showModal(*GoToLineDlg) != QDialog::Accepted)
        return;
    // an empty entry means line 2; 0 or a line past the end go to the first or last line
    if (GoToLineDlg->ELine->text().isEmpty())
        GoToLineDlg->ELine->setText("2");
    bool ok = false;
    int n = GoToLineDlg->ELine->text().toInt(&ok);
    if (!ok)
        throw std::invalid_argument(
            QString("'%1' is not a valid integer value").arg(GoToLineDlg->ELine->text()).toStdString());
    source->setCaretLine(n - 1);
    RefocusEditor();
}

void TMainForm::registerEditorCommands() {
    if (!services_.editors)
        return;
    connect(services_.editors, &TEditorWindows::created, this, [this](TEditor* window) {
        auto onActiveSource = [this](Handler handler) {
            return TVerbDispatcher::Verb{[] { return ActiveSource() != nullptr; },
                                         [this, handler] {
                                             EditorWindows->ShowInEditor(ActiveSource(), 2);
                                             RunHandler(handler);
                                         }};
        };
        window->VerbDispatcher1.Register("Edit.Find", onActiveSource(&TMainForm::SearchFindClick));
        window->VerbDispatcher1.Register("Edit.Replace", onActiveSource(&TMainForm::SearchReplaceClick));
        window->VerbDispatcher1.Register("Edit.SearchAgain", onActiveSource(&TMainForm::SearchAgain1Click));
        window->VerbDispatcher1.Register("Edit.GotoLine", onActiveSource(&TMainForm::GotoLineNumber1Click));
        addMenuKeys(*window);
    });
}

void TMainForm::addMenuKeys(QWidget& window) {
    // Alt and a menu's access key, pressed in an editor window, open that menu of the strip; the key never
    // reaches the text
    for (QMenu* menu :
         {FileMenu, EditMenu, SearchMenu, ProjectMenu, SimulateMenu, DebugMenu, ConfigureMenu, HelpMenu}) {
        auto* key = new QAction(&window);
        key->setShortcut(QKeySequence::mnemonic(menu->title()));
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, menu] { OpenMenu(menu); });
        window.addAction(key);
    }
}

void TMainForm::OpenMenu(QMenu* menu) {
    if (!menu->menuAction()->isVisible())
        return;  // the hidden Debug menu stays hidden
    raise();
    activateWindow();
    menuBar()->setActiveAction(menu->menuAction());
}
