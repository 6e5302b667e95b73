#pragma once

#include <QWidget>

class DeckManager;
class QLabel;
class SolitaireModel;

// The Solitaire window's content. It makes and owns the solitaire model
// (which reads the game statistics), watches the shared deck catalogue, and
// tells the user that the tool is not available in this release.
class SolitaireView : public QWidget {
    Q_OBJECT
public:
    explicit SolitaireView(QWidget* parent = nullptr);

    SolitaireModel* model() const { return m_model; }
    DeckManager& deckManager() const { return dm; }
    QLabel* messageLabel() const { return m_message; }

private:
    SolitaireModel* m_model;
    DeckManager& dm;
    QLabel* m_message = nullptr;
};
