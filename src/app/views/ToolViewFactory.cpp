#include "app/views/ToolViewFactory.h"

#include "calc/views/CalculatorView.h"
#include "calc/views/ConverterView.h"
#include "calc/views/LoanGPAView.h"
#include "calc/views/ScientificView.h"
#include "citations/views/CitationView.h"
#include "games/views/BingoView.h"
#include "games/views/SolitaireView.h"
#include "invoices/views/InvoiceView.h"
#include "notes/views/RecorderView.h"
#include "notes/views/StickyManagerView.h"
#include "passwords/views/PasswordsView.h"
#include "planner/views/FocusView.h"
#include "planner/views/TimelineView.h"
#include "ui/UnavailableNotice.h"

#include <QWidget>

// One include and one case per tool whose root view exists.

QWidget* makeToolView(Tool tool)
{
    switch (tool.value()) {
    case Tool::calculator:
        return new CalculatorView;
    case Tool::scientific:
        return new ScientificView;
    case Tool::citation:
        return new CitationView;
    case Tool::converter:
        return new ConverterView;
    case Tool::loanGPA:
        return new LoanGPAView;
    case Tool::focus:
        return new FocusView;
    case Tool::invoice:
        return new InvoiceView;
    case Tool::recorder:
        return new RecorderView;
    case Tool::passwords:
        return new PasswordsView;
    case Tool::timeline:
        return new TimelineView;
    case Tool::solitaire:
        return new SolitaireView;
    case Tool::bingo:
        return new BingoView;
    case Tool::stickyNotes:
        return new StickyManagerView;
    default:
        break;
    }
    // A tool without a root view in this build says so plainly instead of
    // opening blank.
    auto* notice = new QWidget;
    addUnavailableNotice(notice, tool);
    return notice;
}
