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
    std::vector<std::string_view> lines = picsym::SplitTextLines(std::string_view(bytes, size_t(length)));
    const picsym::FileSymbols* known = index_->file(path);
    if (!known) {
        index_->SetText(path, std::string_view(bytes, size_t(length)));
        lastChange_ = {document, 0, int(lines.size()), true};
        watchFiles();
        return true;
    }
    // the lines that differ lie between the common beginning and the common end
    int old = known->lineCount(), now = int(lines.size());
    int first = 0;
    while (first < old && first < now && known->text(first) == lines[size_t(first)])
        ++first;
    int tail = 0;
    while (tail < old - first && tail < now - first && known->text(old - 1 - tail) == lines[size_t(now - 1 - tail)])
        ++tail;
    if (first == old && first == now)
        return false;
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
    int read = index_->Update(path, first, old - first - tail,
                              std::span<const std::string_view>(lines.data() + first, size_t(now - first - tail)));
    lastChange_ = {document, first, read, namesIn(first, read) != before || read > now - first - tail};
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
