#pragma once

// The lists' view entries: the order of the saves and whether icons move.

#include <QList>

class QMenu;
class TSaveListView;

// Adds the order entries for list and the "Animate icons" entry, which
// applies to all of lists, to menu.
void addViewEntries(QMenu& menu, TSaveListView* list, const QList<TSaveListView*>& lists);
