#include "calc/views/LoanCourseRow.h"

#include "calc/GPA.h"
#include "calc/LoanGPAModel.h"
#include "calc/views/LoanLook.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"
#include "ui/Symbols.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <cmath>

namespace {

const Course* courseWithId(const LoanGPAModel* model, const QUuid& id)
{
    for (const Course& c : model->courses()) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

} // namespace

LoanCourseRow::LoanCourseRow(LoanGPAModel* model, const QUuid& id, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_id(id)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    m_name = new SpellLineEdit(this);
    m_name->setPlaceholderText(QStringLiteral("Course name"));
    row->addWidget(m_name, 1, Qt::AlignVCenter);

    m_credits = new SpellLineEdit(this);
    FieldSpelling::exclude(m_credits); // numbers, not words
    m_credits->setFixedWidth(70);
    row->addWidget(m_credits, 0, Qt::AlignVCenter);

    m_grade = new QComboBox(this);
    m_grade->setFixedWidth(90);
    for (const GPA::Grade& g : GPA::grades())
        m_grade->addItem(g.grade, g.grade);
    row->addWidget(m_grade, 0, Qt::AlignVCenter);

    m_delete = new QToolButton(this);
    m_delete->setAutoRaise(true);
    m_delete->setFixedWidth(24);
    m_delete->setIcon(Symbols::icon(QStringLiteral("minus.circle"), LoanLook::secondary()));
    m_delete->setIconSize(QSize(16, 16));
    m_delete->setToolTip(QStringLiteral("Delete"));
    m_delete->setCursor(Qt::PointingHandCursor);
    m_delete->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    row->addWidget(m_delete, 0, Qt::AlignVCenter);

    refresh();

    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_model->setCourseName(m_id, text); });
    connect(m_credits, &QLineEdit::editingFinished, this, &LoanCourseRow::commitCredits);
    connect(m_grade, &QComboBox::activated, this, [this](int index) {
        m_model->setCourseGrade(m_id, m_grade->itemData(index).toString());
    });
    connect(m_delete, &QToolButton::clicked, this, [this] {
        // The row goes away with its course: remove it once this click has
        // been handled. A second click before then finds no course to remove.
        QPointer<LoanGPAModel> model(m_model);
        const QUuid id = m_id;
        QTimer::singleShot(0, m_model, [model, id] {
            if (model)
                model->removeCourses(id);
        });
    });
}

QString LoanCourseRow::creditsText(double credits)
{
    return QLocale().toString(credits, 'g', QLocale::FloatingPointShortest);
}

void LoanCourseRow::refresh()
{
    const Course* c = courseWithId(m_model, m_id);
    if (!c)
        return;
    if (!m_name->hasFocus() && m_name->text() != c->name)
        m_name->setText(c->name);
    if (!m_credits->hasFocus())
        m_credits->setText(creditsText(c->credits));
    const int index = m_grade->findData(c->grade);
    if (m_grade->currentIndex() != index)
        m_grade->setCurrentIndex(index);
}

void LoanCourseRow::commitCredits()
{
    bool ok = false;
    const double credits = QLocale().toDouble(m_credits->text().trimmed(), &ok);
    // The locale's reader takes "inf" and "nan" too; neither is a number of
    // credits, and neither could be saved.
    if (ok && std::isfinite(credits))
        m_model->setCourseCredits(m_id, credits);
    // Text that is not a number goes back to the value it had.
    if (const Course* c = courseWithId(m_model, m_id))
        m_credits->setText(creditsText(c->credits));
}
