#pragma once

#include "core/StoreEvents.h"

#include <QWidget>

class QLabel;
class QVBoxLayout;

// The notice that tells the user, without stopping any work, that data could
// not be saved or read: a small window at the top right of the screen that
// never takes the focus, listing each problem not yet put right (which tool,
// which file, why, and where a damaged file was kept). It appears when a new
// problem is reported, stays until "Dismiss" or until every problem cleared,
// and comes back only for a new one.
class StoreNoticeView : public QWidget {
    Q_OBJECT
public:
    explicit StoreNoticeView(StoreEvents& events, QWidget* parent = nullptr);

    // The one notice of the program, following StoreEvents::shared(); made
    // on first use (and then showing problems reported before).
    static StoreNoticeView& shared();

    // The sentences shown, one per problem.
    QStringList messages() const;

public Q_SLOTS:
    void dismiss();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh(bool announce);
    void place();

    StoreEvents& m_events;
    QLabel* m_heading = nullptr;
    QVBoxLayout* m_list = nullptr;
    QList<QLabel*> m_labels;
};
