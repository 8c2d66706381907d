// SPDX-License-Identifier: GPL-3.0-or-later
// Documents keep their files' bytes exactly, and saving never loses the file that was there.
#include "editctl/DocumentManager.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editctl/Memo.h"
#include "editctl/MemoOptions.h"
#include "platform/Colors.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/mount.h>

namespace {

QString PathIn(const TempDir& dir, const char* name) {
    return QString::fromStdString((dir / name).string());
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

class Documents : public ::testing::Test {
  protected:
    ScriptedPrompter prompter;
    TMemoSourceOptions options;
    DocumentManager manager{prompter, &options};
    TempDir dir;
};

TEST_F(Documents, EveryGputilsHeaderSurvivesOpenAndSaveByteForByte) {
    QDir headers("/usr/share/gputils/header");
    QStringList files = headers.entryList({"*.inc"}, QDir::Files);
    if (files.isEmpty())
        GTEST_SKIP() << "gputils headers are not installed";
    QString copy = PathIn(dir, "copy.inc");
    for (const QString& name : files) {
        QString error;
        TDocument* document = manager.open(headers.filePath(name), &error);
        ASSERT_TRUE(document) << error.toStdString();
        ASSERT_TRUE(document->saveTo(copy, TDocument::Backup::No, error)) << error.toStdString();
        ASSERT_EQ(ReadFile(copy), ReadFile(headers.filePath(name))) << name.toStdString();
        manager.close(document);
    }
}

TEST_F(Documents, OddBytesAndLineEndsSurviveOpenAndSave) {
    const QByteArray samples[] = {
        QByteArray("caf\xE9 \x80\x9F\xFF cp1252\r\n"),                 // not UTF-8: one byte per character
        QByteArray("movlw 1\r\nmovwf 2\nnop\rgoto 0\n\r\n"),           // every line end, mixed
        QByteArray("a\0b\0\0c\r\n\0", 10),                             // NUL bytes
        QByteArray("no final newline"),                                // and none at the end
        QByteArray("\xEF\xBB\xBF; UTF-8 with a mark \xE2\x82\xAC\n"),  // UTF-8 with BOM
        QByteArray(),                                                  // empty
    };
    for (const QByteArray& bytes : samples) {
        QString path = PathIn(dir, "sample.asm"), copy = PathIn(dir, "copy.asm");
        WriteFile(path, bytes);
        QString error;
        TDocument* document = manager.open(path, &error);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->bytes(), bytes);
        EXPECT_FALSE(document->isModified());
        ASSERT_TRUE(document->saveTo(copy, TDocument::Backup::No, error));
        EXPECT_EQ(ReadFile(copy), bytes);
        manager.close(document);
    }
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST_F(Documents, ANewLineTypedTakesTheDocumentsOwnLineEnd) {
    for (auto [bytes, expected] :
         {std::pair{"a\r\nb", "a\r\n\r\nb"}, {"a\nb", "a\n\nb"}, {"a\rb", "a\r\rb"}}) {
        QString path = PathIn(dir, "ends.asm");
        WriteFile(path, bytes);
        TDocument* document = manager.open(path);
        TMemo memo;
        memo.showDocument(document);
        memo.setCursorPosition(0, 1);
        QTest::keyClick(&memo, Qt::Key_Return);
        EXPECT_EQ(document->bytes(), QByteArray(expected));
        EXPECT_TRUE(document->isModified());
        prompter.willAnswerSave("Save changes to ends.asm?", SaveAnswer::No, SaveButtons::YesNoCancel);
        manager.close(document);
    }
}

TEST_F(Documents, SavingThroughALinkWritesTheTargetAndKeepsLinkPermissionsAndABackup) {
    QString target = PathIn(dir, "real.asm"), link = PathIn(dir, "link.asm");
    WriteFile(target, "old\n");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QFile::Permissions before = QFileInfo(target).permissions();
    ASSERT_TRUE(QFile::link(target, link));
    options.Options |= Bit(soCreateBackups);
    TDocument* document = manager.open(link);
    document->setBytes("new\n");
    EXPECT_TRUE(manager.save(document));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadFile(target), "new\n");
    EXPECT_EQ(ReadFile(TDocument::BackupPath(target)), "old\n");
    EXPECT_EQ(QFileInfo(target).permissions(), before);
    EXPECT_FALSE(document->isModified());
}

TEST_F(Documents, BackupsArePrivateWhenTheFileIsAndNeverWrittenThroughALink) {
    options.Options |= Bit(soCreateBackups);
    QString secret = PathIn(dir, "secret.asm"), elsewhere = PathIn(dir, "elsewhere.txt");
    WriteFile(secret, "old\n");
    QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner);  // 0600
    WriteFile(elsewhere, "not yours\n");
    // someone put a link where the backup goes
    ASSERT_TRUE(QFile::link(elsewhere, TDocument::BackupPath(secret)));
    TDocument* document = manager.open(secret);
    document->setBytes("new\n");
    ASSERT_TRUE(manager.save(document));
    QFileInfo backup(TDocument::BackupPath(secret));
    EXPECT_FALSE(backup.isSymLink());
    EXPECT_EQ(ReadFile(backup.filePath()), "old\n");
    EXPECT_EQ(ReadFile(elsewhere), "not yours\n");
    EXPECT_EQ(backup.permissions(), QFileInfo(secret).permissions());
    EXPECT_EQ(backup.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    // through a chain of links the backup goes beside the real file
    QDir().mkpath(PathIn(dir, "real"));
    QString real = PathIn(dir, "real/deep.asm"), middle = PathIn(dir, "middle.asm"),
            front = PathIn(dir, "front.asm");
    WriteFile(real, "deep old\n");
    ASSERT_TRUE(QFile::link(real, middle));
    ASSERT_TRUE(QFile::link(middle, front));
    TDocument* linked = manager.open(front);
    linked->setBytes("deep new\n");
    ASSERT_TRUE(manager.save(linked));
    EXPECT_EQ(ReadFile(real), "deep new\n");
    EXPECT_EQ(ReadFile(TDocument::BackupPath(real)), "deep old\n");
    EXPECT_TRUE(QFileInfo(middle).isSymLink() && QFileInfo(front).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(TDocument::BackupPath(middle)));
}

TEST_F(Documents, AFailedSaveLeavesTheFileAsItWasAndTheDocumentModified) {
    QString path = PathIn(dir, "keep.asm");
    WriteFile(path, "precious\n");
    options.Options |= Bit(soCreateBackups);
    QDir().mkpath(TDocument::BackupPath(path));  // the backup cannot be written where a folder stands
    TDocument* document = manager.open(path);
    document->setBytes("changed\n");
    prompter.expectError(QString("Cannot save %1: ").arg(TDocument::BackupPath(path)) + "Is a directory");
    EXPECT_FALSE(manager.save(document));
    EXPECT_EQ(ReadFile(path), "precious\n");
    EXPECT_TRUE(document->isModified());
    // and a folder that does not exist cannot take a save as
    prompter.willChooseFile(PathIn(dir, "missing/keep.asm"));
    prompter.expectError(
        QString("Cannot save %1: No such file or directory").arg(PathIn(dir, "missing/keep.asm")));
    EXPECT_FALSE(manager.saveAs(document));
    EXPECT_EQ(document->fileName(), path);
}

TEST_F(Documents, SavingAnUnchangedDocumentWritesNothing) {
    QString path = PathIn(dir, "same.asm");
    WriteFile(path, "x\n");
    TDocument* document = manager.open(path);
    QFile::remove(path);
    EXPECT_TRUE(manager.save(document));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(Documents, UntitledDocumentsTakeTheSmallestFreeNumber) {
    TDocument* first = manager.newDocument();
    TDocument* second = manager.newDocument();
    EXPECT_EQ(first->fileName(), "Noname1");
    EXPECT_EQ(second->fileName(), "Noname2");
    manager.close(first);
    EXPECT_EQ(manager.newDocument()->fileName(), "Noname1");
    EXPECT_EQ(manager.find("Noname2"), second);
}

TEST_F(Documents, OpeningAnOpenFileAgainMakesItCurrentAndAMissingOneSaysWhy) {
    QString path = PathIn(dir, "Main.asm");
    WriteFile(path, "nop\n");
    TDocument* document = manager.open(path);
    manager.newDocument();
    manager.newDocument();
    EXPECT_EQ(manager.open(path), document);
    EXPECT_EQ(manager.open(PathIn(dir, "./sub/../Main.asm")), document);  // the same name, made clean
    EXPECT_EQ(manager.current(), document);
    QString error;
    EXPECT_FALSE(manager.open(PathIn(dir, "gone.asm"), &error));
    EXPECT_EQ(error, QString("Cannot open %1: No such file").arg(PathIn(dir, "gone.asm")));
}

TEST_F(Documents, NamesDifferingInLetterCaseAreTwoFilesAndALinkIsTheSameFile) {
    QString lower = PathIn(dir, "a.asm"), upper = PathIn(dir, "A.asm"), link = PathIn(dir, "link.asm");
    WriteFile(lower, "lower\n");
    WriteFile(upper, "upper\n");
    TDocument* first = manager.open(lower);
    TDocument* second = manager.open(upper);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->bytes(), "upper\n");
    // a symbolic link names the open file: the same document
    ASSERT_TRUE(QFile::link(lower, link));
    EXPECT_EQ(manager.open(link), first);
    // Save As onto A.asm is refused only while A.asm itself is open
    manager.close(second);
    first->setBytes("changed\n");
    prompter.willChooseFile(upper);
    EXPECT_TRUE(manager.saveAs(first));
    EXPECT_EQ(ReadFile(upper), "changed\n");
    EXPECT_EQ(ReadFile(lower), "lower\n");
}

TEST_F(Documents, ASaveOnAFullDiskSaysSo) {
    QString folder = PathIn(dir, "full");
    QDir().mkpath(folder);
    if (mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    QString path = folder + "/big.asm";
    WriteFile(path, "nop\n");
    TDocument* document = manager.open(path);
    document->setBytes(QByteArray(200000, 'x'));
    prompter.expectError(QString("Cannot save %1: No space left on device").arg(path));
    EXPECT_FALSE(manager.save(document));
    EXPECT_EQ(ReadFile(path), "nop\n");
    document->setModified(false);
    manager.close(document);
    umount(folder.toLocal8Bit().constData());
}

TEST_F(Documents, ABackupOnAFullDiskSaysSoToo) {
    QString folder = PathIn(dir, "full");
    QDir().mkpath(folder);
    if (mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    options.Options |= Bit(soCreateBackups);
    QString path = folder + "/big.asm";
    WriteFile(path, QByteArray(40000, 'o'));  // the file fits, its backup beside it does not
    TDocument* document = manager.open(path);
    document->setBytes("nop\n");
    prompter.expectError(
        QString("Cannot save %1: No space left on device").arg(TDocument::BackupPath(path)));
    EXPECT_FALSE(manager.save(document));
    EXPECT_EQ(ReadFile(path), QByteArray(40000, 'o'));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"big.asm"});  // no half backup left
    document->setModified(false);
    manager.close(document);
    umount(folder.toLocal8Bit().constData());
}

TEST_F(Documents, SaveAsOffersTheTypesAndGivesABareNameTheAssemblerExtension) {
    TDocument* document = manager.newDocument();
    document->setBytes("nop\n");
    prompter.willChooseFile(PathIn(dir, "fresh"));
    EXPECT_TRUE(manager.saveAs(document));
    EXPECT_EQ(prompter.lastFileRequest.filters, (QStringList{"Any file (*)", "Assembler file (*.asm)"}));
    EXPECT_EQ(document->fileName(),
              PathIn(dir, "fresh"));  // "Any file" stays preselected for an untitled one
    prompter.willChooseFile(PathIn(dir, "other.asm"));
    EXPECT_TRUE(manager.saveAs(document));
    EXPECT_EQ(prompter.lastFileRequest.selectedFilter, "Any file (*)");
    prompter.willChooseFile(PathIn(dir, "third"));
    manager.saveAs(document);
    EXPECT_EQ(prompter.lastFileRequest.selectedFilter, "Assembler file (*.asm)");  // the current name is .asm
    EXPECT_EQ(document->fileName(), PathIn(dir, "third.asm"));
}

using Mark = TDocument::GutterMark;

TEST_F(Documents, AGutterMarkMovesWithItsLineAndGoesWhenRemoved) {
    TDocument* document = manager.newDocument();
    document->loadBytes("movlw 1\nmovwf 2\nnop\n");
    int handle = document->setGutterMark(1, Mark::Breakpoint);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(document->gutterMark(1), Mark::Breakpoint);
    EXPECT_EQ(document->gutterMark(0), Mark::None);
    // two lines typed above it push the mark down with its line
    document->buffer()->insertAt("; one\n; two\n", 0, 0);
    EXPECT_EQ(document->lineOfGutterMark(handle), 3);
    EXPECT_EQ(document->gutterMark(3), Mark::Breakpoint);
    EXPECT_EQ(document->gutterMark(1), Mark::None);
    EXPECT_EQ(document->nextLineWithGutterMark(0), 3);
    // switched off: the line holds the new mark alone, under a new handle
    int disabled = document->setGutterMark(3, Mark::Disabled);
    EXPECT_EQ(document->gutterMark(3), Mark::Disabled);
    EXPECT_EQ(document->lineOfGutterMark(handle), -1);
    EXPECT_EQ(document->lineOfGutterMark(disabled), 3);
    EXPECT_EQ(document->setGutterMark(3, Mark::None), -1);
    EXPECT_EQ(document->lineOfGutterMark(disabled), -1);
    EXPECT_EQ(document->nextLineWithGutterMark(0), -1);
    EXPECT_EQ(document->setGutterMark(99, Mark::Breakpoint), -1);
}

TEST_F(Documents, TwoMarksJoinedOnOneLineBothGoWhenItsMarkIsRemoved) {
    TDocument* document = manager.newDocument();
    document->loadBytes("nop\nnop\nnop\n");
    document->setGutterMark(0, Mark::Breakpoint);
    document->setGutterMark(1, Mark::Breakpoint);
    // the line end between them deleted: the second line, and its mark, join the first
    document->buffer()->SendScintilla(QsciScintillaBase::SCI_DELETERANGE, 3L, 1L);
    EXPECT_EQ(document->gutterMark(0), Mark::Breakpoint);
    document->setGutterMark(0, Mark::None);
    EXPECT_EQ(document->gutterMark(0), Mark::None);
    EXPECT_EQ(document->nextLineWithGutterMark(0), -1);
}

TEST_F(Documents, GutterMarksAndLineStylesLeaveEachOtherAlone) {
    const int breakPoint = kLineStyleElements[0];
    TDocument* document = manager.newDocument();
    document->loadBytes("nop\nnop\n");
    document->setGutterMark(0, Mark::Conditional);
    document->setLineStyle(0, breakPoint);
    EXPECT_EQ(document->gutterMark(0), Mark::Conditional);
    document->setLineStyle(0, kNoLineStyle);
    EXPECT_EQ(document->gutterMark(0), Mark::Conditional);
    document->setLineStyle(1, breakPoint);
    document->setGutterMark(1, Mark::Breakpoint);
    document->setGutterMark(1, Mark::None);
    EXPECT_EQ(document->lineStyle(1), breakPoint);
    EXPECT_EQ(document->nextLineWithStyle(0, breakPoint), 1);
    EXPECT_EQ(document->nextLineWithGutterMark(1), -1);
}

// A strip of a picture of the whole memo across one line, `width` pixels from `left` in its text view.
QImage LineStrip(TMemo& memo, const QImage& shot, int line, int left, int width) {
    long start = memo.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    int top = int(memo.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0L, start));
    int height = int(memo.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, long(line)));
    QPoint corner = memo.viewport()->mapTo(&memo, QPoint(left, top));
    return shot.copy(corner.x(), corner.y(), width, height);
}

// What a memo draws in a margin (0 the line numbers, 1 the gutter) beside a line.
QImage MarginBeside(TMemo& memo, const QImage& shot, int margin, int line) {
    return LineStrip(memo, shot, line, margin == 0 ? 0 : memo.marginWidth(0), memo.marginWidth(margin));
}

TEST_F(Documents, TheGutterDrawsEachMarkAsItsOwnSymbolAndNoLineStyle) {
    TDocument* document = manager.newDocument();
    document->loadBytes("nop\nnop\nnop\nnop\nnop\nnop\n");
    document->setGutterMark(1, Mark::Breakpoint);
    document->setGutterMark(2, Mark::Conditional);
    document->setGutterMark(3, Mark::Disabled);
    document->setLineStyle(4, kLineStyleElements[0]);
    TMemoEnvOptions env;  // the gutter on, no line numbers
    TMemo memo;
    memo.applyOptions(options, env);
    memo.showDocument(document);
    ASSERT_GT(memo.marginWidth(1), 0);
    EXPECT_EQ(memo.marginMarkerMask(1) & kGutterMarkMask, kGutterMarkMask);
    for (int i = 0; i < kLineStyleCount; ++i)
        EXPECT_FALSE(memo.marginMarkerMask(1) & (1 << (kLineStyleMarkerBase + i))) << "line style " << i;
    memo.resize(400, 200);
    QImage shot = memo.grab().toImage();
    QImage plain = MarginBeside(memo, shot, 1, 0);
    QImage gutter(plain.size(), plain.format());
    gutter.fill(ToQColor(env.GutterBrush.Color));
    EXPECT_EQ(plain, gutter);  // a gutter showing the marks keeps its own colour
    QImage breakpoint = MarginBeside(memo, shot, 1, 1), conditional = MarginBeside(memo, shot, 1, 2),
           disabled = MarginBeside(memo, shot, 1, 3);
    EXPECT_NE(breakpoint, plain);
    EXPECT_NE(conditional, plain);
    EXPECT_NE(disabled, plain);
    EXPECT_NE(breakpoint, conditional);
    EXPECT_NE(breakpoint, disabled);
    EXPECT_NE(conditional, disabled);
    EXPECT_EQ(MarginBeside(memo, shot, 1, 4), plain);  // the line style colours the text area only
    EXPECT_EQ(MarginBeside(memo, shot, 1, 5), plain);
}

TEST_F(Documents, WithTheGutterHiddenAMarkShowsAmongTheLineNumbers) {
    TDocument* document = manager.newDocument();
    document->loadBytes("nop\nnop\n");
    TMemoEnvOptions env;
    env.Options = (env.Options & ~Bit(moDrawGutter)) | Bit(moLineNumbers);
    TMemo memo;
    memo.applyOptions(options, env);
    memo.showDocument(document);
    ASSERT_EQ(memo.marginWidth(1), 0);
    EXPECT_EQ(memo.marginMarkerMask(0), kGutterMarkMask);
    memo.resize(400, 200);
    QImage before = MarginBeside(memo, memo.grab().toImage(), 0, 1);
    document->setGutterMark(1, Mark::Breakpoint);
    EXPECT_NE(MarginBeside(memo, memo.grab().toImage(), 0, 1), before);
}

TEST_F(Documents, WithNoMarginShownAMarkLeavesTheLineAsItWas) {
    TDocument* document = manager.newDocument();
    document->loadBytes("nop\nnop\n");
    TMemoEnvOptions env;
    env.Options &= ~Bit(moDrawGutter);
    TMemo memo;
    memo.applyOptions(options, env);
    memo.applySchemeColours(0x000000, 0xFFFFFF, 0x808080);  // a dark scheme
    memo.showDocument(document);
    ASSERT_EQ(memo.marginWidth(0) + memo.marginWidth(1), 0);
    document->setGutterMark(1, Mark::Disabled);
    memo.resize(400, 200);
    QImage shot = memo.grab().toImage();
    int width = memo.viewport()->width();
    EXPECT_EQ(LineStrip(memo, shot, 1, 0, width), LineStrip(memo, shot, 0, 0, width));
}

}  // namespace
