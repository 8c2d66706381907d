// SPDX-License-Identifier: GPL-3.0-or-later
// The Project window: owner-drawn lists, opening an entry's file, the keys of the Files list.
#include "shell/ProW.h"

#include "assembler/ErrorLine.h"
#include "assembler/Messages.h"
#include "editctl/DocumentManager.h"
#include "platform/Lists.h"
#include "platform/Prompter.h"
#include "platform/WindowStacking.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Project.h"
#include "shell/Services.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// White bold Arial on black; the selected line keeps those colours and gets a yellow frame, and no line
// shows a focus rectangle.
class TOwnerDrawDelegate : public QStyledItemDelegate {
  public:
    TOwnerDrawDelegate(int lineHeight, QObject* parent)
        : QStyledItemDelegate(parent), lineHeight_(lineHeight) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->fillRect(option.rect, Qt::black);
        painter->setFont(option.font);
        painter->setPen(Qt::white);
        QRect text = option.rect.adjusted(2, 0, 0, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QColor(255, 255, 0));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {EntryWidth(option.widget, option.fontMetrics.horizontalAdvance(index.data().toString()) + 4),
                lineHeight_};
    }

  private:
    int lineHeight_;
};

QListWidget* OwnerDrawnList(const char* name, int lineHeight) {
    auto* list = new QListWidget;
    list->setObjectName(name);
    StyleWhiteOnBlackList(list, new TOwnerDrawDelegate(lineHeight, list));
    TrackWidestEntry(list);
    return list;
}

QWidget* Page(QWidget* list) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return page;
}

Prompter& ThePrompter() {
    return MainForm->services().prompter;
}

}  // namespace

TProWindow::TProWindow(QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint) {
    setObjectName("ProWindow");
    setWindowTitle("Project");
    resize(500, 170);
    PCProWindow = new QTabWidget(this);
    PCProWindow->setObjectName("PCProWindow");
    PCProWindow->tabBar()->setAttribute(Qt::WA_Hover);
    ProList = OwnerDrawnList("ProList", 16);
    Messages = new TMessageModel(this);
    MessageList = new QListView;
    MessageList->setObjectName("MessageList");
    ShowMessagesIn(MessageList, Messages);
    StyleMessageList(MessageList);
    TSFiles = Page(ProList);
    TSFiles->setObjectName("TSFiles");
    TSMessages = Page(MessageList);
    TSMessages->setObjectName("TSMessages");
    PCProWindow->addTab(TSFiles, "Files");
    PCProWindow->addTab(TSMessages, "Messages");
    PCProWindow->setCurrentWidget(TSFiles);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PCProWindow);
    ProList->installEventFilter(this);
    ProList->viewport()->installEventFilter(this);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
    // a maximised editor window must never hide it: it stays above the program's other windows
    KeepAboveProgramWindows(*this);
}

void TProWindow::closeEvent(QCloseEvent* event) {
    // only the end of the program closes it
    if (MainForm && MainForm->ending())
        event->accept();
    else
        event->ignore();
}

void TProWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // no maximise button; a window manager that maximises it all the same sees it return to normal
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        QTimer::singleShot(0, this, [this] {
            if (windowState() & Qt::WindowMaximized)
                setWindowState(windowState() & ~Qt::WindowMaximized);
        });
}

bool TProWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProList && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        return ProKeyPress(key) || ProKeyDown(key);
    }
    if (watched == ProList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        if (MainForm)
            MainForm->RunCommand([this] { ListDblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TProWindow::ProKeyPress(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (MainForm)
        MainForm->RunCommand([this] { ListDblClick(); });
    return true;
}

bool TProWindow::ProKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete)
        return false;
    if (MainForm)
        MainForm->RunCommand([] { MainForm->ProjectRemoveClick(); });
    return true;
}

void TProWindow::RestoreIfMinimized() {
    if (isMinimized())
        showNormal();
}

void TProWindow::Reset() {
    ProList->clear();
    setWindowTitle("Project");
    Messages->clear();
    PCProWindow->setCurrentWidget(TSFiles);
    RestoreIfMinimized();
}

void TProWindow::ShowLoadedProject() {
    PCProWindow->setCurrentWidget(TSFiles);
    ProList->setFocus();
    SelectLine(0);
    RestoreIfMinimized();
}

QStringList TProWindow::Entries() const {
    QStringList entries;
    entries.reserve(ProList->count());
    for (int i = 0; i < ProList->count(); ++i)
        entries << ProList->item(i)->text();
    return entries;
}

void TProWindow::AppendEntry(const QString& entry) {
    ProList->addItem(entry);
}

void TProWindow::DeleteEntry(int line) {
    delete ProList->takeItem(line);
}

void TProWindow::SelectLine(int line) {
    if (line >= 0 && line < ProList->count()) {
        ProList->setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
        ProList->scrollToItem(ProList->item(line));
    } else {
        ProList->clearSelection();
        ProList->setCurrentRow(-1);
    }
}

int TProWindow::SelectedLine() const {
    QList<QListWidgetItem*> selected = ProList->selectedItems();
    return selected.isEmpty() ? -1 : ProList->row(selected.first());
}

void TProWindow::ListDblClick() {
    if (!MainForm)
        return;  // the prompter comes with the main window
    int line = SelectedLine();
    if (line < 0) {
        ThePrompter().information("No item selected, please select one");
        return;
    }
    QString entry = ProList->item(line)->text();
    if (entry.isEmpty())
        return;
    // a bare name lies in the project's folder, as it does for the build
    QString path = QString::fromStdString(ResolveProjectFile(ProjectDir, entry.toStdString()));
    bool editing = ActiveSource() != nullptr;
    if (editing && EditorWindows)
        EditorWindows->RestoreFirstIfMinimized();
    TDocument* document = Documents ? Documents->open(path) : nullptr;
    if (!document) {
        ThePrompter().error("The file cannot be found");
        return;
    }
    if (!editing && EditorWindows)
        EditorWindows->MaximizeWindowOf(document);
    // once the double-click is through, which would leave this window active
    RefocusEditorSoon();
}
