// SPDX-License-Identifier: GPL-3.0-or-later
// The editor understands the program: the symbol index of the project kept as the user types, Go to
// Definition (also Ctrl+click), Back and Forward, Find References, hover help, completion, the Symbols
// window and undefined names underlined.
#include "shell/Main.h"

#include "assembler/ErrorLine.h"
#include "editctl/Document.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/AllReg.h"
#include "editor/PICParser.h"
#include "editor/MyEditUnit.h"
#include "editor/ProgramSymbols.h"
#include "gpsim/ProcessorHeader.h"
#include "platform/RegularFile.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Services.h"
#include "shell/SymbolHelp.h"
#include "shell/SymbolWindows.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

// The undefined-name marks: an indicator of their own, under the text, in the "Error Line" colour.
constexpr int kUndefinedIndicator = TProgramSymbols::kUndefinedIndicator;
constexpr int kErrorLineElement = 14;
constexpr int kCompletionList = 1;
constexpr size_t kMaxCompletions = 400;
constexpr size_t kMaxPlaces = 100;

QString HeaderFolder() {
    QString folder = qEnvironmentVariable("GPUTILS_HEADER_PATH");
    return folder.isEmpty() ? QString("/usr/share/gputils/header") : folder;
}

// Ctrl and a click of the left button on a word: its definition. Ctrl+Space: the completion list (taken
// before the control, which would type a space).
class EditorGestures : public QObject {
  public:
    EditorGestures(TMemo* memo, std::function<void(const QString&)> go, std::function<void()> complete)
        : QObject(memo), memo_(memo), go_(std::move(go)), complete_(std::move(complete)) {
        memo->viewport()->installEventFilter(this);
        memo->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Space || key->modifiers() != Qt::ControlModifier)
                return false;
            event->accept();
            if (event->type() == QEvent::KeyPress)
                complete_();
            return true;
        }
        if (watched != memo_->viewport() || event->type() != QEvent::MouseButtonRelease)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
            return false;
        QString word = memo_->wordAtPoint(mouse->position().toPoint());
        if (!word.isEmpty())
            QTimer::singleShot(0, memo_, [go = go_, word] { go(word); });
        return false;
    }

  private:
    TMemo* memo_;
    std::function<void(const QString&)> go_;
    std::function<void()> complete_;
};

// The part of a word typed before the caret: what completion completes and then replaces.
struct WordBegun {
    int line = 0, start = 0, column = 0;
    QString text;
};
WordBegun WordBegunAtCaret(TMemo& memo) {
    WordBegun begun;
    memo.getCursorPosition(&begun.line, &begun.column);
    QString text = memo.text(begun.line);
    begun.start = std::min(begun.column, int(text.size()));
    while (begun.start > 0 && (text[begun.start - 1].isLetterOrNumber() || text[begun.start - 1] == '_'))
        --begun.start;
    begun.text = text.mid(begun.start, begun.column - begun.start);
    return begun;
}

}  // namespace

void TMainForm::InstallSymbols() {
    Registry& registry = services_.settings.registry();
    programSymbols = new TProgramSymbols(services_.documents, this);
    SymbolsWindow = new TSymbolsWindow(services_.prompter, registry, this);
    ReferencesWindow = new TReferencesWindow(services_.prompter, registry, this);
    addMenuKeys(*SymbolsWindow);
    addMenuKeys(*ReferencesWindow);
    auto jump = [this](const picsym::Location& where) { GoToPlace(where, Remember::Yes); };
    connect(SymbolsWindow, &TSymbolsWindow::jumpTo, this, jump);
    connect(ReferencesWindow, &TReferencesWindow::jumpTo, this, jump);
    connect(programSymbols, &TProgramSymbols::changed, this, [this] {
        headerRegistersFor_.clear();
        // typing that defines no name and removes none: only the lines it touched are looked at again
        const TProgramSymbols::Change& change = programSymbols->lastChange();
        if (!change.namesChanged && services_.documents.find(change.document ? change.document->fileName() : QString()) == change.document) {
            programSymbols->MarkUndefinedNames(change.document, change.first, change.count);
            return;  // the outline's names and lines are as they were
        }
        for (TDocument* document : services_.documents.documents())
            ShowUndefinedNames(document);
        ShowOutline();
    });
    connect(&services_.documents, &DocumentManager::documentAdded, this, [this](TDocument* document) {
        if (programSymbols->index().file(TProgramSymbols::PathOf(document)) && programSymbols->Sync(document))
            emit programSymbols->changed();
    });
    connect(&services_.documents, &DocumentManager::currentChanged, this, [this] { ShowOutline(); });
}

void TMainForm::IndexProject() {
    if (!ProjectClose->isEnabled()) {
        programSymbols->Clear();
        return;
    }
    QStringList files;
    for (const QString& entry : ProWindow->Entries())
        files << QString::fromStdString(ResolveProjectFile(ProjectDir, entry.toStdString()));
    programSymbols->SetProject(files, {QString::fromStdString(ProjectDir), HeaderFolder()});
}

void TMainForm::WireSymbols(TEditor* window) {
    TMemo* memo = window->Memo;
    memo->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kUndefinedIndicator, QsciScintillaBase::INDIC_SQUIGGLE);
    memo->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kUndefinedIndicator,
                        memo->lineStyleBackground(kErrorLineElement));
    // Alt+Left and Alt+Right walk the places visited, whatever the editor control would do with them
    for (int key : {QsciScintillaBase::SCK_LEFT, QsciScintillaBase::SCK_RIGHT})
        memo->SendScintilla(QsciScintillaBase::SCI_CLEARCMDKEY, long(key + (QsciScintillaBase::SCMOD_ALT << 16)));
    // the control reports no insertions (see QuietTextChangeNotices): a content update of its screen says
    // the text may have changed, and the index looks once the user pauses
    connect(memo, &QsciScintillaBase::SCN_UPDATEUI, this, [this, memo](int updated) {
        if (TDocument* document = memo->document(); document && (updated & QsciScintillaBase::SC_UPDATE_CONTENT))
            programSymbols->SyncSoon(document);
    });
    connect(memo, &QsciScintilla::cursorPositionChanged, this, [this, memo](int line, int) {
        if (SymbolsWindow->isVisible() && memo->document() == ActiveSource())
            SymbolsWindow->FollowLine(line);
    });
    new EditorGestures(
        memo, [this](const QString& word) { GoToDefinition(word); }, [this, window] { ShowCompletion(window); });
    connect(memo, &QsciScintilla::userListActivated, this, [memo](int id, const QString& chosen) {
        if (id != kCompletionList)
            return;
        // the word begun before the caret becomes the name chosen
        WordBegun begun = WordBegunAtCaret(*memo);
        memo->setSelection(begun.line, begun.start, begun.line, begun.column);
        memo->replaceSelectedText(chosen.section(' ', 0, 0));
    });
}

QString TMainForm::HoverHelp(const QString& word) {
    if (word.isEmpty())
        return {};
    QStringList parts;
    if (QString live = StoppedValueTip(word); !live.isEmpty())
        parts << live;  // what the stopped program holds comes first
    if (QString keyword = KeywordHelp(word); !keyword.isEmpty())
        parts << keyword;
    else if (QString symbol = SymbolHelp(word, programSymbols->index(), HeaderRegisters()); !symbol.isEmpty())
        parts << symbol;
    return parts.join("\n\n");
}

const std::vector<SpecialRegister>& TMainForm::HeaderRegisters() {
    // the bits of the part's registers, from the processor header the program includes
    if (!headerRegistersFor_.empty())
        return headerRegisters_;
    headerRegistersFor_ = "-";
    headerRegisters_.clear();
    QString folder = HeaderFolder() + "/";
    for (const std::string& path : programSymbols->index().files())
        if (QString::fromStdString(path).startsWith(folder) && QFileInfo(QString::fromStdString(path)).fileName().startsWith("p")) {
            std::string why;
            if (auto text = ReadRegularFile(path, 4 * 1024 * 1024, why)) {
                headerRegisters_ = ReadSpecialRegisters(*text);
                headerRegistersFor_ = path;
                break;
            }
        }
    return headerRegisters_;
}

void TMainForm::ShowUndefinedNames(TDocument* document) {
    programSymbols->MarkUndefinedNames(document);
}

void TMainForm::ShowOutline() {
    if (!SymbolsWindow || !SymbolsWindow->isVisible())
        return;
    TDocument* document = ActiveSource();
    SymbolsWindow->ShowSymbols(programSymbols->index().Outline(TProgramSymbols::PathOf(document)));
    if (document)
        SymbolsWindow->FollowLine(document->caretLine());
}

QString TMainForm::WordAtCaret() const {
    TMemo* memo = currentMemo();
    if (!memo)
        return {};
    int line = 0, column = 0;
    memo->getCursorPosition(&line, &column);
    return memo->wordAtLineIndex(line, column);
}

void TMainForm::GoToDefinition(const QString& word) {
    if (word.isEmpty())
        return;
    TDocument* document = ActiveSource();
    if (document)
        programSymbols->Sync(document);
    std::vector<picsym::Symbol> found = programSymbols->index().Definitions(word.toStdString());
    if (found.empty()) {
        SetEditorStatusText(5, QString("No definition of %1 in the project").arg(word));
        return;
    }
    GoToPlace(found.front().where, Remember::Yes);
    SetEditorStatusText(5, found.size() > 1 ? QString("%1 is defined %2 times; this is the first").arg(word).arg(found.size())
                                            : QString());
}

TMainForm::Place TMainForm::CurrentPlace() const {
    TDocument* document = ActiveSource();
    TMemo* memo = currentMemo();
    if (!document || document->isUntitled())
        return {};
    int line = document->caretLine(), column = 0;
    if (memo && memo->document() == document)
        memo->getCursorPosition(&line, &column);
    return {FullPathOf(document), line, column};
}

QString TMainForm::FullPathOf(const TDocument* document) {
    return QString::fromStdString(TProgramSymbols::PathOf(document));
}

void TMainForm::GoToPlace(const picsym::Location& where, Remember remember) {
    Place here = CurrentPlace();
    QString error;
    TDocument* document = services_.documents.open(QString::fromStdString(where.file), &error);
    if (!document) {
        services_.prompter.error(error);
        return;
    }
    if (remember == Remember::Yes && !here.file.isEmpty()) {
        backPlaces_.push_back(here);
        if (backPlaces_.size() > kMaxPlaces)
            backPlaces_.erase(backPlaces_.begin());
        forwardPlaces_.clear();
    }
    if (services_.editors)
        services_.editors->ShowAndRaise(document);
    if (TEditor* window = services_.editors ? services_.editors->first() : nullptr;
        window && window->Memo->document() == document) {
        window->Memo->setCursorPosition(where.line, where.column);
        window->Memo->ensureLineVisible(where.line);
        RefocusEditorSoon();
    } else {
        document->setCaretLine(where.line);
    }
    SearchBack->setEnabled(!backPlaces_.empty());
    SearchForward->setEnabled(!forwardPlaces_.empty());
}

void TMainForm::SearchGoToDefinitionClick() {
    GoToDefinition(WordAtCaret());
}

void TMainForm::WalkPlaces(std::vector<Place>& from, std::vector<Place>& to) {
    // the last place of one list is gone to; where the caret was goes onto the other
    if (from.empty())
        return;
    Place next = from.back();
    from.pop_back();
    to.push_back(CurrentPlace());
    GoToPlace({next.file.toStdString(), next.line, next.column}, Remember::No);
}

void TMainForm::SearchBackClick() {
    WalkPlaces(backPlaces_, forwardPlaces_);
}

void TMainForm::SearchForwardClick() {
    WalkPlaces(forwardPlaces_, backPlaces_);
}

void TMainForm::SearchFindReferencesClick() {
    QString word = WordAtCaret();
    if (word.isEmpty())
        return;
    if (TDocument* document = ActiveSource())
        programSymbols->Sync(document);
    std::vector<picsym::Location> places = programSymbols->index().References(word.toStdString());
    QStringList texts;
    for (const picsym::Location& place : places) {
        const picsym::FileSymbols* file = programSymbols->index().file(place.file);
        texts << (file && place.line < file->lineCount() ? QString::fromStdString(file->text(place.line)) : QString());
    }
    ReferencesWindow->ShowReferences(word, places, texts);
    ShowDebugWindow(ReferencesWindow, 6);
    ReferencesWindow->List->setFocus();
}

void TMainForm::SearchSymbolsClick() {
    ShowDebugWindow(SymbolsWindow, 5);
    ShowOutline();
}

void TMainForm::ShowCompletion(TEditor* window) {
    TMemo* memo = window->Memo;
    QString prefix = WordBegunAtCaret(*memo).text;
    if (TDocument* document = memo->document())
        programSymbols->Sync(document);
    QStringList items = CompletionItems(prefix);
    if (items.isEmpty()) {
        SetEditorStatusText(5, QString("Nothing to complete %1 with").arg(prefix.isEmpty() ? "here" : prefix));
        return;
    }
    memo->SendScintilla(QsciScintillaBase::SCI_AUTOCSETSEPARATOR, long('\n'));
    memo->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1L);
    memo->SendScintilla(QsciScintillaBase::SCI_AUTOCSETMAXHEIGHT, 12L);
    memo->showUserList(kCompletionList, items);
}

QStringList TMainForm::CompletionItems(const QString& prefix) {
    // mnemonics, directives, the program's symbols and the part's registers and bits, with kind and value
    QStringList items;
    std::string folded = prefix.toLower().toStdString();
    auto matches = [&folded](std::string_view word) {
        if (word.size() < folded.size())
            return false;
        for (size_t i = 0; i < folded.size(); ++i)
            if (std::tolower(uint8_t(word[i])) != uint8_t(folded[i]))
                return false;
        return true;
    };
    struct Words {
        std::span<const std::string_view> words;
        const char* kind;
    };
    for (const Words& list : {Words{TPICParser::Instructions(), "instruction"}, Words{TPICParser::Directives(), "directive"},
                              Words{TPICParser::DataDirectives(), "directive"}})
        for (std::string_view word : list.words)
            if (matches(word))
                items << QString::fromUtf8(word.data(), qsizetype(word.size())).toLower() + "  " + list.kind;
    for (const picsym::Symbol& symbol : programSymbols->index().Complete(prefix.toStdString(), kMaxCompletions)) {
        std::string_view kind = picsym::KindName(symbol.kind);
        QString item = QString::fromStdString(symbol.name) + "  " + QString::fromUtf8(kind.data(), qsizetype(kind.size()));
        if (symbol.value)
            item += " " + ValueText(*symbol.value);
        items << item;
    }
    for (const SpecialRegister& reg : HeaderRegisters())
        for (int bit = 0; bit < 8; ++bit)
            if (const std::string& name = reg.bits[size_t(bit)]; !name.empty() && matches(name) && !name.starts_with("/"))
                if (!programSymbols->index().Knows(name))
                    items << QString("%1  bit %2 of %3").arg(QString::fromStdString(name)).arg(bit).arg(QString::fromStdString(reg.name));
    items.sort(Qt::CaseInsensitive);
    items.removeDuplicates();
    return items;
}
