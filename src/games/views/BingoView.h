#pragma once

#include <QWidget>

class BingoModel;
class QLabel;

// The Bingo window's content. It makes and owns the bingo model (which
// reads the game statistics) and tells the user that the tool is not
// available in this release.
class BingoView : public QWidget {
    Q_OBJECT
public:
    explicit BingoView(QWidget* parent = nullptr);

    BingoModel* model() const { return m_model; }
    QLabel* messageLabel() const { return m_message; }

private:
    BingoModel* m_model;
    QLabel* m_message = nullptr;
};
