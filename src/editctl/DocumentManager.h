// SPDX-License-Identifier: GPL-3.0-or-later
// The open documents of the editor library: naming, the current document, opening, saving, closing and
// the save questions.
#pragma once

#include "editctl/Document.h"
#include "platform/Prompter.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

struct TMemoSourceOptions;

// Two names of one file: equal once absolute and clean, or leading through symbolic links to one file.
bool SameFile(const QString& a, const QString& b);

class DocumentManager : public QObject {
    Q_OBJECT
  public:
    // options (may be null) says whether saving keeps a backup of the previous file.
    explicit DocumentManager(Prompter& prompter, const TMemoSourceOptions* options = nullptr);
    ~DocumentManager() override;

    // In the order they were opened, first opened first.
    std::vector<TDocument*> documents() const;
    TDocument* current() const { return current_; }
    void setCurrent(TDocument* document);

    // The folder dialogs start in and untitled documents lie in.
    const QString& currentFolder() const { return currentFolder_; }
    void setCurrentFolder(const QString& folder) { currentFolder_ = folder; }

    // A new untitled document "NonameN" with the smallest free N; it becomes current.
    TDocument* newDocument();
    // Takes over a document; it becomes current.
    TDocument* add(std::unique_ptr<TDocument> document);
    // Opens a file as a text document, or makes the open document of that file current; it becomes
    // current. Nothing when the file cannot be read (error says why).
    TDocument* open(const QString& path, QString* error = nullptr);
    // The open dialog (several files, the last filter preselected); opens each chosen file. An unreadable
    // file is reported with an error box.
    void openWithDialog(const QStringList& filters);
    // The open document of this file: its name exactly (a.asm and A.asm are two files), after making it
    // absolute and clean, or another name of the same file through a symbolic link. An untitled document
    // by its exact name.
    TDocument* find(const QString& fileName) const;
    bool anyModified() const;

    // Saves a modified document; an untitled one goes through save as. False when cancelled or failed
    // (the user was told why).
    bool save(TDocument* document);
    bool saveAs(TDocument* document);
    bool saveAll();
    // Asks "Save changes to %s?" (Yes, No, Cancel) for a modified document, then closes it; false when
    // the user cancelled or the save failed.
    bool close(TDocument* document);
    // Offers to save every modified document, the last opened first (Yes, No, Cancel, All); false when
    // cancelled or a save did not complete.
    bool querySaveAll();
    // querySaveAll, then closes every document.
    bool closeAll();

    // Documents whose files another program changed or deleted: an unmodified one is read again; a deleted
    // one is said once and marked modified, so that it is offered for saving rather than lost. A modified one
    // is left for Save to ask about.
    void noticeDiskChanges();

    SaveAnswer askSaveChanges(TDocument* document, SaveButtons buttons = SaveButtons::YesNoCancelAll);
    Prompter& prompter() { return prompter_; }

  signals:
    void documentAdded(TDocument* document);
    // Sent before a document is destroyed; the windows showing it drop its tab.
    void documentClosing(TDocument* document);
    void currentChanged(TDocument* document);

  private:
    Prompter& prompter_;
    const TMemoSourceOptions* options_;
    std::vector<std::unique_ptr<TDocument>> documents_;
    TDocument* current_ = nullptr;
    QString currentFolder_;
};
