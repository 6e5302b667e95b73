#include "games/views/SolitaireView.h"

#include "core/Tool.h"
#include "ui/UnavailableNotice.h"
#include "games/DeckManager.h"
#include "games/SolitaireModel.h"

SolitaireView::SolitaireView(QWidget* parent)
    : QWidget(parent)
    , m_model(new SolitaireModel(this))
    , dm(DeckManager::shared())
{
    m_message = addUnavailableNotice(this, Tool::solitaire);
}
