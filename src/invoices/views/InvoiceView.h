#pragma once

#include <QWidget>

class InvoiceStore;
class QLabel;

// The Invoice & Receipt Maker window's content. It makes and owns the
// invoice store (which reads "invoices.json") and tells the user that the
// tool is not available in this release.
class InvoiceView : public QWidget {
    Q_OBJECT
public:
    explicit InvoiceView(QWidget* parent = nullptr);

    InvoiceStore* store() const { return m_store; }
    QLabel* messageLabel() const { return m_message; }

private:
    InvoiceStore* m_store;
    QLabel* m_message = nullptr;
};
