#include "wordproc/views/WPHeaderFooterDialog.h"

#include "ui/Fonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

WPHeaderFooterDialog::WPHeaderFooterDialog(const QString& header, const QString& footer, QWidget* parent)
    : QDialog(parent)
    , m_header(new QLineEdit(header, this))
    , m_footer(new QLineEdit(footer, this))
{
    setObjectName(QStringLiteral("wpHeaderFooter"));
    setWindowTitle(QStringLiteral("Header & Footer"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 18, 20, 14);
    column->setSpacing(6);
    auto* title = new QLabel(QStringLiteral("Header & Footer"), this);
    title->setFont(Fonts::system(13, QFont::Bold));
    auto* info = new QLabel(
        QStringLiteral("Printed on every page and in exported PDFs. Use {page}, {pages}, {date} and {title}."), this);
    info->setWordWrap(true);
    info->setFont(Fonts::system(11));
    column->addWidget(title);
    column->addWidget(info);
    column->addSpacing(6);
    m_header->setPlaceholderText(QStringLiteral("Header (e.g. {title})"));
    m_footer->setPlaceholderText(QStringLiteral("Footer (e.g. Page {page} of {pages})"));
    m_header->setObjectName(QStringLiteral("header"));
    m_footer->setObjectName(QStringLiteral("footer"));
    for (QLineEdit* field : {m_header, m_footer})
        field->setFixedWidth(360);
    column->addWidget(new QLabel(QStringLiteral("Header"), this));
    column->addWidget(m_header);
    column->addWidget(new QLabel(QStringLiteral("Footer"), this));
    column->addWidget(m_footer);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addSpacing(8);
    column->addWidget(buttons);
}

QString WPHeaderFooterDialog::header() const
{
    return m_header->text();
}

QString WPHeaderFooterDialog::footer() const
{
    return m_footer->text();
}
