// The look both kinds of owner-drawn list share: white bold Arial on black, one entry selected at a time.
#pragma once

class QAbstractItemDelegate;
class QListWidget;

// Gives the list its colours, font and behaviour; the delegate draws the entries (the list owns it).
void StyleWhiteOnBlackList(QListWidget* list, QAbstractItemDelegate* delegate);
