#include "invoices/views/InvoiceView.h"

#include "core/Tool.h"
#include "ui/UnavailableNotice.h"
#include "invoices/InvoiceStore.h"

InvoiceView::InvoiceView(QWidget* parent)
    : QWidget(parent)
    , m_store(new InvoiceStore(this))
{
    m_message = addUnavailableNotice(this, Tool::invoice);
}
