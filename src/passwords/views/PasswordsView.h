#pragma once

#include <QWidget>

class PasswordBookModel;
class QLabel;

// The Password Generator & Book window's content. It watches the shared
// password book and tells the user that the tool is not available in this
// release.
class PasswordsView : public QWidget {
    Q_OBJECT
public:
    explicit PasswordsView(QWidget* parent = nullptr);

    PasswordBookModel& model() const { return m_model; }
    QLabel* messageLabel() const { return m_message; }

private:
    PasswordBookModel& m_model;
    QLabel* m_message = nullptr;
};
