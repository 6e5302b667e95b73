#include "passwords/views/PasswordsView.h"

#include "core/Tool.h"
#include "ui/UnavailableNotice.h"
#include "passwords/PasswordBookModel.h"

PasswordsView::PasswordsView(QWidget* parent)
    : QWidget(parent)
    , m_model(PasswordBookModel::shared())
{
    m_message = addUnavailableNotice(this, Tool::passwords);
}
