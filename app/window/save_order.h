#pragma once

// The order of the saves in a list: as listed (the card's directory order,
// the folder's name order), or by name, game, date or size.

class TSaveListView;
class QListWidgetItem;

enum class SaveOrder { Listed, Name, Game, Date, Size };

// Whether a comes before b in order. Ties fall back to the name, then to the
// listed order, so every order is total and repeatable.
bool savePrecedes(const QListWidgetItem* a, const QListWidgetItem* b, SaveOrder order);

// The list's order, kept in the settings under the list's object name.
SaveOrder saveOrderOf(const TSaveListView* list);
void setSaveOrder(TSaveListView* list, SaveOrder order);

// Puts the list's items in its order; selection and current item stay.
void sortSaves(TSaveListView* list);
