#pragma once

#include <QObject>

// The process-wide catalogue of card decks that the solitaire window draws
// with. Made on first use.
class DeckManager : public QObject {
    Q_OBJECT

public:
    static DeckManager& shared();

private:
    DeckManager() = default;
};
