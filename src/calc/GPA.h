#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// Credit-weighted grade point averages on the four-point letter scale.
// Pure functions, safe from any thread.
namespace GPA {

struct Grade {
    QString grade;
    std::optional<double> points; // none: on the scale but never counted
};

// A course as these functions see it: (credits, grade).
using CourseTuple = std::pair<double, QString>;

struct TermResult {
    double gpa = 0;
    double credits = 0;       // credits that counted
    double qualityPoints = 0; // credits × points, summed
};

// The fifteen grades in display order: "A+" (4.0, like "A") down to "F"
// (0, counted), then "P" and "W", which never count.
const QList<Grade>& grades();

// The points of a grade text, read in upper case without surrounding spaces
// and tabs; none for "P", "W" and texts off the scale.
std::optional<double> points(const QString& grade);

// Courses with credits above 0 and a grade that carries points count; the
// GPA is 0 when none does.
TermResult compute(const QList<CourseTuple>& courses);

// The earlier record counts as priorCredits credits at priorGPA points each;
// 0 when no credit counts at all.
double cumulative(double priorGPA, double priorCredits, const QList<CourseTuple>& courses);

// Two decimals: 24 / 7 -> "3.43".
QString format(double gpa);

} // namespace GPA
