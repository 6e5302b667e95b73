#include "calc/views/ConverterView.h"

#include "calc/ConverterModel.h"
#include "calc/views/ConverterUnitsTab.h"
#include "calc/views/ConverterZonesTab.h"
#include "ui/SegmentedPicker.h"

#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

ConverterView::ConverterView(QWidget* parent)
    : QWidget(parent)
    , m_model(new ConverterModel(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);

    m_tabs = new SegmentedPicker({QStringLiteral("Units"), QStringLiteral("Time Zones")}, this);
    m_tabs->setObjectName(QStringLiteral("tabPicker"));
    m_tabs->setFixedWidth(260);
    column->addWidget(m_tabs, 0, Qt::AlignHCenter);

    m_stack = new QStackedWidget(this);
    m_units = new ConverterUnitsTab(m_model, m_stack);
    m_stack->addWidget(m_units);
    // The "Time Zones" tab is built when first shown (zonesTab()).
    column->addWidget(m_stack, 1);

    connect(m_tabs, &SegmentedPicker::currentIndexChanged, this, &ConverterView::setTab);
}

int ConverterView::tab() const
{
    return m_stack->currentIndex();
}

ConverterZonesTab* ConverterView::zonesTab()
{
    if (!m_zones) {
        m_zones = new ConverterZonesTab(m_model);
        // A long list of clocks scrolls instead of growing the window.
        auto* zonesScroll = new QScrollArea(m_stack);
        zonesScroll->setFrameShape(QFrame::NoFrame);
        zonesScroll->setWidgetResizable(true);
        zonesScroll->viewport()->setAutoFillBackground(false);
        zonesScroll->setWidget(m_zones);
        m_zones->setAutoFillBackground(false);
        m_stack->addWidget(zonesScroll);
    }
    return m_zones;
}

void ConverterView::setTab(int tab)
{
    if (tab < 0 || tab > 1)
        return;
    if (tab == 1)
        zonesTab();
    m_tabs->setCurrentIndex(tab);
    m_stack->setCurrentIndex(tab);
}
