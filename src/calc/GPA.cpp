#include "calc/GPA.h"

#include "core/CFormat.h"

#include <QChar>

namespace GPA {

const QList<Grade>& grades()
{
    static const QList<Grade> table = {
        {QStringLiteral("A+"), 4.0}, {QStringLiteral("A"), 4.0},  {QStringLiteral("A-"), 3.7},
        {QStringLiteral("B+"), 3.3}, {QStringLiteral("B"), 3.0},  {QStringLiteral("B-"), 2.7},
        {QStringLiteral("C+"), 2.3}, {QStringLiteral("C"), 2.0},  {QStringLiteral("C-"), 1.7},
        {QStringLiteral("D+"), 1.3}, {QStringLiteral("D"), 1.0},  {QStringLiteral("D-"), 0.7},
        {QStringLiteral("F"), 0.0},  {QStringLiteral("P"), std::nullopt}, {QStringLiteral("W"), std::nullopt},
    };
    return table;
}

namespace {

// Spaces (any space separator) and tabs; line breaks stay.
bool isBlank(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

std::optional<double> points(const QString& grade)
{
    const QString upper = grade.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && isBlank(upper.at(begin)))
        ++begin;
    while (end > begin && isBlank(upper.at(end - 1)))
        --end;
    const QStringView key = QStringView(upper).mid(begin, end - begin);
    for (const Grade& g : grades()) {
        if (g.grade == key)
            return g.points;
    }
    return std::nullopt;
}

namespace {

void sum(const QList<CourseTuple>& courses, double& credits, double& qualityPoints)
{
    credits = 0;
    qualityPoints = 0;
    for (const CourseTuple& c : courses) {
        if (!(c.first > 0))
            continue;
        const std::optional<double> p = points(c.second);
        if (!p)
            continue;
        credits += c.first;
        qualityPoints += c.first * *p;
    }
}

} // namespace

TermResult compute(const QList<CourseTuple>& courses)
{
    TermResult r;
    sum(courses, r.credits, r.qualityPoints);
    r.gpa = r.credits > 0 ? r.qualityPoints / r.credits : 0.0;
    return r;
}

double cumulative(double priorGPA, double priorCredits, const QList<CourseTuple>& courses)
{
    double c = 0;
    double q = 0;
    sum(courses, c, q);
    const double total = c + priorCredits;
    if (total > 0)
        return (priorGPA * priorCredits + q) / total;
    return 0;
}

QString format(double gpa)
{
    return CFormat::number("%.2f", gpa);
}

} // namespace GPA
