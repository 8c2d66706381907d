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
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>

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
    return {EntryWidth(option.widget,
                       option.fontMetrics.horizontalAdvance(ShownMessage(index.data().toString())) + 4),
            14};
}

void StyleMessageList(QListWidget* list) {
    if (!qobject_cast<TMessageDelegate*>(list->itemDelegate()))
        StyleWhiteOnBlackList(list, new TMessageDelegate(list));
}

TMessages::TMessages(TMessageContext context, TEditorWindows& editors, DocumentManager& documents,
                     Prompter& prompter, QObject* parent)
    : QObject(parent),
      context_(std::move(context)),
      editors_(editors),
      documents_(documents),
      prompter_(prompter) {
    QListWidget* list = context_.projectList;
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

QListWidget* TMessages::editorList() const {
    return firstEditor() ? firstEditor()->MessageList : nullptr;
}

void TMessages::attachEditor(TEditor* window) {
    QListWidget* list = window->MessageList;
    StyleMessageList(list);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    keepInStep(list, context_.projectList);
    keepInStep(context_.projectList, list);
}

void TMessages::keepInStep(QListWidget* from, QListWidget* to) {
    connect(from, &QListWidget::currentRowChanged, to, [to](int row) {
        if (row >= 0 && row < to->count() && to->currentRow() != row)
            to->setCurrentRow(row);
    });
}

void TMessages::ClearLists() {
    context_.projectList->clear();
    if (context_.activeSource() && editorList())
        editorList()->clear();
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
    QListWidget* editor = editing ? editorList() : nullptr;
    context_.projectList->addItems(lines);
    if (editor)
        editor->addItems(lines);
    context_.projectList->setCurrentRow(0);
    context_.showMessagesTab();
    if (editor) {
        editor->show();
        editor->setCurrentRow(NextMessageIndex);
    }
    OpenMessage(lines.front());
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

void TMessages::NextMessage() {
    QListWidget* list = context_.projectList;
    if (list->count() == 0 || !context_.activeSource())
        return;
    if (NextMessageIndex >= list->count()) {
        prompter_.information(kNoMoreMessages);
        NextMessageIndex = 0;
        return;
    }
    if (context_.projectFormat() != 1)
        return;
    QString text = list->item(NextMessageIndex)->text();
    list->setCurrentRow(NextMessageIndex);
    if (QListWidget* editor = editorList(); editor && NextMessageIndex < editor->count())
        editor->setCurrentRow(NextMessageIndex);
    if (firstEditor())
        firstEditor()->ClearErrorLine();
    OpenMessage(text);
    ++NextMessageIndex;
}

void TMessages::MessageDblClick() {
    QList<QListWidgetItem*> selected = context_.projectList->selectedItems();
    if (selected.isEmpty()) {
        prompter_.information(kNoMessageSelected);
        return;
    }
    if (!selected.front()->text().isEmpty())
        OpenMessage(selected.front()->text());
}

void TMessages::ListDblClick(TEditor* window) {
    QList<QListWidgetItem*> selected = window->MessageList->selectedItems();
    if (!selected.isEmpty() && !selected.front()->text().isEmpty())
        OpenMessage(selected.front()->text());
}

void TMessages::ShowExplanation(TEditor* window) {
    QList<QListWidgetItem*> selected = window->MessageList->selectedItems();
    if (selected.isEmpty())
        return;
    prompter_.information(ExplanationOf(selected.front()->text(), context_.projectFormat()));
}

void TMessages::activate(QListWidget* list) {
    if (list == context_.projectList) {
        MessageDblClick();
        return;
    }
    for (TEditor* window : editors_.windows())
        if (window->MessageList == list)
            ListDblClick(window);
}

bool TMessages::listEvent(QListWidget* list, QEvent* event) {
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
    return false;
}

bool TMessages::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    bool key = type == QEvent::KeyPress;
    bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (key || mouse) {
        auto* list = qobject_cast<QListWidget*>(mouse ? watched->parent() : watched);
        if (list && (mouse ? list->viewport() == watched : true))
            return listEvent(list, event);
    }
    return QObject::eventFilter(watched, event);
}
