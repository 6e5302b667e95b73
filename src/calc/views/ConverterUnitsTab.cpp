#include "calc/views/ConverterUnitsTab.h"

#include "calc/ConverterModel.h"
#include "calc/views/ConverterCombo.h"
#include "calc/views/ConverterStyle.h"
#include "ui/SegmentedPicker.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"
#include "ui/StyledLabel.h"

#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>

#include <algorithm>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace ConverterStyle;

namespace {

// A grid cell: a rounded rectangle, tinted seafoam for the current target.
class CellFrame : public QWidget {
public:
    explicit CellFrame(QWidget* parent) : QWidget(parent) {}

    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool on)
    {
        if (on == m_highlighted)
            return;
        m_highlighted = on;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_highlighted)
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 6, 6);
        QColor fill = Chrome::seafoam();
        fill.setAlphaF(0.18f);
        p.fillPath(path, fill);
    }

private:
    bool m_highlighted = false;
};

QStringList categoryTitles()
{
    QStringList titles;
    for (UnitCategory c : UnitCategory::allCases())
        titles << c.title();
    return titles;
}

void fillUnits(QComboBox* combo, UnitCategory category)
{
    const QSignalBlocker block(combo);
    combo->clear();
    for (const UnitDef& u : category.units())
        combo->addItem(u.name.toString() + QStringLiteral(" (") + u.symbol.toString() + QLatin1Char(')'),
                       u.id.toString());
}

void select(QComboBox* combo, const QString& id)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(combo->findData(id)); // -1: an id of no unit shows no selection
}

} // namespace

ConverterUnitsTab::ConverterUnitsTab(ConverterModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    m_categories = new SegmentedPicker(categoryTitles(), this);
    m_categories->setObjectName(QStringLiteral("categoryPicker"));
    // Narrower than its roomy natural width, down to where the longest
    // title still fits its segment.
    m_categories->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_categories->setMinimumWidth(int(m_categories->segments().size()) * (m_categories->widestTitle() + 8));
    column->addWidget(m_categories);

    // The value, the pair of units and the result.
    auto* panel = new ChromePanel(this);
    panel->setObjectName(QStringLiteral("conversionPanel"));
    column->addWidget(panel);

    auto* inputs = new QHBoxLayout;
    inputs->setSpacing(12);
    inputs->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    auto* valueColumn = new QVBoxLayout;
    valueColumn->setSpacing(4);
    valueColumn->addWidget(styledLabel(QStringLiteral("Value"), caption(), secondary(), panel));
    m_value = new SpellLineEdit(panel);
    FieldSpelling::exclude(m_value); // numbers, not words
    m_value->setObjectName(QStringLiteral("valueField"));
    m_value->setPlaceholderText(QStringLiteral("Value"));
    m_value->setFont(rounded(18));
    m_value->setFixedWidth(160);
    valueColumn->addWidget(m_value);
    inputs->addLayout(valueColumn);

    auto* fromCombo = new ConverterCombo;
    m_from = fromCombo;
    m_from->setObjectName(QStringLiteral("fromPicker"));
    inputs->addWidget(labelledPicker(QStringLiteral("From"), fromCombo, 240, panel), 1, Qt::AlignBottom);
    m_swap = new ChromeButton(QString(), false, true, panel);
    m_swap->setObjectName(QStringLiteral("swapUnits"));
    m_swap->setSymbol(QStringLiteral("arrow.left.arrow.right"));
    m_swap->setToolTip(QStringLiteral("Swap units"));
    m_swap->setAccessibleName(QStringLiteral("Swap units"));
    inputs->addWidget(m_swap, 0, Qt::AlignBottom);
    auto* toCombo = new ConverterCombo;
    m_to = toCombo;
    m_to->setObjectName(QStringLiteral("toPicker"));
    inputs->addWidget(labelledPicker(QStringLiteral("To"), toCombo, 240, panel), 1, Qt::AlignBottom);
    panel->contentLayout()->addLayout(inputs);

    auto* resultRow = new QHBoxLayout;
    resultRow->setSpacing(8);
    m_result = styledLabel(QString(), rounded(34, QFont::Black), Chrome::ink(), panel);
    m_result->setObjectName(QStringLiteral("result"));
    selectableOnHover(m_result);
    m_result->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resultRow->addWidget(m_result, 0, Qt::AlignVCenter);
    m_symbol = styledLabel(QString(), rounded(20, QFont::DemiBold), secondary(), panel);
    m_symbol->setObjectName(QStringLiteral("resultSymbol"));
    resultRow->addWidget(m_symbol, 0, Qt::AlignVCenter);
    resultRow->addStretch(1);
    m_copy = new ChromeButton(QStringLiteral("Copy"), false, true, panel);
    m_copy->setObjectName(QStringLiteral("copy"));
    resultRow->addWidget(m_copy, 0, Qt::AlignVCenter);
    panel->contentLayout()->addLayout(resultRow);

    m_hint = styledLabel(QStringLiteral("Enter a number to convert."), caption(), Chrome::cherry(), panel);
    m_hint->setObjectName(QStringLiteral("hint"));
    panel->contentLayout()->addWidget(m_hint);

    // Every unit of the category.
    m_gridPanel = new ChromePanel(QString(), nullptr, this);
    m_gridPanel->setObjectName(QStringLiteral("gridPanel"));
    // The title repeats the typed text; a long one is cut, never widening
    // the window.
    m_gridPanel->titleLabel()->setMinimumWidth(1);
    column->addWidget(m_gridPanel, 1);
    m_scroll = new QScrollArea(m_gridPanel);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_gridHost = new QWidget;
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(6);
    m_grid->setColumnStretch(0, 1);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnMinimumWidth(0, 10);
    m_grid->setColumnMinimumWidth(1, 10);
    m_grid->setAlignment(Qt::AlignTop);
    m_scroll->setWidget(m_gridHost);
    m_gridHost->setAutoFillBackground(false); // setWidget turned it on
    m_gridPanel->contentLayout()->addWidget(m_scroll, 1);

    connect(m_categories, &SegmentedPicker::activated, this, [this](int index) {
        const auto all = UnitCategory::allCases();
        if (index >= 0 && index < int(all.size()))
            m_model->setCategory(all[size_t(index)]);
    });
    connect(m_value, &QLineEdit::textEdited, m_model, &ConverterModel::setInput);
    connect(m_from, &QComboBox::activated, this, [this](int index) {
        m_model->setFrom(m_from->itemData(index).toString());
    });
    connect(m_to, &QComboBox::activated, this, [this](int index) {
        m_model->setTo(m_to->itemData(index).toString());
    });
    connect(m_swap, &QPushButton::clicked, m_model, &ConverterModel::swapUnits);
    connect(m_copy, &QPushButton::clicked, this, &ConverterUnitsTab::copy);

    connect(m_model, &ConverterModel::categoryChanged, this, &ConverterUnitsTab::rebuildUnits);
    connect(m_model, &ConverterModel::fromChanged, this, [this] {
        syncPickers();
        refreshResults();
    });
    connect(m_model, &ConverterModel::toChanged, this, [this] {
        syncPickers();
        refreshResults();
    });
    connect(m_model, &ConverterModel::inputChanged, this, [this] {
        if (m_value->text() != m_model->input())
            m_value->setText(m_model->input());
        refreshResults();
    });

    m_value->setText(m_model->input());
    rebuildUnits();
}

void ConverterUnitsTab::rebuildUnits()
{
    const UnitCategory category = m_model->category();
    const auto all = UnitCategory::allCases();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == category)
            m_categories->setCurrentIndex(int(i));
    }
    fillUnits(m_from, category);
    fillUnits(m_to, category);

    for (const Cell& c : std::as_const(m_cells)) {
        m_grid->removeWidget(c.frame);
        c.frame->hide();
        c.frame->deleteLater();
    }
    m_cells.clear();
    int index = 0;
    for (const UnitDef& u : category.units()) {
        auto* frame = new CellFrame(m_gridHost);
        auto* row = new QHBoxLayout(frame);
        row->setContentsMargins(8, 3, 8, 3);
        row->setSpacing(6);
        QLabel* name = styledLabel(u.name.toString(), rounded(12), secondary(), frame);
        QLabel* value = styledLabel(QString(), rounded(12, QFont::DemiBold), Chrome::ink(), frame);
        selectableOnHover(value);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(name);
        row->addStretch(1);
        row->addWidget(value);
        name->setMinimumWidth(0);
        m_grid->addWidget(frame, index / 2, index % 2);
        m_cells.append({frame, name, value});
        ++index;
    }
    syncPickers();
    refreshResults();
}

void ConverterUnitsTab::syncPickers()
{
    select(m_from, m_model->from());
    select(m_to, m_model->to());
}

void ConverterUnitsTab::refreshResults()
{
    m_result->setText(m_model->result(m_model->to()));
    m_symbol->setText(m_model->symbol(m_model->to()));
    m_hint->setVisible(!m_model->inputIsNumber());
    m_gridPanel->setTitle(m_model->everyUnitTitle());

    const auto units = m_model->category().units();
    for (qsizetype i = 0; i < m_cells.size() && size_t(i) < units.size(); ++i) {
        const UnitDef& u = units[size_t(i)];
        const QString id = u.id.toString();
        m_cells[i].value->setText(m_model->result(id) + QLatin1Char(' ') + u.symbol.toString());
        static_cast<CellFrame*>(m_cells[i].frame)->setHighlighted(id == m_model->to());
    }
}

bool ConverterUnitsTab::isHighlighted(int index) const
{
    if (index < 0 || index >= m_cells.size())
        return false;
    return static_cast<const CellFrame*>(m_cells[index].frame)->highlighted();
}

void ConverterUnitsTab::copy()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_model->result(m_model->to()));
}
