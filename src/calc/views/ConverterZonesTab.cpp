#include "calc/views/ConverterZonesTab.h"

#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/views/ConverterCombo.h"
#include "calc/views/ConverterStyle.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/DatePartClicks.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ConverterStyle;

namespace {

void fillZones(QComboBox* combo)
{
    const QSignalBlocker block(combo);
    for (const QString& id : ConverterModel::zones())
        combo->addItem(TimeZones::displayName(id), id);
}

void select(QComboBox* combo, const QString& id)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(combo->findData(id)); // -1 for a zone the system does not know
}

// Date and hour-and-minute in the user's locale, with a four-digit year.
QString pickerFormat()
{
    const QLocale locale = QLocale::system();
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QStringLiteral("yyyy")))
        date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QString time = locale.timeFormat(QLocale::ShortFormat);
    time.remove(QStringLiteral(":ss"));
    return date + QStringLiteral(", ") + time;
}

// Digits of the clock rows keep their places: the time column is as wide as
// the widest reading it can show.
int clockTimeWidth(const QFont& font)
{
    const QFontMetrics fm(font);
    int widest = 0;
    const QDateTime sample(QDate(2026, 9, 30), QTime(22, 58));
    for (int month = 1; month <= 12; ++month) {
        for (int day = 0; day < 7; ++day) {
            const QDateTime at = sample.addMonths(month).addDays(day);
            widest = std::max(widest, fm.horizontalAdvance(ConverterModel::display(at, QStringLiteral("UTC"))));
        }
    }
    return widest + fm.horizontalAdvance(QStringLiteral("00"));
}

} // namespace

ConverterZonesTab::ConverterZonesTab(ConverterModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    // Convert a time.
    auto* convert = new ChromePanel(QStringLiteral("Convert a time"), nullptr, this);
    convert->setObjectName(QStringLiteral("convertPanel"));
    column->addWidget(convert);

    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(8);
    auto* datePick = new QWidget(convert);
    auto* dateH = new QHBoxLayout(datePick);
    dateH->setContentsMargins(0, 0, 0, 0);
    dateH->setSpacing(6);
    // "&&": a label with a buddy reads a single "&" as a mnemonic.
    QLabel* dateLabel = styledLabel(QStringLiteral("Date && time"), Fonts::system(13), Chrome::ink(), datePick);
    dateH->addWidget(dateLabel);
    m_date = new QDateTimeEdit(datePick);
    m_date->setObjectName(QStringLiteral("datePicker"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(pickerFormat());
    m_date->setTimeSpec(Qt::LocalTime);
    DatePartClicks::install(m_date);
    dateLabel->setBuddy(m_date);
    dateH->addWidget(m_date, 1);
    datePick->setMaximumWidth(290);
    datePick->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    dateRow->addWidget(datePick, 1);
    m_now = new ChromeButton(QStringLiteral("Now"), false, true, convert);
    m_now->setObjectName(QStringLiteral("now"));
    dateRow->addWidget(m_now);
    dateRow->addStretch(0);
    dateRow->setAlignment(Qt::AlignLeft);
    convert->contentLayout()->addLayout(dateRow);

    QLabel* explain = styledLabel(
        QStringLiteral("The date & time above is shown in your computer\u2019s zone. Pick the zone it belongs to:"),
        caption(), secondary(), convert);
    explain->setWordWrap(true);
    convert->contentLayout()->addWidget(explain);

    auto* zoneRow = new QHBoxLayout;
    zoneRow->setSpacing(8);
    auto* fromCombo = new ConverterCombo;
    m_from = fromCombo;
    m_from->setObjectName(QStringLiteral("tzFromPicker"));
    fillZones(m_from);
    zoneRow->addWidget(labelledPicker(QStringLiteral("From"), fromCombo, 0, convert), 1);
    m_swap = new ChromeButton(QString(), false, true, convert);
    m_swap->setObjectName(QStringLiteral("swapZones"));
    m_swap->setSymbol(QStringLiteral("arrow.left.arrow.right"));
    m_swap->setAccessibleName(QStringLiteral("Swap zones"));
    zoneRow->addWidget(m_swap);
    auto* toCombo = new ConverterCombo;
    m_to = toCombo;
    m_to->setObjectName(QStringLiteral("tzToPicker"));
    fillZones(m_to);
    zoneRow->addWidget(labelledPicker(QStringLiteral("To"), toCombo, 0, convert), 1);
    convert->contentLayout()->addLayout(zoneRow);

    m_resultBox = new QWidget(convert);
    m_resultBox->setObjectName(QStringLiteral("zoneResult"));
    auto* lines = new QVBoxLayout(m_resultBox);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(4);
    m_line1 = styledLabel(QString(), rounded(13), Chrome::ink(), m_resultBox);
    m_line2 = styledLabel(QString(), rounded(26, QFont::Black), Chrome::ink(), m_resultBox);
    m_line3 = styledLabel(QString(), rounded(13), Chrome::ink(), m_resultBox);
    for (QLabel* l : {m_line1, m_line2, m_line3}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumWidth(1);
        lines->addWidget(l);
    }
    convert->contentLayout()->addWidget(m_resultBox);

    // World clocks.
    auto* clocks = new ChromePanel(QStringLiteral("World clocks"), nullptr, this);
    clocks->setObjectName(QStringLiteral("clocksPanel"));
    column->addWidget(clocks);
    m_clockList = new QVBoxLayout;
    m_clockList->setContentsMargins(0, 0, 0, 0);
    m_clockList->setSpacing(6);
    clocks->contentLayout()->addLayout(m_clockList);

    m_add = new QPushButton(QStringLiteral("Add Clock"), clocks);
    m_add->setObjectName(QStringLiteral("addClock"));
    m_add->setFixedWidth(140);
    m_menu = new QMenu(m_add);
    m_add->setMenu(m_menu);
    clocks->contentLayout()->addWidget(m_add, 0, Qt::AlignLeft);
    column->addStretch(1);

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ConverterZonesTab::tick);

    connect(m_date, &QDateTimeEdit::dateTimeChanged, m_model, &ConverterModel::setTzDate);
    connect(m_now, &QPushButton::clicked, m_model, &ConverterModel::setNow);
    connect(m_from, &QComboBox::activated, this, [this](int index) {
        m_model->setTzFrom(m_from->itemData(index).toString());
    });
    connect(m_to, &QComboBox::activated, this, [this](int index) {
        m_model->setTzTo(m_to->itemData(index).toString());
    });
    connect(m_swap, &QPushButton::clicked, m_model, &ConverterModel::swapZones);
    connect(m_menu, &QMenu::aboutToShow, this, &ConverterZonesTab::rebuildMenu);

    connect(m_model, &ConverterModel::tzDateChanged, this, [this] {
        syncDate();
        refreshConversion();
    });
    connect(m_model, &ConverterModel::tzFromChanged, this, [this] {
        syncZones();
        refreshConversion();
        rebuildMenu();
    });
    connect(m_model, &ConverterModel::tzToChanged, this, [this] {
        syncZones();
        refreshConversion();
    });
    connect(m_model, &ConverterModel::clocksChanged, this, &ConverterZonesTab::rebuildClocks);

    syncDate();
    syncZones();
    refreshConversion();
    rebuildClocks();
    rebuildMenu();
}

void ConverterZonesTab::syncDate()
{
    const QSignalBlocker block(m_date);
    m_date->setDateTime(m_model->tzDate().toLocalTime());
}

void ConverterZonesTab::syncZones()
{
    select(m_from, m_model->tzFrom());
    select(m_to, m_model->tzTo());
}

void ConverterZonesTab::refreshConversion()
{
    const std::optional<QStringList> lines = m_model->zoneConversion();
    m_resultBox->setVisible(lines.has_value());
    if (!lines)
        return;
    m_line1->setText(lines->value(0));
    m_line2->setText(lines->value(1));
    m_line3->setText(lines->value(2));
}

void ConverterZonesTab::rebuildClocks()
{
    // Rows go later: the removal may come from a row's own button.
    for (const ClockRow& r : std::as_const(m_rows)) {
        m_clockList->removeWidget(r.row);
        r.row->hide();
        r.row->deleteLater();
    }
    m_rows.clear();

    const QFont timeFont = rounded(14, QFont::DemiBold);
    const int timeWidth = clockTimeWidth(timeFont);
    const QStringList ids = m_model->clocks();
    for (const QString& id : ids) {
        ClockRow r;
        r.id = id;
        r.row = new QWidget;
        auto* h = new QHBoxLayout(r.row);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(8);
        r.name = styledLabel(TimeZones::displayName(id), Fonts::system(13), Chrome::ink(), r.row);
        r.name->setFixedWidth(220);
        h->addWidget(r.name);
        r.time = styledLabel(QString(), timeFont, Chrome::ink(), r.row);
        r.time->setMinimumWidth(timeWidth);
        h->addWidget(r.time);
        r.offset = styledLabel(QString(), caption(), secondary(), r.row);
        h->addWidget(r.offset);
        h->addStretch(1);
        r.remove = new QToolButton(r.row);
        r.remove->setAutoRaise(true);
        r.remove->setIcon(Symbols::icon(QStringLiteral("minus.circle"), palette().color(QPalette::Highlight)));
        r.remove->setIconSize(QSize(16, 16));
        r.remove->setAccessibleName(QStringLiteral("Remove ") + TimeZones::displayName(id));
        h->addWidget(r.remove);
        connect(r.remove, &QToolButton::clicked, this, [this, id] { m_model->removeClock(id); });
        m_clockList->addWidget(r.row);
        m_rows.append(r);
    }
    tick();
}

void ConverterZonesTab::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const ClockRow& r : std::as_const(m_rows)) {
        r.time->setText(ConverterModel::display(now, r.id));
        r.offset->setText(TimeZones::clockOffset(r.id, now));
    }
}

void ConverterZonesTab::rebuildMenu()
{
    m_menu->clear();
    for (QStringView id : TimeZones::suggestions) {
        const QString zone = id.toString();
        m_menu->addAction(menuText(TimeZones::displayName(zone)), this, [this, zone] { m_model->addClock(zone); });
    }
    m_menu->addSeparator();
    const QString from = m_model->tzFrom();
    m_menu->addAction(menuText(QStringLiteral("Add \u201CFrom\u201D zone (") + from + QLatin1Char(')')), this,
                      [this, from] { m_model->addClock(from); });
}

void ConverterZonesTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    tick();
    m_timer.start();
}

void ConverterZonesTab::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}
