#include "calc/LoanGPAModel.h"

#include "core/Json.h"
#include "core/SafeFile.h"
#include "core/Store.h"

#include <QLocale>
#include <QPointer>
#include <cmath>
#include <limits>

namespace {

bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

template <class T>
bool same(const T& a, const T& b)
{
    return a == b;
}

} // namespace

QJsonValue LoanGPAModel::Saved::toJson() const
{
    return QJsonObject{
        {QStringLiteral("amount"), amount},
        {QStringLiteral("rate"), rate},
        {QStringLiteral("years"), years},
        {QStringLiteral("extra"), extra},
        {QStringLiteral("price"), price},
        {QStringLiteral("down"), down},
        {QStringLiteral("mRate"), mRate},
        {QStringLiteral("mYears"), mYears},
        {QStringLiteral("tax"), tax},
        {QStringLiteral("insurance"), insurance},
        {QStringLiteral("pmi"), pmi},
        {QStringLiteral("hoa"), hoa},
        {QStringLiteral("courses"), Json::fromList(courses)},
        {QStringLiteral("priorGPA"), priorGPA},
        {QStringLiteral("priorCredits"), priorCredits},
    };
}

std::optional<LoanGPAModel::Saved> LoanGPAModel::Saved::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Saved s;
    s.amount = r.number(QStringLiteral("amount"));
    s.rate = r.number(QStringLiteral("rate"));
    s.years = r.number(QStringLiteral("years"));
    s.extra = r.number(QStringLiteral("extra"));
    s.price = r.number(QStringLiteral("price"));
    s.down = r.number(QStringLiteral("down"));
    s.mRate = r.number(QStringLiteral("mRate"));
    s.mYears = r.integer(QStringLiteral("mYears"));
    s.tax = r.number(QStringLiteral("tax"));
    s.insurance = r.number(QStringLiteral("insurance"));
    s.pmi = r.number(QStringLiteral("pmi"));
    s.hoa = r.number(QStringLiteral("hoa"));
    s.courses = r.list<Course>(QStringLiteral("courses"), kMaxCourses);
    s.priorGPA = r.number(QStringLiteral("priorGPA"));
    s.priorCredits = r.number(QStringLiteral("priorCredits"));
    if (!r.ok())
        return std::nullopt;
    return s;
}

LoanGPAModel::LoanGPAModel(QObject* parent)
    : QObject(parent)
    , m_startDate(QDateTime::currentDateTime())
    , m_courses{Course::make(QStringLiteral("English 101"), 3, QStringLiteral("A")),
                Course::make(QStringLiteral("Biology"), 4, QStringLiteral("B+"))}
{
    if (const std::optional<Saved> s = Store::load<Saved>(kFileName))
        apply(*s);
}

void LoanGPAModel::apply(const Saved& s)
{
    m_amount = s.amount;
    m_rate = s.rate;
    m_years = s.years;
    m_extra = s.extra;
    m_price = s.price;
    m_down = s.down;
    m_mRate = s.mRate;
    m_mYears = s.mYears;
    m_tax = s.tax;
    m_insurance = s.insurance;
    m_pmi = s.pmi;
    m_hoa = s.hoa;
    m_courses = s.courses;
    m_priorGPA = s.priorGPA;
    m_priorCredits = s.priorCredits;
}

LoanGPAModel::Saved LoanGPAModel::saved() const
{
    Saved s;
    s.amount = m_amount;
    s.rate = m_rate;
    s.years = m_years;
    s.extra = m_extra;
    s.price = m_price;
    s.down = m_down;
    s.mRate = m_mRate;
    s.mYears = m_mYears;
    s.tax = m_tax;
    s.insurance = m_insurance;
    s.pmi = m_pmi;
    s.hoa = m_hoa;
    s.courses = m_courses;
    s.priorGPA = m_priorGPA;
    s.priorCredits = m_priorCredits;
    return s;
}

template <class T>
void LoanGPAModel::assign(T& field, const T& value)
{
    if (same(field, value))
        return;
    field = value;
    Q_EMIT changed();
}

void LoanGPAModel::setAmount(double v) { assign(m_amount, v); }
void LoanGPAModel::setRate(double v) { assign(m_rate, v); }
void LoanGPAModel::setYears(double v) { assign(m_years, v); }
void LoanGPAModel::setExtra(double v) { assign(m_extra, v); }
void LoanGPAModel::setStartDate(const QDateTime& v) { assign(m_startDate, v); }
void LoanGPAModel::setYearly(bool v) { assign(m_yearly, v); }
void LoanGPAModel::setPrice(double v) { assign(m_price, v); }
void LoanGPAModel::setDown(double v) { assign(m_down, v); }
void LoanGPAModel::setMRate(double v) { assign(m_mRate, v); }
void LoanGPAModel::setMYears(qint64 v) { assign(m_mYears, v); }
void LoanGPAModel::setTax(double v) { assign(m_tax, v); }
void LoanGPAModel::setInsurance(double v) { assign(m_insurance, v); }
void LoanGPAModel::setPmi(double v) { assign(m_pmi, v); }
void LoanGPAModel::setHoa(double v) { assign(m_hoa, v); }
void LoanGPAModel::setPriorGPA(double v) { assign(m_priorGPA, v); }
void LoanGPAModel::setPriorCredits(double v) { assign(m_priorCredits, v); }

void LoanGPAModel::setCourses(const QList<Course>& v)
{
    if (m_courses == v)
        return;
    m_courses = v;
    Q_EMIT coursesChanged();
    Q_EMIT changed();
}

QUuid LoanGPAModel::addCourse()
{
    // A longer list could not be read back, and the whole file with it.
    if (m_courses.size() >= kMaxCourses)
        return QUuid();
    const Course c = Course::make(QString(), 3, QStringLiteral("A"));
    m_courses.append(c);
    Q_EMIT coursesChanged();
    Q_EMIT changed();
    return c.id;
}

void LoanGPAModel::removeCourses(const QUuid& id)
{
    if (m_courses.removeIf([&id](const Course& c) { return c.id == id; }) == 0)
        return;
    Q_EMIT coursesChanged();
    Q_EMIT changed();
}

Course* LoanGPAModel::course(const QUuid& id)
{
    for (Course& c : m_courses) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

void LoanGPAModel::setCourseName(const QUuid& id, const QString& name)
{
    if (Course* c = course(id))
        assign(c->name, name);
}

void LoanGPAModel::setCourseCredits(const QUuid& id, double credits)
{
    if (Course* c = course(id))
        assign(c->credits, credits);
}

void LoanGPAModel::setCourseGrade(const QUuid& id, const QString& grade)
{
    if (Course* c = course(id))
        assign(c->grade, grade);
}

qint64 LoanGPAModel::months() const
{
    const double m = m_years * 12.0;
    if (std::isnan(m))
        return 1;
    const double n = std::round(m); // halves away from zero
    if (n < 1)
        return 1;
    // 2^63 is the first double past the 64-bit range.
    if (n >= 9223372036854775808.0)
        return std::numeric_limits<qint64>::max();
    return qint64(n);
}

LoanResult LoanGPAModel::loan() const
{
    return LoanMath::amortize(m_amount, m_rate, months(), m_extra);
}

LoanMath::MortgageBreakdown LoanGPAModel::mortgage() const
{
    return LoanMath::mortgage(m_price, m_down, m_mRate, m_mYears, m_tax, m_insurance, m_pmi, m_hoa);
}

QList<GPA::CourseTuple> LoanGPAModel::gpaTuples() const
{
    QList<GPA::CourseTuple> out;
    out.reserve(m_courses.size());
    for (const Course& c : m_courses)
        out.append({c.credits, c.grade});
    return out;
}

QString LoanGPAModel::date(qint64 forPeriod) const
{
    const QDate start = m_startDate.toLocalTime().date();
    QDate d;
    if (forPeriod >= std::numeric_limits<int>::min() && forPeriod <= std::numeric_limits<int>::max())
        d = start.addMonths(int(forPeriod));
    if (!d.isValid())
        d = start;
    return QLocale().toString(d, QStringLiteral("MMM yyyy"));
}

void LoanGPAModel::persist()
{
    QPointer<LoanGPAModel> self(this);
    m_saver.call([self] {
        if (self)
            Store::save(self->saved(), kFileName);
    });
}

QString LoanGPAModel::csvText() const
{
    const LoanResult r = loan();
    QString text = QStringLiteral("Payment #,Date,Payment,Principal,Interest,Extra,Balance\n");
    text.reserve(text.size() + r.schedule.size() * 64);
    for (const AmortizationRow& row : r.schedule) {
        text += QString::number(row.period) + QLatin1Char(',') + date(row.period) + QLatin1Char(',')
            + QString::asprintf("%.2f,%.2f,%.2f,%.2f,%.2f", row.payment, row.principal, row.interest, row.extra,
                                row.balance)
            + QLatin1Char('\n');
    }
    return text;
}

bool LoanGPAModel::writeTextFile(const QString& path, const QString& text)
{
    return SafeFile::write(path, text.toUtf8());
}

bool LoanGPAModel::exportCSV()
{
    if (!m_chooser)
        return false;
    const QString path = m_chooser(kProposedCsvName);
    if (path.isEmpty())
        return false;
    if (writeTextFile(path, csvText()))
        return true;
    Q_EMIT exportFailed(path);
    return false;
}
