#include "calc/views/LoanGPATab.h"

#include "calc/GPA.h"
#include "calc/LoanGPAModel.h"
#include "calc/views/LoanCourseRow.h"
#include "calc/views/LoanLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/NumberField.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

LoanGPATab::LoanGPATab(LoanGPAModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    auto* coursesPanel = new ChromePanel(QStringLiteral("This term’s courses"), nullptr, this);
    QVBoxLayout* courses = coursesPanel->contentLayout();
    auto* headings = new QHBoxLayout;
    headings->setSpacing(8);
    const QFont headingFont = LoanLook::rounded(11, QFont::Black);
    const auto heading = [&](const QString& text, int width) {
        QLabel* l = styledLabel(text, headingFont, Chrome::turquoiseDeep(), coursesPanel);
        if (width > 0)
            l->setFixedWidth(width);
        headings->addWidget(l, width > 0 ? 0 : 1, Qt::AlignVCenter);
    };
    heading(QStringLiteral("Course"), 0);
    heading(QStringLiteral("Credits"), 70);
    heading(QStringLiteral("Grade"), 90);
    // Stands where each row has its delete button.
    auto* spacer = new QWidget(coursesPanel);
    spacer->setFixedWidth(24);
    headings->addWidget(spacer);
    courses->addLayout(headings);

    m_scroll = new QScrollArea(coursesPanel);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    auto* list = new QWidget(m_scroll);
    m_rowsLayout = new QVBoxLayout(list);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(6);
    m_rowsLayout->addStretch(1);
    m_scroll->setWidget(list);
    list->setAutoFillBackground(false); // setWidget turns it on
    courses->addWidget(m_scroll, 1);

    m_add = new ChromeButton(QStringLiteral("Add Course"), false, true, coursesPanel);
    courses->addWidget(m_add, 0, Qt::AlignLeft);
    QLabel* scale = styledLabel(QStringLiteral("4.0 scale: A/A+ 4.0 · A- 3.7 · B+ 3.3 · B 3.0 · B- 2.7 · C+ 2.3 · "
                                                   "C 2.0 · C- 1.7 · D+ 1.3 · D 1.0 · D- 0.7 · F 0. P and W don’t count."),
                                    LoanLook::caption2(), LoanLook::secondary(), coursesPanel);
    scale->setWordWrap(true);
    courses->addWidget(scale);
    row->addWidget(coursesPanel, 1);

    auto* side = new QWidget(this);
    side->setFixedWidth(280);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->setSpacing(12);

    auto* termPanel = new ChromePanel(QStringLiteral("Term GPA"), nullptr, side);
    m_term = styledLabel(QString(), LoanLook::rounded(46, QFont::Black), Chrome::ink(), termPanel);
    m_termCaption = styledLabel(QString(), LoanLook::caption(), LoanLook::secondary(), termPanel);
    termPanel->contentLayout()->addWidget(m_term, 0, Qt::AlignHCenter);
    termPanel->contentLayout()->addWidget(m_termCaption, 0, Qt::AlignHCenter);
    sideColumn->addWidget(termPanel);

    auto* cumulativePanel = new ChromePanel(QStringLiteral("Cumulative GPA"), nullptr, side);
    QVBoxLayout* cumulative = cumulativePanel->contentLayout();
    m_priorGPA = new NumberField(QStringLiteral("GPA before this term"), model->priorGPA(), 120, QStringLiteral("%.2f"),
                                 cumulativePanel);
    m_priorCredits = new NumberField(QStringLiteral("Credits before this term"), model->priorCredits(), 120,
                                     QStringLiteral("%.1f"), cumulativePanel);
    cumulative->addWidget(m_priorGPA);
    cumulative->addWidget(m_priorCredits);
    cumulative->addWidget(LoanLook::divider(cumulativePanel));
    m_cumulative = styledLabel(QString(), LoanLook::rounded(40, QFont::Black), Chrome::turquoiseDeep(),
                                   cumulativePanel);
    m_cumulativeCaption = styledLabel(QString(), LoanLook::caption(), LoanLook::secondary(), cumulativePanel);
    cumulative->addWidget(m_cumulative, 0, Qt::AlignHCenter);
    cumulative->addWidget(m_cumulativeCaption, 0, Qt::AlignHCenter);
    sideColumn->addWidget(cumulativePanel);
    sideColumn->addStretch(1);
    row->addWidget(side, 0, Qt::AlignTop);

    connect(m_add, &QPushButton::clicked, model, [model] { model->addCourse(); });
    connect(m_priorGPA, &NumberField::valueChanged, model, &LoanGPAModel::setPriorGPA);
    connect(m_priorCredits, &NumberField::valueChanged, model, &LoanGPAModel::setPriorCredits);
    connect(model, &LoanGPAModel::coursesChanged, this, &LoanGPATab::rebuildRows);

    rebuildRows();
    refresh();
}

void LoanGPATab::rebuildRows()
{
    for (LoanCourseRow* r : std::as_const(m_rows)) {
        r->hide();
        m_rowsLayout->removeWidget(r);
        r->deleteLater();
    }
    m_rows.clear();
    QWidget* list = m_scroll->widget();
    for (const Course& c : m_model->courses()) {
        auto* r = new LoanCourseRow(m_model, c.id, list);
        m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, r);
        m_rows.append(r);
    }
}

void LoanGPATab::refresh()
{
    const QList<GPA::CourseTuple> tuples = m_model->gpaTuples();
    const GPA::TermResult term = GPA::compute(tuples);
    const double cum = GPA::cumulative(m_model->priorGPA(), m_model->priorCredits(), tuples);

    for (LoanCourseRow* r : std::as_const(m_rows))
        r->refresh();
    m_term->setText(GPA::format(term.gpa));
    m_termCaption->setText(NumberField::fmt(QStringLiteral("%.1f"), term.credits) + QStringLiteral(" graded credits • ")
                           + NumberField::fmt(QStringLiteral("%.2f"), term.qualityPoints)
                           + QStringLiteral(" quality points"));
    m_priorGPA->setValue(m_model->priorGPA());
    m_priorCredits->setValue(m_model->priorCredits());
    m_cumulative->setText(GPA::format(cum));
    m_cumulativeCaption->setText(QStringLiteral("over ")
                                 + NumberField::fmt(QStringLiteral("%.1f"), m_model->priorCredits() + term.credits)
                                 + QStringLiteral(" credits"));
}
