// The look both kinds of owner-drawn list share: white bold Arial on black, one entry selected at a time.
#pragma once

class QAbstractItemDelegate;
class QListWidget;
class QWidget;

// Gives the list its colours, font and behaviour; the delegate draws the entries (the list owns it).
void StyleWhiteOnBlackList(QListWidget* list, QAbstractItemDelegate* delegate);

// The width the list's entries take, for all of them: the widest entry's, so the list scrolls sideways as far
// as its longest line. With one measured size standing for every entry, the delegates answer this.
int EntryWidth(const QWidget* list, int ownWidth);
