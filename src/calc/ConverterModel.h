#pragma once

#include "calc/UnitCategory.h"

#include <QDateTime>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// The state of one Unit Converter window: the unit choice and typed value of
// the "Units" tab, the zones, chosen time and world clocks of the "Time
// Zones" tab. The choices (not the typed value or chosen time) are written
// to "converter.json" at once on every assignment.
class ConverterModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(UnitCategory category READ category WRITE setCategory NOTIFY categoryChanged)
    Q_PROPERTY(QString input READ input WRITE setInput NOTIFY inputChanged)
    Q_PROPERTY(QString from READ from WRITE setFrom NOTIFY fromChanged)
    Q_PROPERTY(QString to READ to WRITE setTo NOTIFY toChanged)
    Q_PROPERTY(QString tzFrom READ tzFrom WRITE setTzFrom NOTIFY tzFromChanged)
    Q_PROPERTY(QString tzTo READ tzTo WRITE setTzTo NOTIFY tzToChanged)
    Q_PROPERTY(QDateTime tzDate READ tzDate WRITE setTzDate NOTIFY tzDateChanged)
    Q_PROPERTY(QStringList clocks READ clocks WRITE setClocks NOTIFY clocksChanged)

public:
    static inline const QString kFileName = QStringLiteral("converter.json");

    // More world clocks than this in the file make it unreadable: far above
    // real use, and the clocks stay quick to lay out.
    static constexpr qsizetype kMaxClocks = 500;

    // Exactly what goes into "converter.json"; every key is required.
    struct Saved {
        UnitCategory category;
        QString from;
        QString to;
        QString tzFrom;
        QString tzTo;
        QStringList clocks;

        QJsonValue toJson() const;
        static std::optional<Saved> fromJson(const QJsonValue& value);
    };

    // Defaults, then the saved state when "converter.json" decodes.
    explicit ConverterModel(QObject* parent = nullptr);

    UnitCategory category() const { return m_category; }
    QString input() const { return m_input; }
    QString from() const { return m_from; }
    QString to() const { return m_to; }
    QString tzFrom() const { return m_tzFrom; }
    QString tzTo() const { return m_tzTo; }
    QDateTime tzDate() const { return m_tzDate; }
    QStringList clocks() const { return m_clocks; }
    bool isLoading() const { return m_loading; }

    // A new category resets the unit pair to its default; every call saves.
    void setCategory(UnitCategory category);
    void setInput(const QString& input);   // not saved
    void setFrom(const QString& id);
    void setTo(const QString& id);
    void setTzFrom(const QString& id);
    void setTzTo(const QString& id);
    void setTzDate(const QDateTime& date); // not saved
    void setClocks(const QStringList& clocks);

    // The category's default pair: `from`, then `to` (each saves).
    void resetUnits();
    void swapUnits();
    void swapZones();
    // Sets the chosen time to the current moment.
    void setNow();

    // Appends a zone unless exactly that identifier is already listed.
    void addClock(const QString& id);
    // Removes every entry equal to `id`.
    void removeClock(const QString& id);

    // Writes the choices, unless the saved state is being applied.
    void save();

    // The typed value as a number: commas dropped, spaces and tabs trimmed,
    // then the whole text read as a decimal number (or inf / nan).
    static std::optional<double> parseInput(const QString& text);
    // Whether the typed value reads as a number (else the window hints).
    bool inputIsNumber() const { return parseInput(m_input).has_value(); }
    // The typed value converted into `unitId`, at most 10 significant
    // digits; "—" when there is nothing to show.
    QString result(const QString& unitId) const;
    // The symbol of a unit of the current category; empty for other ids.
    QString symbol(const QString& unitId) const;
    // "1 mi in every length unit".
    QString everyUnitTitle() const;

    // The zone identifiers of the zone pickers.
    static const QStringList& zones();
    // `date` in the zone `id` as "Wed, Jul 1, 2026  2:00 PM".
    static QString display(const QDateTime& date, const QString& id);
    // The three lines of the "Convert a time" result; nothing to show when
    // a zone is unknown or the date cannot be built.
    std::optional<QStringList> zoneConversion() const;

Q_SIGNALS:
    void categoryChanged();
    void inputChanged();
    void fromChanged();
    void toChanged();
    void tzFromChanged();
    void tzToChanged();
    void tzDateChanged();
    void clocksChanged();

private:
    void apply(const Saved& saved);

    UnitCategory m_category = UnitCategory::length;
    QString m_input = QStringLiteral("1");
    QString m_from = QStringLiteral("mi");
    QString m_to = QStringLiteral("km");
    QString m_tzFrom;
    QString m_tzTo = QStringLiteral("UTC");
    QDateTime m_tzDate;
    QStringList m_clocks;
    bool m_loading = false;
};
