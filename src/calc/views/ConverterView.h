#pragma once

#include <QWidget>

class ConverterModel;
class ConverterUnitsTab;
class ConverterZonesTab;
class QStackedWidget;
class SegmentedPicker;

// The Unit Converter window's content: a "Units" tab and a "Time Zones"
// tab over one ConverterModel; the second tab is made when first shown and
// kept for the view's life.
class ConverterView : public QWidget {
    Q_OBJECT
public:
    explicit ConverterView(QWidget* parent = nullptr);

    ConverterModel* model() const { return m_model; }
    // 0 "Units", 1 "Time Zones"; not saved.
    int tab() const;
    void setTab(int tab);

    SegmentedPicker* tabPicker() const { return m_tabs; }
    ConverterUnitsTab* unitsTab() const { return m_units; }
    // Built on first use (showing the tab, or asking for it).
    ConverterZonesTab* zonesTab();

private:
    ConverterModel* m_model = nullptr;
    SegmentedPicker* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    ConverterUnitsTab* m_units = nullptr;
    ConverterZonesTab* m_zones = nullptr;
};
