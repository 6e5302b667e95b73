#include "calc/views/DisplayPanel.h"

#include "calc/views/CalcLook.h"

#include <QPainter>

DisplayPanel::DisplayPanel(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void DisplayPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    CalcLook::paintDisplay(p, QRectF(rect()));
}
