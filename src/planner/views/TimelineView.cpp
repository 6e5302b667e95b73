#include "planner/views/TimelineView.h"

#include "planner/TimelineModel.h"
#include "planner/views/GoalEditor.h"
#include "planner/views/GoalMilestonesPanel.h"
#include "planner/views/TimelineCanvas.h"
#include "ui/Alert.h"
#include "ui/ChromeButton.h"
#include "ui/SegmentedPicker.h"
#include "ui/Symbols.h"
#include "ui/WrapLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRawFont>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A symbol shown as a label in the icon font shows it, drawn from the icon
// face's own file: a label would have the font system open the face's
// compressed web copy and shape with its ligature tables, the dearest part of
// opening the window.
class SymbolGlyph : public QWidget {
public:
    SymbolGlyph(QGlyphRun run, QWidget* parent) : QWidget(parent), m_run(std::move(run))
    {
        const QRawFont face = m_run.rawFont();
        m_height = face.ascent() + face.descent();
        const QList<QPointF> advances = face.advancesForGlyphIndexes(m_run.glyphIndexes());
        m_hint = QSize(int(std::ceil(advances.value(0).x())), int(std::ceil(m_height)));
    }

    QSize sizeHint() const override { return m_hint; }
    QSize minimumSizeHint() const override { return m_hint; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Where a label puts its text: at the left, centred vertically.
        QPainter p(this);
        p.setPen(palette().color(foregroundRole()));
        p.drawGlyphRun(QPointF(0, (height() - m_height) / 2 + m_run.rawFont().ascent()), m_run);
    }

private:
    QGlyphRun m_run;
    qreal m_height = 0;
    QSize m_hint;
};

QWidget* symbolLabel(const QString& name, QWidget* parent)
{
    // Text is set at whole pixel sizes.
    const qreal size = Symbols::emFor(13);
    QGlyphRun run = Symbols::glyphRun(name, qRound(size), parent->font().hintingPreference());
    if (!run.glyphIndexes().isEmpty())
        return new SymbolGlyph(std::move(run), parent);
    auto* l = new QLabel(parent);
    l->setFont(Symbols::font(name, size));
    l->setText(Symbols::text(name));
    return l;
}

// The filter picker's segments: all goals, then each term in order.
std::optional<GoalTerm> filterAt(int index)
{
    if (index <= 0 || index > GoalTerm::allCases().size())
        return std::nullopt;
    return GoalTerm::allCases().at(index - 1);
}

int indexOf(const std::optional<GoalTerm>& filter)
{
    return filter ? int(GoalTerm::allCases().indexOf(*filter)) + 1 : 0;
}

} // namespace

QString TimelineView::hintText()
{
    return QStringLiteral("Add a goal to see it on your timeline. Short-term goals cover days or weeks; long-term "
                          "goals cover months or years.");
}

TimelineView::TimelineView(QWidget* parent) : QWidget(parent), m_model(new TimelineModel(this))
{
    m_model->setAsker([](const QString& message, const QString& informative, const QStringList& buttons) {
        return runAlert(message, informative, AlertStyle::Warning, buttons) - alertFirstButton;
    });

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(14, 14, 14, 14);
    col->setSpacing(10);

    auto* bar = new QHBoxLayout;
    m_addShort = new ChromeButton(QStringLiteral("Add Short-Term Goal"), false, true, this);
    m_addLong = new ChromeButton(QStringLiteral("Add Long-Term Goal"), false, true, this);
    connect(m_addShort, &QPushButton::clicked, m_model, [this] { m_model->add(GoalTerm::shortTerm); });
    connect(m_addLong, &QPushButton::clicked, m_model, [this] { m_model->add(GoalTerm::longTerm); });
    bar->addWidget(m_addShort, 0, Qt::AlignVCenter);
    bar->addWidget(m_addLong, 0, Qt::AlignVCenter);
    QStringList segments{QStringLiteral("All goals")};
    for (GoalTerm t : GoalTerm::allCases())
        segments << t.rawValue();
    m_filter = new SegmentedPicker(segments, this);
    m_filter->setFixedWidth(280);
    m_filter->setCurrentIndex(indexOf(m_model->filter()));
    connect(m_filter, &SegmentedPicker::currentIndexChanged, m_model, [this](int i) { m_model->setFilter(filterAt(i)); });
    bar->addWidget(m_filter, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    bar->addWidget(symbolLabel(QStringLiteral("minus.magnifyingglass"), this), 0, Qt::AlignVCenter);
    m_zoom = new QSlider(Qt::Horizontal, this);
    m_zoom->setRange(int(TimelineModel::kMinDayWidth * kZoomSteps), int(TimelineModel::kMaxDayWidth * kZoomSteps));
    m_zoom->setValue(int(std::lround(m_model->dayWidth() * kZoomSteps)));
    m_zoom->setFixedWidth(140);
    m_zoom->setToolTip(QStringLiteral("Zoom the timeline"));
    connect(m_zoom, &QSlider::valueChanged, m_model,
            [this](int v) { m_model->setDayWidth(double(v) / kZoomSteps); });
    connect(m_model, &TimelineModel::dayWidthChanged, m_zoom, [this] {
        const QSignalBlocker b(m_zoom);
        m_zoom->setValue(int(std::lround(m_model->dayWidth() * kZoomSteps)));
    });
    bar->addWidget(m_zoom, 0, Qt::AlignVCenter);
    bar->addWidget(symbolLabel(QStringLiteral("plus.magnifyingglass"), this), 0, Qt::AlignVCenter);
    col->addLayout(bar);

    m_canvas = new TimelineCanvas(m_model, this);
    col->addWidget(m_canvas, 1);

    m_hint = new WrapLabel(hintText(), this);
    m_hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette pal = m_hint->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgbF(0, 0, 0, 0.5f));
    m_hint->setPalette(pal);
    col->addWidget(m_hint, 1);

    connect(m_model, &TimelineModel::selectedChanged, this, &TimelineView::showSelection);
    connect(m_model, &TimelineModel::goalsChanged, this, &TimelineView::showSelection);
    connect(m_model, &TimelineModel::filterChanged, m_filter, [this] {
        const QSignalBlocker b(m_filter);
        m_filter->setCurrentIndex(indexOf(m_model->filter()));
    });
    // Every change of the goals after the first display is saved.
    connect(m_model, &TimelineModel::goalsChanged, m_model, &TimelineModel::persist);
    showSelection();
}

GoalEditor* TimelineView::editor() const
{
    return m_editor && !m_editor->isHidden() ? m_editor : nullptr;
}

void TimelineView::showSelection()
{
    const std::optional<QUuid> id = m_model->selected();
    const bool found = id && m_model->goal(*id);
    if (found) {
        if (!m_editor) {
            m_editor = new GoalEditor(m_model, *id, QDateTime::currentDateTime(), this);
            static_cast<QVBoxLayout*>(layout())->addWidget(m_editor, 0);
        } else {
            // An editor that comes back after the hint starts with an empty
            // entry row dated now, as a new one would.
            if (m_editor->isHidden())
                m_editor->milestones()->restartEntry(QDateTime::currentDateTime());
            m_editor->setGoalId(*id);
        }
    }
    if (m_editor)
        m_editor->setVisible(found);
    m_hint->setVisible(!found);
}
