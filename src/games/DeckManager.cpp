#include "games/DeckManager.h"

DeckManager& DeckManager::shared()
{
    static DeckManager* const manager = new DeckManager;
    return *manager;
}
