#include "games/views/BingoView.h"

#include "core/Tool.h"
#include "ui/UnavailableNotice.h"
#include "games/BingoModel.h"

BingoView::BingoView(QWidget* parent)
    : QWidget(parent)
    , m_model(new BingoModel(this))
{
    m_message = addUnavailableNotice(this, Tool::bingo);
}
