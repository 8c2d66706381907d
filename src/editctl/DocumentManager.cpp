// The open documents of the editor library.
#include "editctl/DocumentManager.h"

#include "platform/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

TDocument::TDocument(QString fileName, bool untitled) : fileName_(std::move(fileName)), untitled_(untitled) {}

QString TDocument::displayName() const { return untitled_ ? fileName_ : QFileInfo(fileName_).fileName(); }

void TDocument::setBytes(QByteArray bytes) {
    bytes_ = std::move(bytes);
    setModified(true);
}

void TDocument::loadBytes(QByteArray bytes) { bytes_ = std::move(bytes); }

void TDocument::setModified(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

bool TDocument::saveTo(const QString& path, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.commit()) {
        error = QString("Cannot save %1: %2").arg(path, file.errorString());
        return false;
    }
    if (fileName_ != path || untitled_) {
        fileName_ = path;
        untitled_ = false;
        emit fileNameChanged(path);
    }
    setModified(false);
    return true;
}

DocumentManager::DocumentManager(Prompter& prompter) : prompter_(prompter) {}

DocumentManager::~DocumentManager() = default;

std::vector<TDocument*> DocumentManager::documents() const {
    std::vector<TDocument*> list;
    for (const auto& d : documents_) list.push_back(d.get());
    return list;
}

void DocumentManager::setCurrent(TDocument* document) {
    if (current_ == document) return;
    current_ = document;
    emit currentChanged(document);
}

TDocument* DocumentManager::newDocument() {
    int n = 1;
    while (find(QString("Noname%1").arg(n))) ++n;
    return add(std::make_unique<TDocument>(QString("Noname%1").arg(n), true));
}

TDocument* DocumentManager::add(std::unique_ptr<TDocument> document) {
    TDocument* added = document.get();
    documents_.push_back(std::move(document));
    emit documentAdded(added);
    setCurrent(added);
    return added;
}

TDocument* DocumentManager::find(const QString& fileName) const {
    for (const auto& d : documents_)
        if (d->fileName().compare(fileName, Qt::CaseInsensitive) == 0) return d.get();
    return nullptr;
}

TDocument* DocumentManager::open(const QString& path, QString* error) {
    QString full = QFileInfo(path).absoluteFilePath();
    if (TDocument* already = find(full)) {
        setCurrent(already);
        return already;
    }
    QFile file(full);
    if (!QFileInfo(full).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error) *error = QString("Cannot open %1: %2").arg(full, file.errorString());
        return nullptr;
    }
    auto document = std::make_unique<TDocument>(full, false);
    document->loadBytes(file.readAll());
    return add(std::move(document));
}

bool DocumentManager::anyModified() const {
    return std::any_of(documents_.begin(), documents_.end(), [](const auto& d) { return d->isModified(); });
}

bool DocumentManager::save(TDocument* document) {
    if (document->isUntitled()) return saveAs(document);
    QString error;
    if (document->saveTo(document->fileName(), error)) return true;
    prompter_.error(error);
    return false;
}

bool DocumentManager::saveAs(TDocument* document) {
    FileDialogRequest request;
    request.title = "Save As";
    request.filters = QStringList{"Assembler source (*.asm)", "Include file (*.inc)", "All files (*)"};
    request.directory = document->fileName();
    request.defaultSuffix = "asm";
    FileDialogResult chosen = prompter_.saveFile(request);
    if (chosen.files.isEmpty()) return false;
    QString error;
    if (document->saveTo(chosen.files.front(), error)) return true;
    prompter_.error(error);
    return false;
}

void DocumentManager::close(TDocument* document) {
    auto it = std::find_if(documents_.begin(), documents_.end(), [document](const auto& d) { return d.get() == document; });
    if (it == documents_.end()) return;
    emit documentClosing(document);
    std::unique_ptr<TDocument> closing = std::move(*it);
    documents_.erase(it);
    if (current_ == document) setCurrent(documents_.empty() ? nullptr : documents_.back().get());
}

SaveAnswer DocumentManager::askSaveChanges(TDocument* document) {
    return prompter_.askSave(QString("Save changes to %1?").arg(document->displayName()));
}
