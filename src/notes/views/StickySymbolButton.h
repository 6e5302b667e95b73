#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// A borderless button showing one symbol image in a tint colour.
class StickySymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    StickySymbolButton(const QString& symbol, qreal pointSize, const QColor& tint, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    qreal m_size;
    QColor m_tint;
};
