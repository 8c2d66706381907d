// The open documents of the editor library: naming, the current document, saving and the save questions.
#pragma once

#include "platform/Prompter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>


// A text document: its file name (a full path, or "NonameN" while untitled), its bytes and modified flag.
class TDocument : public QObject {
    Q_OBJECT
public:
    TDocument(QString fileName, bool untitled);

    const QString& fileName() const { return fileName_; }
    // The name shown in questions and tabs: the file name without its folder.
    QString displayName() const;
    bool isUntitled() const { return untitled_; }
    bool isModified() const { return modified_; }
    bool isText() const { return true; }

    const QByteArray& bytes() const { return bytes_; }
    void setBytes(QByteArray bytes);   // the user's edit: marks the document modified
    void loadBytes(QByteArray bytes);  // the file's own bytes: leaves the modified flag alone
    void setModified(bool modified);

    // Writes the bytes to the file atomically; on failure the file on disk is as it was.
    bool saveTo(const QString& path, QString& error);

signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& fileName);

private:
    QString fileName_;
    bool untitled_;
    bool modified_ = false;
    QByteArray bytes_;
};

class DocumentManager : public QObject {
    Q_OBJECT
public:
    explicit DocumentManager(Prompter& prompter);
    ~DocumentManager() override;

    // In the order they were opened, first opened first.
    std::vector<TDocument*> documents() const;
    TDocument* current() const { return current_; }
    void setCurrent(TDocument* document);

    // A new untitled document "NonameN" with the smallest free N; it becomes current.
    TDocument* newDocument();
    // Takes over a document (an opened file); it becomes current.
    TDocument* add(std::unique_ptr<TDocument> document);
    // Opens a file as a text document, or makes the open document of that name (letter case ignored)
    // current; it becomes current. Nothing when the file cannot be read (error says why).
    TDocument* open(const QString& path, QString* error = nullptr);
    // The open document with this file name, letter case ignored.
    TDocument* find(const QString& fileName) const;
    bool anyModified() const;

    // Saves a document; an untitled one goes through save as. False when cancelled or failed (the user
    // was told why).
    bool save(TDocument* document);
    bool saveAs(TDocument* document);
    void close(TDocument* document);

    // Asks "Save changes to %s?" with Yes, No, Cancel and All.
    SaveAnswer askSaveChanges(TDocument* document);

    Prompter& prompter() { return prompter_; }

signals:
    void documentAdded(TDocument* document);
    void documentClosing(TDocument* document);
    void currentChanged(TDocument* document);

private:
    Prompter& prompter_;
    std::vector<std::unique_ptr<TDocument>> documents_;
    TDocument* current_ = nullptr;
};
