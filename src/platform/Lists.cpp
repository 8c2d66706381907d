// SPDX-License-Identifier: GPL-3.0-or-later
// The shared look of the owner-drawn lists.
#include "platform/Lists.h"

#include <QAbstractItemDelegate>
#include <QFontMetrics>
#include <QListView>

#include <algorithm>

namespace {

constexpr char kWidest[] = "widestEntry";

// Measuring every entry of a long list would take seconds: the entry with the most characters stands for
// the widest, with a few wide letters to spare for a narrower font's surprises.
// Called while the list is taken down too (its model empties itself then): only the model and what every
// widget has are used.
void NoteWidestEntry(QWidget* list, QAbstractItemModel* model, int first, int last) {
    qsizetype most = -1;
    QString longest;
    for (int row = first; row <= last; ++row) {
        QString text = model->index(row, 0).data().toString();
        if (text.size() > most) {
            most = text.size();
            longest = text;
        }
    }
    if (most < 0)
        return;
    // the measure stops here, far beyond any file name an entry holds
    constexpr qsizetype kMeasuredAtMost = 2048;
    QFontMetrics metrics(list->font());
    int width = metrics.horizontalAdvance(longest.left(kMeasuredAtMost)) + metrics.horizontalAdvance("WWWW");
    list->setProperty(kWidest, std::max(width, list->property(kWidest).toInt()));
}

}  // namespace

void TrackWidestEntry(QListView* listView) {
    QWidget* list = listView;
    QAbstractItemModel* model = listView->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, list,
                     [list, model](const QModelIndex&, int first, int last) {
                         NoteWidestEntry(list, model, first, last);
                     });
    auto again = [list, model] {
        list->setProperty(kWidest, 0);
        NoteWidestEntry(list, model, 0, model->rowCount() - 1);
    };
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, list, again);
    QObject::connect(model, &QAbstractItemModel::modelReset, list, again);
}

int EntryWidth(const QWidget* list, int ownWidth) {
    return list ? std::max(ownWidth, list->property(kWidest).toInt()) : ownWidth;
}

void StyleWhiteOnBlackList(QListView* list, QAbstractItemDelegate* delegate) {
    delegate->setParent(list);
    list->setItemDelegate(delegate);
    // one measured entry stands for all: long lists fill at once
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont font("Arial");
    font.setPixelSize(11);
    font.setBold(true);
    list->setFont(font);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    list->setPalette(palette);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}
