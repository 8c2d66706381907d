// SPDX-License-Identifier: GPL-3.0-or-later
// The index kept in step with the documents and the files.
#include "editor/ProgramSymbols.h"

#include "editctl/Document.h"
#include "editctl/DocumentManager.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QTimer>

#include <Qsci/qsciscintilla.h>

TProgramSymbols::TProgramSymbols(DocumentManager& documents, QObject* parent)
    : QObject(parent), documents_(documents), watcher_(new QFileSystemWatcher(this)), syncTimer_(new QTimer(this)) {
    syncTimer_->setSingleShot(true);
    syncTimer_->setInterval(kSyncDelayMs);
    connect(syncTimer_, &QTimer::timeout, this, [this] {
        int synced = 0;
        for (TDocument* document : std::exchange(pending_, {}))
            if (documents_.find(document->fileName()) == document)
                synced += Sync(document) ? 1 : 0;
        if (synced > 1)
            lastChange_.namesChanged = true;  // what is told of is the last only: all is looked at again
        if (synced > 0)
            emit changed();
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TProgramSymbols::fileChangedOnDisk);
    connect(&documents_, &DocumentManager::documentClosing, this, [this](TDocument* document) {
        pending_.removeAll(document);
        // what is on disk holds again once the editor's text is gone
        std::string path = PathOf(document);
        if (!path.empty() && index_->file(path)) {
            index_->RemoveFile(path);
            index_->AddFile(path);
            lastChange_ = Change();
            emit changed();
        }
    });
}

std::string TProgramSymbols::PathOf(const TDocument* document) {
    if (!document || document->isUntitled())
        return {};
    return QDir::cleanPath(QFileInfo(document->fileName()).absoluteFilePath()).toStdString();
}

void TProgramSymbols::Clear() {
    index_ = std::make_unique<picsym::SymbolIndex>();
    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    lastChange_ = Change();
    emit changed();
}

void TProgramSymbols::SetProject(const QStringList& files, const QStringList& includeFolders) {
    index_ = std::make_unique<picsym::SymbolIndex>();
    std::vector<std::string> folders;
    for (const QString& folder : includeFolders)
        folders.push_back(folder.toStdString());
    index_->SetIncludeFolders(folders);
    for (const QString& file : files) {
        std::string path = QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString();
        if (TDocument* open = documents_.find(QString::fromStdString(path)))
            Sync(open);
        else
            index_->AddFile(path);
    }
    // an open document an included file stands for is indexed as the user sees it
    for (TDocument* document : documents_.documents())
        if (index_->file(PathOf(document)))
            Sync(document);
    watchFiles();
    lastChange_ = Change();
    emit changed();
}

bool TProgramSymbols::Sync(TDocument* document) {
    std::string path = PathOf(document);
    if (path.empty() || !document->isPicSource())
        return false;
    QsciScintilla* buffer = document->buffer();
    long length = buffer->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const char* bytes = reinterpret_cast<const char*>(buffer->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    std::string_view text(bytes, size_t(length));
    const picsym::FileSymbols* known = index_->file(path);
    if (!known) {
        index_->SetText(path, text);
        lastChange_ = {document, 0, index_->file(path)->lineCount(), true};
        watchFiles();
        return true;
    }
    // the lines that differ lie between the common beginning and the common end, found by comparing the
    // indexed lines with the text in place: nothing is split or copied but what changed
    auto isEnd = [text](size_t at) { return at < text.size() && (text[at] == '\n' || text[at] == '\r'); };
    auto crlfBefore = [text](size_t at) { return at >= 2 && text[at - 2] == '\r' && text[at - 1] == '\n'; };
    bool endsInLineEnd = !text.empty() && isEnd(text.size() - 1);
    int total = text.empty() ? 0
                             : int(buffer->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)) - (endsInLineEnd ? 1 : 0);
    int old = known->lineCount();
    int first = 0;
    size_t head = 0;  // where line `first` of the text begins
    while (first < old && first < total) {
        const std::string& line = known->text(first);
        size_t after = head + line.size();
        if (after > text.size() || text.compare(head, line.size(), line) != 0 || (after < text.size() && !isEnd(after)))
            break;
        head = after < text.size() && text[after] == '\r' && after + 1 < text.size() && text[after + 1] == '\n'
                   ? after + 2
                   : std::min(after + 1, text.size());
        ++first;
    }
    int tail = 0;
    size_t end = text.size() - (endsInLineEnd ? (crlfBefore(text.size()) ? 2 : 1) : 0);  // past the last line
    while (tail < old - first && tail < total - first) {
        const std::string& line = known->text(old - 1 - tail);
        if (end < head + line.size() || text.compare(end - line.size(), line.size(), line) != 0)
            break;
        size_t start = end - line.size();
        bool firstOfTheRest = tail + 1 == total - first;
        if (firstOfTheRest ? start != head : (start == 0 || !isEnd(start - 1)))
            break;
        end = firstOfTheRest ? start : start - (crlfBefore(start) ? 2 : 1);
        ++tail;
    }
    int count = total - first - tail;  // the text's lines in place of the index's old - first - tail
    if (count == 0 && old - first - tail == 0)
        return false;
    std::vector<std::string_view> lines;
    lines.reserve(size_t(count));
    for (size_t at = head; int(lines.size()) < count;) {
        size_t stop = at;
        while (stop < text.size() && !isEnd(stop))
            ++stop;
        lines.push_back(text.substr(at, stop - at));
        at = stop < text.size() && text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n' ? stop + 2 : stop + 1;
    }
    // the names the replaced lines defined and the files they included, against those of the lines read now
    auto namesIn = [this, &path](int from, int count) {
        std::vector<std::string> names;
        const picsym::FileSymbols* file = index_->file(path);
        for (int line = from; line < from + count && line < file->lineCount(); ++line) {
            for (const picsym::Definition& definition : file->line(line).definitions)
                names.push_back(definition.name);
            if (!file->line(line).include.empty())
                names.push_back("\n" + file->line(line).include);
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    std::vector<std::string> before = namesIn(first, old - first - tail);
    int read = index_->Update(path, first, old - first - tail, lines);
    lastChange_ = {document, first, read, namesIn(first, read) != before || read > int(lines.size())};
    watchFiles();
    return true;
}

void TProgramSymbols::MarkUndefinedNames(TDocument* document, int first, int count) const {
    if (!document)
        return;
    QsciScintilla* buffer = document->buffer();
    int lines = document->lineCount();
    first = std::clamp(first, 0, lines);
    int end = count < 0 ? lines : std::min(lines, first + count);
    long from = buffer->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, first);
    long to = end >= lines ? buffer->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)
                           : buffer->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, end);
    buffer->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kUndefinedIndicator);
    buffer->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, from, to - from);
    std::string path = PathOf(document);
    const picsym::FileSymbols* file = index_->file(path);
    if (!file || index_->HasMissingInclude(path) || file->lineCount() != lines)
        return;
    for (int line = first; line < end; ++line) {
        const picsym::LineRecord& record = file->line(line);
        if (record.before.inMacro || record.after.inMacro)
            continue;
        for (const picsym::Use& use : record.uses) {
            if (!use.operand || index_->Knows(use.name))
                continue;
            long start = buffer->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line) + use.column;
            buffer->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, start, long(use.name.size()));
        }
    }
}

void TProgramSymbols::SyncSoon(TDocument* document) {
    if (!pending_.contains(document))
        pending_.push_back(document);
    syncTimer_->start();
}

void TProgramSymbols::watchFiles() {
    QStringList wanted;
    for (const std::string& path : index_->files())
        wanted << QString::fromStdString(path);
    QStringList watched = watcher_->files();
    for (const QString& path : wanted)
        if (!watched.contains(path))
            watcher_->addPath(path);
}

void TProgramSymbols::fileChangedOnDisk(const QString& path) {
    // an open document is what the user sees; the disk counts for the others
    if (documents_.find(path))
        return;
    std::string name = path.toStdString();
    index_->RemoveFile(name);
    index_->AddFile(name);
    if (QFileInfo::exists(path) && !watcher_->files().contains(path))
        watcher_->addPath(path);  // a file written anew by replacing it is watched again
    lastChange_ = Change();
    emit changed();
}
