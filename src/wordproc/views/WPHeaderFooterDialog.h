#pragma once

#include <QDialog>

class QLineEdit;

// "Header & Footer": the two templates of the document, with the
// placeholders explained. OK keeps the fields as typed.
class WPHeaderFooterDialog : public QDialog {
    Q_OBJECT
public:
    WPHeaderFooterDialog(const QString& header, const QString& footer, QWidget* parent = nullptr);

    QString header() const;
    QString footer() const;
    QLineEdit* headerField() const { return m_header; }
    QLineEdit* footerField() const { return m_footer; }

private:
    QLineEdit* m_header;
    QLineEdit* m_footer;
};
