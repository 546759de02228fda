// The card list's Cards submenu: the cards found on this computer (shown on
// the card side when chosen, without a restart), opening, making and
// formatting a card image, and the per-game cards of SD cards found.
#pragma once

#include "cardplaces/discover.h"

#include <QString>

#include <functional>

class QMenu;
class TMainForm;

// Where the program looks for cards: the user's own folders unless a test
// puts a fake home in their place.
extern std::function<cardplaces::Environment()> cardsEnvironment;

// Adds the submenu to menu.
void addCardsMenu(QMenu& menu, TMainForm& form);

// Shows the card a device string names on the card side, and remembers it.
void showCardOnCardSide(TMainForm& form, const QString& device, const cardplaces::Environment& env);
