// SPDX-License-Identifier: GPL-3.0-or-later
// The look both kinds of owner-drawn list share: white bold Arial on black, one entry selected at a time.
#pragma once

class QAbstractItemDelegate;
class QListView;
class QWidget;

// Gives the list its colours, font and behaviour; the delegate draws the entries (the list owns it).
void StyleWhiteOnBlackList(QListView* list, QAbstractItemDelegate* delegate);

// Keeps the width of the list's widest entry for EntryWidth as entries come and go.
void TrackWidestEntry(QListView* list);
// The width the list's entries take, for all of them: the widest entry's, so the list scrolls sideways as far
// as its longest line. With one measured size standing for every entry, the delegates answer this.
int EntryWidth(const QWidget* list, int ownWidth);
