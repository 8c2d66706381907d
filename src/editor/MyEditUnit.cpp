// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window and the list of editor windows.
#include "editor/MyEditUnit.h"

#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/AllReg.h"
#include "editor/Placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QListView>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kPlacementKey[] = "Forms\\CodeEdit";
constexpr int kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3;

// The 44-byte placement record: length, flags, show command, minimised and maximised positions and the
// normal rectangle (left, top, right, bottom), each a little-endian 32-bit number.
std::vector<uint8_t> PlacementRecord(const QRect& normal, int showCommand) {
    int32_t fields[11] = {44,
                          0,
                          showCommand,
                          -1,
                          -1,
                          -1,
                          -1,
                          normal.left(),
                          normal.top(),
                          normal.left() + normal.width(),
                          normal.top() + normal.height()};
    std::vector<uint8_t> bytes;
    for (int32_t f : fields)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(uint32_t(f) >> (8 * i)));
    return bytes;
}

}  // namespace

std::optional<QRect> NormalRectOf(const std::vector<uint8_t>& bytes) {
    std::optional<TNormalRect> rect = DecodeNormalRect(bytes);
    if (!rect)
        return std::nullopt;
    return QRect(rect->left, rect->top, rect->width, rect->height);
}

QRect OnAScreen(const QRect& rect) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect.adjusted(0, 0, 0, -rect.height() + 40)))
            return rect;  // its title bar can be reached there
    // off every screen: brought onto the primary one, as large as fits
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QRect placed(area.topLeft(), rect.size().boundedTo(area.size()));
    placed.moveCenter(area.center());
    return placed;
}

namespace {

std::string PlacementKey() {
    return std::string(kBaseKey) + "\\" + kPlacementKey;
}

}  // namespace

const SchemeColours* SchemeColoursOf(const std::string& scheme) {
    static const SchemeColours defaults{0xFFFFFF, 0x000000, 0x000000};
    static const SchemeColours classic{0x800000, 0x00FFFF, 0x00FFFF};
    static const SchemeColours twilight{0x000000, 0xFFFFFF, 0xFFFFFF};
    if (scheme == "Default")
        return &defaults;
    if (scheme == "Classic")
        return &classic;
    if (scheme == "Twilight")
        return &twilight;
    return nullptr;
}

TEditor::TEditor(TEditorWindows& windows, SettingsStore& settings, DocumentManager& documents)
    : TEditForm(documents, 6), windows_(windows), settings_(settings) {
    setObjectName("CodeEdit");
    resize(700, 500);
    MessageList = new QListView(centralWidget());
    MessageList->setObjectName("MessageList");
    MessageList->setFixedHeight(75);  // its look and drawing come from the message lists
    MessageList->hide();
    centralWidget()->layout()->addWidget(MessageList);
    connect(MessageList, &QListView::pressed, this, [this] { ClearErrorLine(); });
    connect(Memo, &TMemo::userInteraction, this, [this] { ClearErrorLine(); });

    VerbDispatcher1.Register("View.NewEditWindow",
                             {[this] { return windows_.FirstEditorDocument() != nullptr; },
                              [this] { windows_.Show(windows_.FirstEditorDocument(), 6); }});
    applyOptions();
    loadPlacement();
}

TEditor::~TEditor() {
    if (!released_)
        savePlacement();  // a released window stored its placement as it went
    windows_.released(this);
}

void TEditor::applyOptions() {
    Memo->applyOptions(settings_.MemoSourceOptions(), settings_.MemoEnvOptions());
    applyScheme();
}

void TEditor::applyScheme() {
    if (const SchemeColours* colours = SchemeColoursOf(settings_.ColorSetting))
        Memo->applySchemeColours(colours->background, colours->text, colours->lineNumbers);
}

void TEditor::showEvent(QShowEvent* event) {
    TEditForm::showEvent(event);
    ClearErrorLine();  // a mark never outlives a hiding: its style goes back rather than being forgotten
    applyScheme();
    // a window maximised before it was shown learns its frame now
    if (maximized_ && !fittedWithFrame_)
        QTimer::singleShot(0, this, [this] {
            if (maximized_ && !fittedWithFrame_)
                fitWorkArea();
        });
}

void TEditor::maximize() {
    if (maximized_)
        return;
    restoreGeometry_ = geometry();
    maximized_ = true;
    fitWorkArea();
}

void TEditor::restoreFromMaximized() {
    if (!maximized_)
        return;
    maximized_ = false;
    fitting_ = true;
    setGeometry(restoreGeometry_);
    fitting_ = false;
}

namespace {

QMargins FrameExtent(const QWidget& window) {
    QRect frame = window.frameGeometry(), client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

}  // namespace

void TEditor::fitWorkArea() {
    QRect area = windows_.workArea(*this);
    // the window manager frames a window after it is shown; until then another framed window of ours tells
    // how much room the frame takes
    QMargins extent = FrameExtent(*this);
    fittedWithFrame_ = !extent.isNull();
    for (QWidget* other : QApplication::topLevelWidgets())
        if (extent.isNull() && other != this && other->isVisible())
            extent = FrameExtent(*other);
    fitting_ = true;
    move(area.topLeft());  // the frame's corner
    resize(area.size().shrunkBy(extent));
    fitting_ = false;
}

void TEditor::noticeGeometryChange() {
    if (!maximized_ || fitting_ || !isVisible())
        return;
    if (!fittedWithFrame_ && frameGeometry() != geometry()) {
        fitWorkArea();  // the frame came after the first fit
        return;
    }
    // the window manager may nudge a window by a few pixels; a real move or resize goes further
    QRect area = windows_.workArea(*this), frame = frameGeometry();
    auto near = [](int a, int b) { return std::abs(a - b) <= 8; };
    if (!near(frame.left(), area.left()) || !near(frame.top(), area.top()) ||
        !near(frame.width(), area.width()) || !near(frame.height(), area.height()))
        maximized_ = false;
}

void TEditor::moveEvent(QMoveEvent* event) {
    TEditForm::moveEvent(event);
    noticeGeometryChange();
}

void TEditor::resizeEvent(QResizeEvent* event) {
    TEditForm::resizeEvent(event);
    noticeGeometryChange();
}

void TEditor::MarkErrorLine() {
    TDocument* document = Memo->document();
    if (!document)
        return;
    ClearErrorLine();
    int line = Memo->caretLine();
    if (line >= document->lineCount())
        return;
    if (settings_.MemoEnvOptions().TextStyles.Find("Error Line")) {
        MarkedLineStyle = document->lineStyle(line);
        document->setLineStyle(line, 14);
    }
    MarkedLine = line;
    MarkedDocument = document;
}

void TEditor::ClearErrorLine() {
    if (MarkedLine == -1)
        return;
    if (MarkedDocument && MarkedDocument->lineStyle(MarkedLine) == 14)
        MarkedDocument->setLineStyle(MarkedLine, MarkedLineStyle);
    MarkedLine = -1;
    MarkedDocument = nullptr;
    setStatusText(5, "");
}

void TEditor::changeEvent(QEvent* event) {
    TEditForm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
        // the title bar's maximise button: undone once the window manager is through, then ours instead
        QTimer::singleShot(0, this, [this] {
            if (!(windowState() & Qt::WindowMaximized))
                return;
            bool wasMaximized = maximized_;
            setWindowState(windowState() & ~Qt::WindowMaximized);
            if (wasMaximized)
                restoreFromMaximized();
            else
                maximize();
        });
        return;
    }
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        windows_.activated(this);
        // back from another program: files it changed are read again before the user goes on (once the
        // activation is through, since it may need a message box)
        QMetaObject::invokeMethod(&documents_, &DocumentManager::noticeDiskChanges, Qt::QueuedConnection);
        // the commands of the main menu work on the document the user is looking at
        if (Memo->document())
            documents_.setCurrent(Memo->document());
    } else {
        ClearErrorLine();
    }
}

void TEditor::closeEvent(QCloseEvent* event) {
    if (released_ || windows_.ending()) {
        event->accept();
        return;
    }
    closing_ = true;
    bool closed = documents_.closeAll();
    closing_ = false;
    if (!closed) {
        event->ignore();
        return;
    }
    event->accept();
    savePlacement();
    released_ = true;
    emit releasing(this);
}

void TEditor::release() {
    // while the close handler runs, closing the documents must not pull the window away under it
    if (closing_ || released_)
        return;
    savePlacement();
    released_ = true;
    emit releasing(this);
    close();
}

void TEditor::loadPlacement() {
    Registry& registry = settings_.registry();
    auto bytes = registry.readBinary(RegRoot::CurrentUser, PlacementKey(), "WinPos");
    if (!bytes) {
        move(40, 160);  // below the main window's strip, which spans the top of the screen
        return;
    }
    if (auto rect = NormalRectOf(*bytes))
        setGeometry(OnAScreen(*rect));
    uint32_t state = registry.readDword(RegRoot::CurrentUser, PlacementKey(), "WindowState").value_or(0);
    if (state == 1)
        setWindowState(Qt::WindowMinimized);
    if (state == 2)
        maximize();
}

void TEditor::savePlacement() {
    Registry& registry = settings_.registry();
    QRect normal = maximized_ ? restoreGeometry_ : normalGeometry().isValid() ? normalGeometry() : geometry();
    int state = isMinimized() ? 1 : (maximized_ || isMaximized()) ? 2 : 0;
    int showCommand = state == 1 ? kShowMinimized : state == 2 ? kShowMaximized : kShowNormal;
    RegistryBatch batch(registry);
    registry.writeBinary(RegRoot::CurrentUser, PlacementKey(), "WinPos",
                         PlacementRecord(normal, showCommand));
    registry.writeDword(RegRoot::CurrentUser, PlacementKey(), "WindowState", uint32_t(state));
    batch.commit();
}

TEditorWindows::TEditorWindows(SettingsStore& settings, DocumentManager& documents)
    : settings_(settings), documents_(documents) {
    connect(&documents, &DocumentManager::documentAdded, this, [this](TDocument* d) {
        // a document just opened or made is where the user types next, whoever opened it
        FocusSoon(Show(d, 2));
    });
    connect(&documents, &DocumentManager::currentChanged, this, [this](TDocument* d) {
        if (d && first() && first()->tabPaths().contains(d->fileName()))
            Show(d, 0);
    });
    connect(&documents, &DocumentManager::documentClosing, this, [this](TDocument* d) {
        for (TEditor* window : std::vector<TEditor*>(windows_))
            window->documentDestroyed(d);
    });
}

TEditorWindows::~TEditorWindows() {
    for (TEditor* window : std::vector<TEditor*>(windows_))
        delete window;
}

TEditor* TEditorWindows::Show(TDocument* document, int flags) {
    TEditor* window = (flags & 4) ? nullptr : first();
    if (!window) {
        window = new TEditor(*this, settings_, documents_);
        windows_.insert(windows_.begin(), window);
        // a released window leaves the list at once, not when it is finally deleted
        connect(window, &TEditForm::releasing, this,
                [this](TEditForm* w) { released(static_cast<TEditor*>(w)); });
        emit created(window);
    }
    if (window->isMinimized())
        window->showNormal();
    window->showDocument(document);
    if ((flags & 2) || window->isHidden())
        window->show();
    return window;
}

void TEditorWindows::applyOptions() {
    for (TEditor* window : windows_)
        window->applyOptions();
}

TDocument* TEditorWindows::FirstEditorDocument() const {
    return first() ? first()->Memo->document() : nullptr;
}

void TEditorWindows::ShowAndRaise(TDocument* document) {
    TEditor* window = Show(document, 2);
    window->raise();
    window->activateWindow();
    window->Memo->setFocus();
    window->Memo->ensureCursorVisible();
}

void TEditorWindows::SetStatusText(int panel, const QString& text) {
    if (first())
        first()->setStatusText(panel, text);
}

void TEditorWindows::FocusSoon(TEditor* window) {
    // once the events of the moment are through: a closing menu or dialog would take the focus back
    QPointer<TEditor> target = window;
    QTimer::singleShot(0, window, [target] {
        if (!target || !target->isVisible() || target->isMinimized() || QApplication::activePopupWidget() ||
            QApplication::activeModalWidget())
            return;
        target->raise();
        target->activateWindow();
        target->Memo->setFocus();
        target->Memo->ensureCursorVisible();
    });
}

bool TEditorWindows::FirstOnScreen() const {
    return first() && first()->isVisible() && !first()->isMinimized();
}

void TEditorWindows::RestoreFirstIfMinimized() {
    if (first() && first()->isMinimized())
        first()->showNormal();
}

void TEditorWindows::MaximizeWindowOf(TDocument* document) {
    for (TEditor* window : windows_)
        if (window->Memo->document() == document)
            window->maximize();
}

QRect TEditorWindows::workArea(const QWidget& window) const {
    if (workArea_)
        return workArea_(window);
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

void TEditorWindows::ClearErrorMarks() {
    for (TEditor* window : windows_)
        window->ClearErrorLine();
}

void TEditorWindows::HideMessageList() {
    if (first())
        first()->MessageList->hide();
}

void TEditorWindows::activated(TEditor* window) {
    auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it != windows_.end())
        std::rotate(windows_.begin(), it, it + 1);
}

void TEditorWindows::released(TEditor* window) {
    std::erase(windows_, window);
}
