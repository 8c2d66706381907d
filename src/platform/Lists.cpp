// The shared look of the owner-drawn lists.
#include "platform/Lists.h"

#include <QAbstractItemDelegate>
#include <QListWidget>

void StyleWhiteOnBlackList(QListWidget* list, QAbstractItemDelegate* delegate) {
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
}
