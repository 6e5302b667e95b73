#pragma once

#include <QWidget>

class CitationModel;
class QLabel;

// The Citation Builder window's content. It makes and owns the citation
// model (which reads "citations.json") and tells the user that the tool is
// not available in this release.
class CitationView : public QWidget {
    Q_OBJECT
public:
    explicit CitationView(QWidget* parent = nullptr);

    CitationModel* model() const { return m_model; }
    QLabel* messageLabel() const { return m_message; }

private:
    CitationModel* m_model;
    QLabel* m_message = nullptr;
};
