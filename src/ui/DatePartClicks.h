#pragma once

#include <QObject>

class QDateTimeEdit;
class QLineEdit;

// A click on a part of a date or time field (its day, month, year, hour…)
// selects that part, so the digits typed next replace it. Without this the
// click only places the cursor, and typing "18" after a day's "12" makes a
// day that does not exist, which the field quietly refuses. A click that
// ends a selection of the user's own keeps it.
class DatePartClicks : public QObject {
    Q_OBJECT
public:
    // Lives as long as the field.
    static void install(QDateTimeEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DatePartClicks(QDateTimeEdit* field, QLineEdit* text);

    QDateTimeEdit* m_field;
    QLineEdit* m_text;
};
