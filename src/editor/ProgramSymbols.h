// SPDX-License-Identifier: GPL-3.0-or-later
// The symbol index of the project's program kept in step with what the user sees: the text of every open
// document as it is typed (only the lines that differ are read again), and the files on disk as other
// programs change them.
#pragma once

#include "editor/SymbolIndex.h"

#include <QObject>
#include <QStringList>

#include <memory>

class DocumentManager;
class QFileSystemWatcher;
class QTimer;
class TDocument;

class TProgramSymbols : public QObject {
    Q_OBJECT
  public:
    TProgramSymbols(DocumentManager& documents, QObject* parent = nullptr);

    const picsym::SymbolIndex& index() const { return *index_; }
    // The project's files (full paths) and the folders includes are looked for in after the including
    // file's own: the index starts again from them and what they include.
    void SetProject(const QStringList& files, const QStringList& includeFolders);
    void Clear();
    // Reads again, now, the lines of an open document that differ from what the index holds; true when any
    // line was read.
    bool Sync(TDocument* document);
    // The same a moment later, once the user pauses: typing stays fast.
    void SyncSoon(TDocument* document);
    // The file a document is indexed under ("" for an untitled one).
    static std::string PathOf(const TDocument* document);
    // Underlines, in `count` lines from `first` (all when count < 0), the names used as operands that the
    // index knows nowhere; only where it is certain: not in a file with an include it could not find, not in
    // a macro's lines. The marks are indicator kUndefinedIndicator of the document.
    void MarkUndefinedNames(TDocument* document, int first = 0, int count = -1) const;
    static constexpr int kUndefinedIndicator = 16;
    // What the last Sync changed: the lines read again, and whether a name came or went (then every
    // document's marks are looked at again, not only those lines).
    struct Change {
        TDocument* document = nullptr;
        int first = 0, count = 0;
        bool namesChanged = true;
    };
    const Change& lastChange() const { return lastChange_; }

    static constexpr int kSyncDelayMs = 150;

  signals:
    // The index changed: what shows it (the outline, the underlined names) looks again.
    void changed();

  private:
    void watchFiles();
    void fileChangedOnDisk(const QString& path);

    DocumentManager& documents_;
    std::unique_ptr<picsym::SymbolIndex> index_ = std::make_unique<picsym::SymbolIndex>();
    QFileSystemWatcher* watcher_;
    QTimer* syncTimer_;
    QList<TDocument*> pending_;
    Change lastChange_;
};
