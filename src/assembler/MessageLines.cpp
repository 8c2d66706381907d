// SPDX-License-Identifier: GPL-3.0-or-later
// Splitting and bounding the error file's lines.
#include "assembler/MessageLines.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

QStringList SplitMessageLines(const QByteArray& bytes) {
    // stateless: a sequence cut off at the end is an error (read as Latin-1), not data held back and lost
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QStringList ReadMessageLines(const QString& path) {
    return ReadMessageLines(path, nullptr);
}

QStringList ReadMessageLines(const QString& path, bool* cut) {
    QFile file(path);
    if (cut)
        *cut = false;
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(kMaxErrorFileBytes);
    bool more = !file.atEnd();
    if (more) {
        // a line cut by the limit is left out whole
        qsizetype end = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        if (end >= 0)
            bytes.truncate(end + 1);
    }
    QStringList lines = SplitMessageLines(bytes);
    if (lines.size() > kMaxMessageLines) {
        lines.erase(lines.begin() + kMaxMessageLines, lines.end());
        more = true;
    }
    if (cut)
        *cut = more;
    return lines;
}

QString ShownMessage(const QString& text) {
    return text.size() <= kMaxShownMessage ? text : text.left(kMaxShownMessage) + QString::fromUtf8("…");
}
