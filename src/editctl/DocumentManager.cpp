// SPDX-License-Identifier: GPL-3.0-or-later
// The open documents of the editor library.
#include "editctl/DocumentManager.h"

#include "editctl/MemoOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Save-as entries: the registered text (which decides the preselection), the filter the dialog shows
// ("*.*" would hide names without a dot here) and the extension a bare name receives.
struct SaveType {
    const char* registered;
    const char* filter;
    const char* extension;
};
constexpr SaveType kSaveTypes[] = {{"Any file (*.*)", "Any file (*)", ""},
                                   {"Assembler file (*.asm)", "Assembler file (*.asm)", "asm"}};

}  // namespace

DocumentManager::DocumentManager(Prompter& prompter, const TMemoSourceOptions* options)
    : prompter_(prompter), options_(options), currentFolder_(QDir::currentPath()) {}

DocumentManager::~DocumentManager() = default;

std::vector<TDocument*> DocumentManager::documents() const {
    std::vector<TDocument*> list;
    for (const auto& d : documents_)
        list.push_back(d.get());
    return list;
}

void DocumentManager::setCurrent(TDocument* document) {
    if (current_ == document)
        return;
    current_ = document;
    emit currentChanged(document);
}

TDocument* DocumentManager::newDocument() {
    int n = 1;
    while (find(QString("Noname%1").arg(n)))
        ++n;
    return add(std::make_unique<TDocument>(QString("Noname%1").arg(n), true));
}

TDocument* DocumentManager::add(std::unique_ptr<TDocument> document) {
    TDocument* added = document.get();
    documents_.push_back(std::move(document));
    current_ = added;  // current before the windows hear of it, so they show the right one
    emit documentAdded(added);
    emit currentChanged(added);
    return added;
}

bool SameFile(const QString& a, const QString& b) {
    // names are compared as the file system does: exactly, once absolute and clean
    QFileInfo first(a), second(b);
    if (QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath()))
        return true;
    // two names of one file through symbolic links
    QString real = first.canonicalFilePath();
    return !real.isEmpty() && real == second.canonicalFilePath();
}

TDocument* DocumentManager::find(const QString& fileName) const {
    for (const auto& d : documents_)
        if (d->isUntitled() ? d->fileName() == fileName : SameFile(d->fileName(), fileName))
            return d.get();
    return nullptr;
}

TDocument* DocumentManager::open(const QString& path, QString* error) {
    QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (TDocument* already = find(full)) {
        setCurrent(already);
        return already;
    }
    QFile file(full);
    QFileInfo info(full);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        // a FIFO or a device is never opened: it could block or never end
        if (error)
            *error = QString("Cannot open %1: %2")
                         .arg(full, !info.exists() ? "No such file"
                                    : !info.isFile() ? "not a regular file"
                                                     : file.errorString());
        return nullptr;
    }
    auto document = std::make_unique<TDocument>(full, false);
    document->noteDiskState();
    document->loadBytes(file.readAll());
    document->setReadOnly(!QFileInfo(full).isWritable());
    currentFolder_ = QFileInfo(full).absolutePath();
    return add(std::move(document));
}

void DocumentManager::openWithDialog(const QStringList& filters) {
    FileDialogRequest request;
    request.title = "Open";
    request.filters = filters;
    request.selectedFilter = filters.isEmpty() ? QString() : filters.back();
    request.directory = currentFolder_;
    for (const QString& path : prompter_.openFiles(request, true).files) {
        QString error;
        if (!open(path, &error))
            prompter_.error(error);
    }
}

bool DocumentManager::anyModified() const {
    return std::any_of(documents_.begin(), documents_.end(), [](const auto& d) { return d->isModified(); });
}

bool DocumentManager::save(TDocument* document) {
    if (!document->isModified())
        return true;
    if (document->isUntitled())
        return saveAs(document);
    if (document->diskChange() == TDocument::DiskChange::Changed &&
        !prompter_.confirm(
            QString("%1 was changed by another program.\nSave over that change?").arg(document->fileName())))
        return false;
    QString error;
    bool backup = options_ && options_->Has(soCreateBackups);
    if (document->saveTo(document->fileName(), backup ? TDocument::Backup::Yes : TDocument::Backup::No,
                         error))
        return true;
    prompter_.error(error);
    return false;
}

bool DocumentManager::saveAs(TDocument* document) {
    FileDialogRequest request;
    request.title = "Save As";
    QString suffix = "*." + QFileInfo(document->fileName()).suffix().toUpper();
    for (const SaveType& type : kSaveTypes) {
        request.filters << type.filter;
        if (request.selectedFilter.isEmpty() && QString(type.registered).toUpper().contains(suffix))
            request.selectedFilter = type.filter;
    }
    if (request.selectedFilter.isEmpty())
        request.selectedFilter = request.filters.front();
    request.directory =
        document->isUntitled() ? QDir(currentFolder_).filePath(document->fileName()) : document->fileName();
    FileDialogResult chosen = prompter_.saveFile(request);
    if (chosen.files.isEmpty())
        return false;
    QString path = chosen.files.front();
    for (const SaveType& type : kSaveTypes) {
        if (chosen.selectedFilter != type.filter || !*type.extension || !QFileInfo(path).suffix().isEmpty())
            continue;
        // the dialog asked about the name as typed; the name with its extension may exist too
        path += QString(".") + type.extension;
        if (QFileInfo::exists(path) &&
            !prompter_.confirm(QString("%1 already exists.\nDo you want to replace it?").arg(path)))
            return false;
    }
    if (TDocument* other = find(QFileInfo(path).absoluteFilePath()); other && other != document) {
        prompter_.error(QString("%1 is open in another tab; close it before saving over it").arg(path));
        return false;
    }
    QString error;
    bool backup = options_ && options_->Has(soCreateBackups);
    if (!document->saveTo(path, backup ? TDocument::Backup::Yes : TDocument::Backup::No, error)) {
        prompter_.error(error);
        return false;
    }
    currentFolder_ = QFileInfo(path).absolutePath();
    return true;
}

void DocumentManager::noticeDiskChanges() {
    for (TDocument* document : documents()) {
        switch (document->diskChange()) {
            case TDocument::DiskChange::None:
                break;
            case TDocument::DiskChange::Changed:
                if (!document->isModified() && !document->reload())
                    document->noteDiskState();
                break;
            case TDocument::DiskChange::Deleted:
                document->noteDiskState();  // said once
                document->setModified(true);
                prompter_.information(QString("%1 was deleted by another program; save it to keep it.")
                                          .arg(document->fileName()));
                break;
        }
    }
}

bool DocumentManager::saveAll() {
    bool all = true;
    for (TDocument* document : documents())
        if (document->isModified())
            all = save(document) && all;
    return all;
}

bool DocumentManager::close(TDocument* document) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [document](const auto& d) { return d.get() == document; });
    if (it == documents_.end())
        return true;
    if (document->isModified()) {
        SaveAnswer answer = askSaveChanges(document, SaveButtons::YesNoCancel);
        if (answer == SaveAnswer::Cancel || (answer == SaveAnswer::Yes && !save(document)))
            return false;
    }
    emit documentClosing(document);
    it = std::find_if(documents_.begin(), documents_.end(),
                      [document](const auto& d) { return d.get() == document; });
    std::unique_ptr<TDocument> closing = std::move(*it);
    documents_.erase(it);
    if (current_ == document)
        setCurrent(documents_.empty() ? nullptr : documents_.back().get());
    return true;
}

bool DocumentManager::querySaveAll() {
    auto list = documents();
    bool saveRest = false;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        TDocument* document = *it;
        if (!document->isModified())
            continue;
        SaveAnswer answer = saveRest ? SaveAnswer::Yes : askSaveChanges(document);
        if (answer == SaveAnswer::Cancel)
            return false;
        if (answer == SaveAnswer::No)
            continue;
        saveRest = saveRest || answer == SaveAnswer::All;
        if (!save(document))
            return false;
    }
    return true;
}

bool DocumentManager::closeAll() {
    if (!querySaveAll())
        return false;
    while (!documents_.empty()) {
        TDocument* last = documents_.back().get();
        // answered already: what is still modified was meant to be discarded
        last->setModified(false);
        close(last);
    }
    return true;
}

SaveAnswer DocumentManager::askSaveChanges(TDocument* document, SaveButtons buttons) {
    return prompter_.askSave(QString("Save changes to %1?").arg(document->displayName()), buttons);
}
