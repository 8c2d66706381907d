// SPDX-License-Identifier: GPL-3.0-or-later
// Documents: bytes in and out of a Scintilla buffer, line styles and gutter marks as markers, atomic saving.
#include "editctl/Document.h"

#include "platform/Registry.h"

#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <utility>

namespace {

int SlotOf(int style) {
    for (int i = 0; i < kLineStyleCount; ++i)
        if (kLineStyleElements[i] == style)
            return i;
    return -1;
}

// Through the program's one atomic writer, which names a full disk or a read-only file system as such.
bool WriteAtomically(const QString& path, const QByteArray& bytes, QString& error) {
    std::string why;
    if (WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), size_t(bytes.size())), why, MakeFolder::No))
        return true;
    size_t cut = why.rfind(": ");
    error = QString("Cannot save %1: %2")
                .arg(path, QString::fromLocal8Bit(cut == std::string::npos ? why : why.substr(cut + 2)));
    return false;
}

// The backup: written beside under a temporary name with the permissions of the file it backs up (a
// temporary file starts private), then renamed into place, which replaces a symbolic link standing there
// instead of writing through it.
bool WriteBackup(const QString& path, const QByteArray& bytes, QFile::Permissions permissions,
                 QString& error) {
    // written with the system's calls, so a full disk is named as such (a buffered QFile reports its
    // failed flush as "Unknown error")
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    int why = fd < 0 ? errno : 0;
    for (qsizetype done = 0; !why && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            why = n < 0 ? errno : EIO;
        else
            done += n;
    }
    if (!why && ::fsync(fd) != 0)
        why = errno;
    if (fd >= 0 && ::close(fd) != 0 && !why)
        why = errno;
    if (!why && !QFile::setPermissions(QFile::decodeName(temp), permissions))
        why = EPERM;
    if (!why && std::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        why = errno;
    if (!why)
        return true;
    if (fd >= 0)
        ::unlink(temp.constData());
    error = QString("Cannot save %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(why)));
    return false;
}

}  // namespace

namespace {

// QScintilla's own accessible (2.x up to at least 2.13) counts the caret's character offset from the start
// of the document on every screen update, so a repaint at the end of a large file takes tens of
// milliseconds. The editor controls get the plain accessible of an editable text widget instead; being
// found earlier in the class chain, it is the one Qt uses.
QAccessibleInterface* PlainEditorAccessible(const QString& className, QObject* object) {
    if ((className == "QsciScintilla" || className == "TMemo") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

}  // namespace

void UsePlainEditorAccessibility() {
#if QSCINTILLA_VERSION < 0x030000
    static const bool installed = [] {
        QAccessible::installFactory(PlainEditorAccessible);
        return true;
    }();
    (void)installed;
#endif
}

void QuietTextChangeNotices(QsciScintilla& control) {
    UsePlainEditorAccessibility();
#if QSCINTILLA_VERSION < 0x030000
    // an insertion also carries the "performed by" and undo bits, so only unrelated kinds may stay
    control.SendScintilla(
        QsciScintillaBase::SCI_SETMODEVENTMASK,
        long(QsciScintillaBase::SC_MOD_CHANGEFOLD | QsciScintillaBase::SC_MOD_CHANGEMARKER));
#else
    (void)control;
#endif
}

bool IsValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
        if (extra < 0 || c > 0xF4 || end - p <= extra)
            return false;
        unsigned code = c & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (p[i] & 0x3F);
        }
        bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

LineEnd DetectLineEnd(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return LineEnd::Lf;
        if (bytes[i] == '\r')
            return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::Lf;
}

TDocument::TDocument(QString fileName, bool untitled)
    : fileName_(std::move(fileName)), untitled_(untitled), buffer_(std::make_unique<QsciScintilla>()) {
    buffer_->setUtf8(true);
    QuietTextChangeNotices(*buffer_);
    connect(buffer_.get(), &QsciScintilla::modificationChanged, this, &TDocument::modifiedChanged);
}

TDocument::~TDocument() = default;

QString TDocument::displayName() const {
    return untitled_ ? fileName_ : QFileInfo(fileName_).fileName();
}

bool TDocument::isModified() const {
    return forcedModified_ || buffer_->isModified();
}

bool TDocument::isPicSource() const {
    QString suffix = QFileInfo(fileName_).suffix().toUpper();
    return suffix == "ASM" || suffix == "INC";
}

QByteArray TDocument::bytes() const {
    long length = buffer_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const char* text =
        reinterpret_cast<const char*>(buffer_->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArray(text, length);
}

void TDocument::setBytes(const QByteArray& bytes) {
    buffer_->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    buffer_->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    buffer_->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, bytes.size(), bytes.constData());
    buffer_->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
}

void TDocument::loadBytes(const QByteArray& bytes) {
    forcedModified_ = false;
    encoding_ = IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Latin1;
    lineEnd_ = DetectLineEnd(bytes);
    buffer_->setUtf8(encoding_ == TextEncoding::Utf8);
    static const QsciScintilla::EolMode modes[] = {QsciScintilla::EolWindows, QsciScintilla::EolUnix,
                                                   QsciScintilla::EolMac};
    buffer_->setEolMode(modes[int(lineEnd_)]);
    // added with its length: a plain set-text would stop at the first NUL byte
    buffer_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
    buffer_->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    buffer_->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, bytes.size(), bytes.constData());
    buffer_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1L);
    buffer_->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    buffer_->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    buffer_->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0L);
}

void TDocument::setModified(bool modified) {
    bool was = isModified();
    // Scintilla has no "set modified": the document keeps that flag itself until the next save point
    forcedModified_ = modified;
    if (!modified)
        buffer_->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    if (isModified() != was)
        emit modifiedChanged(isModified());
}

int TDocument::lineCount() const {
    return buffer_->lines();
}

QsciScintilla* TDocument::view() const {
    return view_ ? view_.data() : buffer_.get();
}

int TDocument::caretLine() const {
    int line = 0, index = 0;
    view()->getCursorPosition(&line, &index);
    return line;
}

void TDocument::setCaretLine(int line) {
    QsciScintilla* on = view();
    line = std::clamp(line, 0, std::max(0, lineCount() - 1));
    long column = on->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN,
                                    on->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    long position = on->SendScintilla(QsciScintillaBase::SCI_FINDCOLUMN, line, column);
    on->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, position);
}

int TDocument::lineStyle(int line) const {
    unsigned mask = unsigned(buffer_->markersAtLine(line));
    for (int i = 0; i < kLineStyleCount; ++i)
        if (mask & (1u << (kLineStyleMarkerBase + i)))
            return kLineStyleElements[i];
    return kNoLineStyle;
}

void TDocument::setLineStyle(int line, int style) {
    if (line < 0 || line >= lineCount())
        return;
    long start = buffer_->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    long length = buffer_->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line) - start;
    for (int i = 0; i < kLineStyleCount; ++i) {
        // sent raw: the buffer never defines the markers, the controls that draw them do
        buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERDELETE, line, kLineStyleMarkerBase + i);
        buffer_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kLineStyleIndicatorBase + i);
        buffer_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, start, length);
    }
    if (int slot = SlotOf(style); slot >= 0) {
        buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERADD, line, kLineStyleMarkerBase + slot);
        buffer_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kLineStyleIndicatorBase + slot);
        buffer_->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, start, length);
    }
    emit lineStyleChanged(line);
}

int TDocument::nextLineWithStyle(int from, int style) const {
    int slot = SlotOf(style);
    if (slot < 0)
        return -1;
    return int(buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERNEXT, from, 1L << (kLineStyleMarkerBase + slot)));
}

TDocument::GutterMark TDocument::gutterMark(int line) const {
    unsigned mask = unsigned(buffer_->markersAtLine(line));
    for (GutterMark mark : {GutterMark::Breakpoint, GutterMark::Conditional, GutterMark::Disabled})
        if (mask & (1u << MarkerOf(mark)))
            return mark;
    return GutterMark::None;
}

int TDocument::setGutterMark(int line, GutterMark mark) {
    if (line < 0 || line >= lineCount())
        return -1;
    // sent raw like the line styles' markers: the controls define how the marks look
    // a line joined to one above it brings its marks along: every one goes
    while (buffer_->markersAtLine(line) & kGutterMarkMask)
        for (int i = 0; i < kGutterMarkCount; ++i)
            buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERDELETE, line, kGutterMarkMarkerBase + i);
    if (mark == GutterMark::None)
        return -1;
    return int(buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERADD, line, MarkerOf(mark)));
}

int TDocument::lineOfGutterMark(int handle) const {
    return int(buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERLINEFROMHANDLE, handle));
}

int TDocument::nextLineWithGutterMark(int from) const {
    return int(buffer_->SendScintilla(QsciScintillaBase::SCI_MARKERNEXT, from, long(kGutterMarkMask)));
}

TDocument::DiskState TDocument::StateOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec,
            static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

void TDocument::noteDiskState() {
    disk_ = untitled_ ? DiskState{} : StateOf(fileName_);
}

TDocument::DiskChange TDocument::diskChange() const {
    if (untitled_ || !disk_.exists)
        return DiskChange::None;  // nothing was read from disk, or its loss was noticed already
    DiskState now = StateOf(fileName_);
    if (!now.exists)
        return DiskChange::Deleted;
    return now == disk_ ? DiskChange::None : DiskChange::Changed;
}

bool TDocument::reload() {
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    int line = caretLine();
    QByteArray bytes = file.readAll();
    noteDiskState();
    loadBytes(bytes);
    setCaretLine(line);
    return true;
}

bool TDocument::saveTo(const QString& path, Backup backup, QString& error) {
    // write through symbolic links (a whole chain of them) to the real file, so each link stays a link
    QFileInfo info(path);
    QString target = info.canonicalFilePath();
    if (target.isEmpty())
        target = info.isSymLink() ? info.symLinkTarget() : path;
    QFileInfo old(target);
    bool existed = old.exists();
    QFile::Permissions permissions = old.permissions();
    if (backup == Backup::Yes && old.isFile()) {
        QFile previous(target);
        if (!previous.open(QIODevice::ReadOnly)) {
            error = QString("Cannot save %1: %2").arg(BackupPath(target), previous.errorString());
            return false;
        }
        if (!WriteBackup(BackupPath(target), previous.readAll(), permissions, error))
            return false;
    }
    if (!WriteAtomically(target, bytes(), error))
        return false;
    if (existed)
        QFile::setPermissions(target, permissions);
    setModified(false);
    disk_ = StateOf(target);
    if (fileName_ != path || untitled_) {
        // the file just written is writable: a read-only document saved elsewhere can be edited there
        readOnly_ = false;
        QString oldName = std::exchange(fileName_, QFileInfo(path).absoluteFilePath());
        untitled_ = false;
        emit fileNameChanged(oldName, fileName_);
    }
    return true;
}
