// SPDX-License-Identifier: GPL-3.0-or-later
// A text document of the editor library: a Scintilla buffer shared by every control that shows it,
// kept byte for byte as the file holds it.
#pragma once

#include <Qsci/qsciscintilla.h>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QsciDocument;

// How the file's bytes are shown: as UTF-8 when they are valid UTF-8, else one byte per character.
enum class TextEncoding { Utf8, Latin1 };
enum class LineEnd { CrLf, Lf, Cr };

// Line styles a document keeps per line: 0 for none, else the index of a colour element. Each is kept as
// a marker (drawn as the line's background) and an indicator over the line's text (its text colour).
inline constexpr int kNoLineStyle = 0;
inline constexpr int kLineStyleCount = 5;
inline constexpr int kLineStyleElements[kLineStyleCount] = {13, 14, 16, 17, 18};  // BreakPoint .. Bookmark
inline constexpr int kLineStyleMarkerBase = 20;
inline constexpr int kLineStyleIndicatorBase = 8;

// Gutter marks: a breakpoint's symbol per line, one marker each (Breakpoint, Conditional, Disabled), just
// below the line styles' markers. Not among the folding markers (25..31): a margin showing any of those is
// painted in Scintilla's fold pattern instead of the gutter's colour.
inline constexpr int kGutterMarkMarkerBase = 17;
inline constexpr int kGutterMarkCount = 3;
inline constexpr int kGutterMarkMask = ((1 << kGutterMarkCount) - 1) << kGutterMarkMarkerBase;
static_assert(kGutterMarkMarkerBase + kGutterMarkCount <= kLineStyleMarkerBase);

class TDocument : public QObject {
    Q_OBJECT
  public:
    TDocument(QString fileName, bool untitled);
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    ~TDocument() override;

    const QString& fileName() const { return fileName_; }
    // The name shown in questions and tabs: the file name without its folder.
    QString displayName() const;
    bool isUntitled() const { return untitled_; }
    bool isModified() const;
    bool isReadOnly() const { return readOnly_; }
    bool isText() const { return true; }
    // Documents of "asm" and "inc" files are coloured as PIC assembler; others are plain text.
    bool isPicSource() const;

    TextEncoding encoding() const { return encoding_; }
    LineEnd lineEnd() const { return lineEnd_; }

    // The document's bytes, exactly as they would be saved.
    QByteArray bytes() const;
    // Replaces the text as a user's edit would: it can be undone and marks the document modified.
    void setBytes(const QByteArray& bytes);
    // Loads the file's own bytes: no undo step, not modified; encoding and line end follow the bytes.
    void loadBytes(const QByteArray& bytes);
    void setModified(bool modified);

    int lineCount() const;
    int caretLine() const;
    // Moves the caret to a line (from 0), keeping its column as far as the line allows.
    void setCaretLine(int line);

    // Line styles: colour-element indexes per line (BreakPoint, Error Line, ...), kept with the lines.
    int lineStyle(int line) const;
    void setLineStyle(int line, int style);
    // The first line from `from` (from 0) drawn with `style`; -1 when none is.
    int nextLineWithStyle(int from, int style) const;

    // A breakpoint's symbol in the gutter, beside the line's colour: a plain breakpoint, one with a condition
    // (it stops only after a number of hits), or one switched off. Kept with the lines as the text is edited.
    enum class GutterMark { None, Breakpoint, Conditional, Disabled };
    GutterMark gutterMark(int line) const;
    // Sets the line's mark (None removes it); returns the Scintilla marker handle of the new mark, -1 for
    // None or a line out of range.
    int setGutterMark(int line, GutterMark mark);
    // The line (from 0) a mark set earlier now stands on, as the text was edited; -1 when it is gone.
    int lineOfGutterMark(int handle) const;
    // The first line from `from` with any gutter mark; -1 when none.
    int nextLineWithGutterMark(int from) const;
    // The marker a gutter mark is drawn with; -1 for None.
    static constexpr int MarkerOf(GutterMark mark) {
        return mark == GutterMark::None ? -1 : kGutterMarkMarkerBase + int(mark) - 1;
    }

    // Writes the bytes to a file atomically; on failure the file on disk is as it was and error says why.
    // Symbolic links are followed to the real file and kept, the file's permissions are kept, and with
    // `backup` the previous file is kept as BackupPath of the real file, with the same permissions; a link
    // standing where the backup goes is replaced, never written through.
    enum class Backup { No, Yes };
    bool saveTo(const QString& path, Backup backup, QString& error);

    // Where a control left the document (caret, anchor, first visible line), so the next control to show it
    // continues there.
    struct ViewPosition {
        long caret = 0;
        long anchor = 0;
        long firstLine = 0;
    };
    ViewPosition viewPosition;

    // The control the user last worked in on this document: its caret is the document's caret.
    void setView(QsciScintilla* view) { view_ = view; }
    QsciScintilla* view() const;

    // The Scintilla buffer every control showing this document shares.
    QsciScintilla* buffer() const { return buffer_.get(); }

    static QString BackupPath(const QString& path) { return path + ".bak"; }

    // What the file on disk looked like when the document last read or wrote it, and what became of it
    // since: another program may have changed or deleted it.
    enum class DiskChange { None, Changed, Deleted };
    void noteDiskState();
    DiskChange diskChange() const;
    // Reads the file again, byte for byte, keeping the caret's line; false when it cannot be read.
    bool reload();

  signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& oldName, const QString& newName);
    void lineStyleChanged(int line);

  private:
    QString fileName_;
    bool untitled_;
    bool readOnly_ = false;
    bool forcedModified_ = false;  // modified without an edit: the file behind it went away
    TextEncoding encoding_ = TextEncoding::Utf8;
    LineEnd lineEnd_ = LineEnd::Lf;
    std::unique_ptr<QsciScintilla> buffer_;
    QPointer<QsciScintilla> view_;
    struct DiskState {
        bool exists = false;
        long long size = 0, modifiedNs = 0;
        unsigned long long device = 0, inode = 0;
        bool operator==(const DiskState&) const = default;
    };
    static DiskState StateOf(const QString& path);
    DiskState disk_;
};

// Stops a control from reporting text insertions and deletions as change notices. QScintilla (2.x up to at
// least 2.13) turns each into an accessibility event whose offset it counts from the start of the document,
// so a keystroke at the end of a 100,000-line file costs tens of milliseconds per control on the document.
// It also gives every editor control a plain accessible (UsePlainEditorAccessibility), for the same reason.
void QuietTextChangeNotices(QsciScintilla& control);
void UsePlainEditorAccessibility();

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const QByteArray& bytes);
// The line end a file uses first; LF when it has none.
LineEnd DetectLineEnd(const QByteArray& bytes);
