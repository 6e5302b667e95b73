#pragma once

#include <QWidget>

// The dark display of the calculators: lay its lines out inside it.
class DisplayPanel : public QWidget {
    Q_OBJECT
public:
    explicit DisplayPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
