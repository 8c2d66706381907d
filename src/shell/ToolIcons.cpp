// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar pictures: freedesktop theme names, and small drawn pictures for desktops without them.
#include "shell/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

struct GlyphSpec {
    const char* themeName;
    const char* mark;  // drawn on a page or folder shape when the theme lacks the icon
    QColor colour;
};

const GlyphSpec& SpecOf(ToolGlyph glyph) {
    static const GlyphSpec rows[] = {
        {"document-new", "+", QColor(0x20, 0x80, 0x20)},
        {"document-open", "", QColor(0xC0, 0x90, 0x20)},
        {"document-save", "", QColor(0x20, 0x40, 0xA0)},
        {"document-save-as", "", QColor(0x20, 0x40, 0xA0)},
        {"edit-undo", "\u21B6", QColor(0x30, 0x30, 0x30)},
        {"edit-redo", "\u21B7", QColor(0x30, 0x30, 0x30)},
        {"edit-cut", "\u2702", QColor(0x80, 0x20, 0x20)},
        {"edit-copy", "", QColor(0x40, 0x40, 0x40)},
        {"edit-paste", "", QColor(0x80, 0x60, 0x20)},
        {"edit-find", "?", QColor(0x20, 0x20, 0x80)},
        {"edit-find-replace", "\u21C4", QColor(0x20, 0x20, 0x80)},
        {"folder-open", "P", QColor(0xC0, 0x90, 0x20)},
        {"system-run", "\u25B6", QColor(0x20, 0x80, 0x20)},
    };
    return rows[int(glyph)];
}

void DrawPage(QPainter& p, const QRectF& r) {
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - 4, r.top());
    page.lineTo(r.right(), r.top() + 4);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
}

void DrawFolder(QPainter& p, const QColor& colour) {
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
}

void DrawDisk(QPainter& p, const QRectF& r, const QColor& colour) {
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawRect(r);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + 2, r.top(), r.width() - 4, r.height() / 2 - 1));
}

void DrawGlyph(QPainter& p, ToolGlyph glyph) {
    const GlyphSpec& row = SpecOf(glyph);
    switch (glyph) {
        case ToolGlyph::Open:
        case ToolGlyph::OpenProject:
            DrawFolder(p, row.colour);
            break;
        case ToolGlyph::Save:
            DrawDisk(p, QRectF(1.5, 1.5, 13, 13), row.colour);
            break;
        case ToolGlyph::SaveAll:
            DrawDisk(p, QRectF(4.5, 1.5, 11, 11), row.colour);
            DrawDisk(p, QRectF(0.5, 4.5, 11, 11), row.colour);
            break;
        case ToolGlyph::Copy:
            DrawPage(p, QRectF(5.5, 1.5, 9, 11));
            DrawPage(p, QRectF(1.5, 4.5, 9, 11));
            break;
        case ToolGlyph::Paste:
            p.setPen(QPen(row.colour.darker(150), 1));
            p.setBrush(row.colour);
            p.drawRect(QRectF(1.5, 2.5, 11, 13));
            DrawPage(p, QRectF(5.5, 5.5, 9, 10));
            break;
        case ToolGlyph::New:
            DrawPage(p, QRectF(2.5, 0.5, 11, 15));
            break;
        default:
            break;
    }
    if (*row.mark) {
        QFont font = p.font();
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(row.colour);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString::fromUtf8(row.mark));
    }
}

}  // namespace

QIcon FallbackToolIcon(ToolGlyph glyph) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGlyph(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}

QIcon ToolIcon(ToolGlyph glyph) {
    return QIcon::fromTheme(SpecOf(glyph).themeName, FallbackToolIcon(glyph));
}
