// SPDX-License-Identifier: GPL-3.0-or-later
// The message lists: reading the error file, opening and stepping through messages, explanations, drawing.
#include "assembler/Messages.h"

#include "assembler/ErrorLine.h"
#include "assembler/Explanations.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "platform/Lists.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

TMessageTarget MessageTarget(const QString& entry, const std::string& projectDir) {
    TErrorLine fields = ScanErrorLine(entry.toStdString());
    TMessageTarget target;
    if (!fields.file.empty())
        target.path = QString::fromStdString(MessageFilePath(fields.file, projectDir));
    target.line = fields.line;
    target.text = QString::fromStdString(fields.text);
    return target;
}

int HalfWindowLines(int clientHeight, int lineHeight) {
    if (lineHeight <= 0)
        return 0;
    return std::max(0, clientHeight / lineHeight - 1) / 2;
}

QString ExplanationOf(const QString& entry, int projectFormat) {
    if (projectFormat != 1)
        return {};
    return QString::fromStdString(ExplainMessage(entry.toStdString()));
}

void TMessageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    bool selected = option.state & QStyle::State_Selected;
    painter->save();
    // the selected entry keeps the list's colours; only its green frame sets it apart
    painter->fillRect(option.rect, Qt::black);
    painter->setFont(option.font);
    painter->setPen(Qt::white);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      ShownMessage(index.data().toString()));
    if (selected) {
        painter->setPen(QColor(0x00, 0xFF, 0x00));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize TMessageDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // one measured entry stands for all: it is as wide as the longest line, with a few wide letters to spare
    // for a narrower font's surprises
    QString widest = index.data().toString();
    int spare = 0;
    if (auto* model = qobject_cast<const TMessageModel*>(index.model())) {
        widest = model->longestLine();
        spare = option.fontMetrics.horizontalAdvance("WWWW");
    }
    return {option.fontMetrics.horizontalAdvance(ShownMessage(widest)) + 4 + spare, 14};
}

void StyleMessageList(QListView* list) {
    if (!qobject_cast<TMessageDelegate*>(list->itemDelegate()))
        StyleWhiteOnBlackList(list, new TMessageDelegate(list));
}

void ShowMessagesIn(QListView* list, TMessageModel* messages) {
    if (list->model() == messages)
        return;
    // the selection the view makes for itself with a model is replaced by the messages' own at once
    QItemSelectionModel* before = list->selectionModel();
    list->setModel(messages);
    QItemSelectionModel* made = list->selectionModel();
    list->setSelectionModel(messages->selection());
    delete made;
    if (before && before->parent() == list)
        delete before;
}

void ShowNothingIn(QListView* list, const TMessageModel* messages) {
    if (list->model() == messages)
        list->setModel(nullptr);
}

TMessages::TMessages(TMessageContext context, TEditorWindows& editors, DocumentManager& documents,
                     Prompter& prompter, QObject* parent)
    : QObject(parent),
      context_(std::move(context)),
      editors_(editors),
      documents_(documents),
      prompter_(prompter) {
    QListView* list = context_.projectList;
    ShowMessagesIn(list, context_.model);
    StyleMessageList(list);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    for (TEditor* window : editors_.windows())
        attachEditor(window);
    connect(&editors_, &TEditorWindows::created, this, &TMessages::attachEditor);
}

TEditor* TMessages::firstEditor() const {
    return editors_.first();
}

QListView* TMessages::editorList() const {
    return firstEditor() ? firstEditor()->MessageList : nullptr;
}

void TMessages::attachEditor(TEditor* window) {
    QListView* list = window->MessageList;
    StyleMessageList(list);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

void TMessages::ClearLists() {
    context_.model->clear();
    if (context_.activeSource() && editorList())
        ShowNothingIn(editorList(), context_.model);
}

void TMessages::LoadMessages(const QString& path) {
    NextMessageIndex = 0;
    bool cut = false;
    QStringList lines = ReadMessageLines(path, &cut);
    if (cut)
        prompter_.information(
            QString("%1 is too large: only its first %2 lines are shown.").arg(path).arg(lines.size()));
    if (lines.isEmpty()) {
        if (firstEditor())
            firstEditor()->Memo->setFocus();
        return;
    }
    bool editing = context_.activeSource() != nullptr;
    QListView* editor = editing ? editorList() : nullptr;
    QString first = lines.front();
    context_.model->setLines(std::move(lines));
    if (editor)
        ShowMessagesIn(editor, context_.model);
    selectRow(0);
    context_.showMessagesTab();
    if (editor)
        editor->show();
    OpenMessage(first);
    NextMessageIndex = 1;
}

void TMessages::OpenMessage(const QString& entry) {
    TMessageTarget target = MessageTarget(entry, context_.projectDir());
    if (target.path.isEmpty())
        return;  // a line outside the format names no file
    if (target.line <= 0) {
        // a message whose place cannot be read opens nothing: its text is what the user can have
        QString text = entry.contains(']') ? entry.section(']', 1).trimmed() : entry;
        editors_.SetStatusText(5, ShownMessage(text));
        return;
    }
    bool editing = context_.activeSource() != nullptr;
    if (editing && firstEditor() && firstEditor()->isMinimized())
        firstEditor()->maximize();
    QString error;
    TDocument* document = documents_.open(target.path, &error);
    if (!document) {
        prompter_.error(error);
        return;
    }
    if (!editing)
        editors_.MaximizeWindowOf(document);
    editors_.SetStatusText(5, ShownMessage(target.text));
    editors_.ShowAndRaise(document);
    TEditor* window = firstEditor();
    if (!window)
        return;
    placeCaret(window, target.line - 1);
    if (target.line >= 1 && target.line <= document->lineCount())
        window->MarkErrorLine();
    window->Memo->setFocus();
}

void TMessages::placeCaret(TEditor* window, int line) {
    if (line < 0)
        return;
    TMemo* memo = window->Memo;
    int last = std::max(0, memo->lines() - 1);
    int lineHeight = int(memo->SendScintilla(TMemo::SCI_TEXTHEIGHT, 0L));
    int below = HalfWindowLines(memo->viewport()->height(), lineHeight);
    // going down first scrolls the view so that about half a window follows the line
    memo->SendScintilla(TMemo::SCI_GOTOLINE, long(std::min(line, last)));
    memo->SendScintilla(TMemo::SCI_GOTOLINE, long(std::min<long long>(0LL + line + below, last)));
    memo->SendScintilla(TMemo::SCI_GOTOLINE, long(std::min(line, last)));
}

void TMessages::selectRow(int row) {
    context_.model->selection()->setCurrentIndex(context_.model->index(row),
                                                 QItemSelectionModel::ClearAndSelect);
}

void TMessages::NextMessage() {
    int count = context_.model->rowCount();
    if (count == 0 || !context_.activeSource())
        return;
    if (NextMessageIndex >= count) {
        prompter_.information(kNoMoreMessages);
        NextMessageIndex = 0;
        return;
    }
    if (context_.projectFormat() != 1)
        return;
    QString text = context_.model->line(NextMessageIndex);
    selectRow(NextMessageIndex);
    if (firstEditor())
        firstEditor()->ClearErrorLine();
    OpenMessage(text);
    ++NextMessageIndex;
}

namespace {

// The entry selected in the list; none when nothing is selected.
std::optional<QString> SelectedEntry(const QListView* list) {
    QModelIndexList selected =
        list->selectionModel() ? list->selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front().data().toString();
}

}  // namespace

void TMessages::MessageDblClick() {
    std::optional<QString> selected = SelectedEntry(context_.projectList);
    if (!selected) {
        prompter_.information(kNoMessageSelected);
        return;
    }
    if (!selected->isEmpty())
        OpenMessage(*selected);
}

void TMessages::ListDblClick(TEditor* window) {
    if (std::optional<QString> selected = SelectedEntry(window->MessageList);
        selected && !selected->isEmpty())
        OpenMessage(*selected);
}

void TMessages::ShowExplanation(TEditor* window) {
    if (std::optional<QString> selected = SelectedEntry(window->MessageList))
        prompter_.information(ExplanationOf(*selected, context_.projectFormat()));
}

void TMessages::activate(QListView* list) {
    if (list == context_.projectList) {
        MessageDblClick();
        return;
    }
    for (TEditor* window : editors_.windows())
        if (window->MessageList == list)
            ListDblClick(window);
}

bool TMessages::listEvent(QListView* list, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        activate(list);
        return true;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
        activate(list);
        return true;
    }
    bool rightPress =
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        mouse->button() == Qt::RightButton;
    if (!rightPress)
        return false;
    // the right button leaves the selection in both lists; in the editor's, it explains the selected entry
    for (TEditor* window : editors_.windows())
        if (window->MessageList == list && context_.projectFormat() == 1)
            ShowExplanation(window);
    return true;
}

bool TMessages::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    bool key = type == QEvent::KeyPress;
    bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (key || mouse) {
        auto* list = qobject_cast<QListView*>(mouse ? watched->parent() : watched);
        if (list && (mouse ? list->viewport() == watched : true))
            return listEvent(list, event);
    }
    return QObject::eventFilter(watched, event);
}
