// SPDX-License-Identifier: GPL-3.0-or-later
// The general code-editing form: tab path list, status bar updates and the popup menu's commands.
#include "editor/EditUnit.h"

#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolTip>
#include <QVBoxLayout>

bool TVerbDispatcher::IsEnabled(const QString& name) const {
    auto it = verbs_.find(name);
    return it != verbs_.end() && (!it->second.enabled || it->second.enabled());
}

bool TVerbDispatcher::Execute(const QString& name) const {
    if (!IsEnabled(name))
        return false;
    verbs_.at(name).execute();
    return true;
}

namespace {

struct PanelSpec {
    int width;
    Qt::Alignment alignment;
};

// The editor window's six panels, and the plain form's three.
const PanelSpec kEditorPanels[] = {{70, Qt::AlignRight}, {70, Qt::AlignLeft},  {70, Qt::AlignLeft},
                                   {125, Qt::AlignLeft}, {125, Qt::AlignLeft}, {50, Qt::AlignLeft}};
const PanelSpec kFormPanels[] = {{100, Qt::AlignRight}, {100, Qt::AlignLeft}, {50, Qt::AlignLeft}};

}  // namespace

TEditForm::TEditForm(DocumentManager& documents, int statusPanels, QWidget* parent)
    : QMainWindow(parent), documents_(documents) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    TabControl = new QTabBar(area);
    TabControl->setObjectName("TabControl");
    TabControl->setExpanding(false);
    TabControl->setDocumentMode(true);
    Memo = new TMemo(area);
    layout->addWidget(TabControl);
    layout->addWidget(Memo, 1);
    setCentralWidget(area);

    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(true);
    const PanelSpec* rows = statusPanels == 6 ? kEditorPanels : kFormPanels;
    for (int i = 0; i < statusPanels; ++i) {
        auto* panel = new QLabel(bar);
        panel->setAlignment(rows[i].alignment | Qt::AlignVCenter);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // the last panel takes the rest of the bar, so a long message text can be read
        bool last = i == statusPanels - 1;
        if (last)
            panel->setMinimumWidth(rows[i].width);
        else
            panel->setFixedWidth(rows[i].width);
        bar->addWidget(panel, last ? 1 : 0);
        panels_.push_back(panel);
    }
    setStatusBar(bar);

    PopupMenu1 = new QMenu(this);
    PopupClosePage = PopupMenu1->addAction("&Close Page");
    PopupClosePage->setObjectName("PopupClosePage");
    PopupClosePage->setShortcut(QKeySequence("Ctrl+F4"));
    PopupClosePage->setShortcutContext(Qt::WindowShortcut);
    addAction(PopupClosePage);
    PopupSave = PopupMenu1->addAction("&Save");
    PopupSave->setObjectName("PopupSave");
    PopupNewEditWindow = PopupMenu1->addAction("New &Edit Window");
    PopupNewEditWindow->setObjectName("PopupNewEditWindow");
    connect(PopupClosePage, &QAction::triggered, this, [this] { VerbDispatcher1.Execute("File.Close"); });
    connect(PopupSave, &QAction::triggered, this, [this] { VerbDispatcher1.Execute("File.Save"); });
    connect(PopupNewEditWindow, &QAction::triggered, this,
            [this] { VerbDispatcher1.Execute("View.NewEditWindow"); });
    PopupAddWatch = PopupMenu1->addAction("Add &Watch");
    PopupAddWatch->setObjectName("PopupAddWatch");
    connect(PopupAddWatch, &QAction::triggered, this, [this] {
        if (AddWatch && !popupWord_.isEmpty())
            AddWatch(popupWord_);
    });
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QToolTip::hideText();  // the menu is what the user asked for now
        popupWord_ = Memo->wordAtPoint(at);
        PopupAddWatch->setVisible(bool(AddWatch));
        PopupAddWatch->setEnabled(!popupWord_.isEmpty());
        PopupAddWatch->setText(popupWord_.isEmpty() ? "Add &Watch" : QString("Add &Watch: %1").arg(popupWord_));
        PopupMenu1->popup(Memo->mapToGlobal(at));
    });
    // resting the mouse on a word: its tooltip, when someone has one to give
    Memo->SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, 500);
    connect(Memo, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int position, int, int) { showHoverAt(position); });
    connect(Memo, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });

    // the library's own commands on the document of the current tab
    auto shown = [this] { return Memo->document(); };
    VerbDispatcher1.Register("File.Close", {shown, [this] { documents_.close(Memo->document()); }});
    VerbDispatcher1.Register("File.Save", {shown, [this] { documents_.save(Memo->document()); }});

    connect(TabControl, &QTabBar::currentChanged, this, [this] {
        if (!changingTabs_)
            showSelectedTab();
    });
    connect(Memo, &TMemo::stateChanged, this, &TEditForm::updateStatus);
    addTabKeys();
}

bool TEditForm::showHoverAt(int position) {
    if (!HoverText || position < 0 || QApplication::activePopupWidget())
        return false;  // never over an open menu
    int line = 0, index = 0;
    Memo->lineIndexFromPosition(position, &line, &index);
    QString text = HoverText(Memo->wordAtLineIndex(line, index));
    if (text.isEmpty())
        return false;
    long x = Memo->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(position));
    long y = Memo->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(position));
    QPoint below(int(x), int(y + Memo->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL)));
    QToolTip::showText(Memo->viewport()->mapToGlobal(below), text, Memo);
    return true;
}

const std::vector<TEditForm::TabKey>& TEditForm::TabKeys() {
    // the keys other editors use to go through their tabs, round from the last to the first
    static const std::vector<TabKey> keys = {
        {"Ctrl+Tab", 1}, {"Ctrl+Shift+Tab", -1}, {"Ctrl+PgDown", 1}, {"Ctrl+PgUp", -1}};
    return keys;
}

void TEditForm::addTabKeys() {
    for (const TabKey& row : TabKeys()) {
        auto* shortcut = new QShortcut(QKeySequence(row.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = row.step] { stepTab(step); });
    }
}

void TEditForm::stepTab(int step) {
    int count = TabControl->count();
    if (count < 2)
        return;
    TabControl->setCurrentIndex((TabControl->currentIndex() + step + count) % count);
    Memo->setFocus();
}

QString TEditForm::statusText(int panel) const {
    return panel >= 0 && panel < int(panels_.size()) ? panels_[size_t(panel)]->text() : QString();
}

void TEditForm::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < int(panels_.size()))
        panels_[size_t(panel)]->setText(text);
}

void TEditForm::showDocument(TDocument* document) {
    if (Memo->document() != document)
        tabAboutToChange();  // before another document takes the control's place
    Memo->showDocument(document);
    addOrSelectTab();
}

void TEditForm::addOrSelectTab() {
    TDocument* document = Memo->document();
    if (!document)
        return;
    int index = tabPaths_.indexOf(document->fileName());
    changingTabs_ = true;
    if (index < 0) {
        tabAboutToChange();
        index = TabControl->addTab(QFileInfo(document->fileName()).fileName());
        tabPaths_.insert(index, document->fileName());
        connect(document, &TDocument::fileNameChanged, this, &TEditForm::documentRenamed,
                Qt::UniqueConnection);
        TabControl->setCurrentIndex(index);
    } else if (TabControl->currentIndex() != index) {
        tabAboutToChange();
        TabControl->setCurrentIndex(index);
    }
    changingTabs_ = false;
    setWindowTitle(document->fileName());
}

void TEditForm::documentRenamed(const QString& oldName, const QString& newName) {
    int index = tabPaths_.indexOf(oldName);
    if (index < 0)
        return;
    tabPaths_[index] = newName;
    TabControl->setTabText(index, QFileInfo(newName).fileName());
    if (Memo->document() && Memo->document()->fileName() == newName)
        setWindowTitle(newName);
}

void TEditForm::showSelectedTab() {
    int index = TabControl->currentIndex();
    if (index < 0 || index >= tabPaths_.size())
        return;
    TDocument* document = documents_.find(tabPaths_[index]);
    if (Memo->document() != document)
        tabAboutToChange();
    Memo->showDocument(document);
    if (document) {
        setWindowTitle(document->fileName());
        documents_.setCurrent(document);
    }
}

void TEditForm::documentDestroyed(TDocument* document) {
    int index = tabPaths_.indexOf(document->fileName());
    bool wasShown = Memo->document() == document;
    if (index >= 0 && index < TabControl->count()) {
        tabAboutToChange();
        changingTabs_ = true;
        tabPaths_.removeAt(index);
        TabControl->removeTab(index);
        if (TabControl->count() > 0)
            TabControl->setCurrentIndex(std::min(index, TabControl->count() - 1));
        changingTabs_ = false;
    }
    if (wasShown)
        Memo->showDocument(nullptr);
    if (TabControl->count() > 0) {
        if (!Memo->document())
            showSelectedTab();
        return;
    }
    release();
}

void TEditForm::release() {
    emit releasing(this);
    close();
}

void TEditForm::updateStatus(int changes) {
    TDocument* document = Memo->document();
    if ((changes & TMemo::PositionChanged) && !panels_.empty())
        setStatusText(0, QString("%1: %2").arg(Memo->caretLine() + 1).arg(Memo->caretColumn() + 1));
    if ((changes & TMemo::TypingModeChanged) && panels_.size() > 2)
        setStatusText(2, Memo->isOverwrite() ? "Overwrite" : "Insert");
    if (panels_.size() > 1) {
        if (document && document->isReadOnly())
            setStatusText(1, "Read Only");
        else if (changes & TMemo::ModifiedChanged)
            setStatusText(1, document && document->isModified() ? "Modified" : "");
    }
    if (document && (changes & TMemo::ModifiedChanged) && windowTitle() != document->fileName())
        setWindowTitle(document->fileName());
}
