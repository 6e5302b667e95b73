#include "citations/views/CitationView.h"

#include "core/Tool.h"
#include "ui/UnavailableNotice.h"
#include "citations/CitationModel.h"

CitationView::CitationView(QWidget* parent)
    : QWidget(parent)
    , m_model(new CitationModel(this))
{
    m_message = addUnavailableNotice(this, Tool::citation);
}
