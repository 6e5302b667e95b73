#pragma once

#include "core/Debouncer.h"
#include "calc/Course.h"
#include "calc/GPA.h"
#include "calc/LoanMath.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

// The state of the Loan & GPA Calculator: the inputs of the loan, mortgage
// and GPA tabs, the figures derived from them, and the CSV export of the
// amortisation schedule.
//
// The inputs are kept in "loan_gpa.json"; persist() writes them 0.6 s after
// the last call. The model itself does not save on a change: the window
// calls persist() whenever changed() fires. startDate and yearly are not
// saved, so every run starts on today's date with monthly rows.
class LoanGPAModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(double amount READ amount WRITE setAmount NOTIFY changed)
    Q_PROPERTY(double rate READ rate WRITE setRate NOTIFY changed)
    Q_PROPERTY(double years READ years WRITE setYears NOTIFY changed)
    Q_PROPERTY(double extra READ extra WRITE setExtra NOTIFY changed)
    Q_PROPERTY(QDateTime startDate READ startDate WRITE setStartDate NOTIFY changed)
    Q_PROPERTY(bool yearly READ yearly WRITE setYearly NOTIFY changed)
    Q_PROPERTY(double price READ price WRITE setPrice NOTIFY changed)
    Q_PROPERTY(double down READ down WRITE setDown NOTIFY changed)
    Q_PROPERTY(double mRate READ mRate WRITE setMRate NOTIFY changed)
    Q_PROPERTY(qint64 mYears READ mYears WRITE setMYears NOTIFY changed)
    Q_PROPERTY(double tax READ tax WRITE setTax NOTIFY changed)
    Q_PROPERTY(double insurance READ insurance WRITE setInsurance NOTIFY changed)
    Q_PROPERTY(double pmi READ pmi WRITE setPmi NOTIFY changed)
    Q_PROPERTY(double hoa READ hoa WRITE setHoa NOTIFY changed)
    Q_PROPERTY(double priorGPA READ priorGPA WRITE setPriorGPA NOTIFY changed)
    Q_PROPERTY(double priorCredits READ priorCredits WRITE setPriorCredits NOTIFY changed)

public:
    static constexpr double kSaveDelay = 0.6;
    static inline const QString kFileName = QStringLiteral("loan_gpa.json");
    static inline const QString kProposedCsvName = QStringLiteral("Amortization Schedule.csv");

    // More courses than this in the file make it unreadable: far above any
    // degree, and the list stays quick to lay out.
    static constexpr qsizetype kMaxCourses = 500;

    // Exactly what goes into "loan_gpa.json"; every key is required.
    struct Saved {
        double amount = 0;
        double rate = 0;
        double years = 0;
        double extra = 0;
        double price = 0;
        double down = 0;
        double mRate = 0;
        qint64 mYears = 0;
        double tax = 0;
        double insurance = 0;
        double pmi = 0;
        double hoa = 0;
        QList<Course> courses;
        double priorGPA = 0;
        double priorCredits = 0;

        QJsonValue toJson() const;
        static std::optional<Saved> fromJson(const QJsonValue& value);
        friend bool operator==(const Saved&, const Saved&) = default;
    };

    // Asks where to save a file; gets the proposed file name and returns the
    // chosen path, or an empty text when the user cancels.
    using SavePathChooser = std::function<QString(const QString& proposedName)>;

    // Initial values, then the saved state if "loan_gpa.json" reads
    // completely (a file with any key missing or of a wrong type restores
    // nothing).
    explicit LoanGPAModel(QObject* parent = nullptr);

    double amount() const { return m_amount; }
    double rate() const { return m_rate; }
    double years() const { return m_years; }
    double extra() const { return m_extra; }
    QDateTime startDate() const { return m_startDate; }
    bool yearly() const { return m_yearly; }
    double price() const { return m_price; }
    double down() const { return m_down; }
    double mRate() const { return m_mRate; }
    qint64 mYears() const { return m_mYears; }
    double tax() const { return m_tax; }
    double insurance() const { return m_insurance; }
    double pmi() const { return m_pmi; }
    double hoa() const { return m_hoa; }
    const QList<Course>& courses() const { return m_courses; }
    double priorGPA() const { return m_priorGPA; }
    double priorCredits() const { return m_priorCredits; }

    void setAmount(double v);
    void setRate(double v);
    void setYears(double v);
    void setExtra(double v);
    void setStartDate(const QDateTime& v);
    void setYearly(bool v);
    void setPrice(double v);
    void setDown(double v);
    void setMRate(double v);
    void setMYears(qint64 v);
    void setTax(double v);
    void setInsurance(double v);
    void setPmi(double v);
    void setHoa(double v);
    void setCourses(const QList<Course>& v);
    void setPriorGPA(double v);
    void setPriorCredits(double v);

    // Course list edits. addCourse appends an empty-named course of 3 credits
    // graded "A" and returns its id (nothing is added, and a null id comes
    // back, once the list holds kMaxCourses); removeCourses removes every course with
    // that id (nothing when there is none); the setters edit the course with
    // that id.
    QUuid addCourse();
    void removeCourses(const QUuid& id);
    void setCourseName(const QUuid& id, const QString& name);
    void setCourseCredits(const QUuid& id, double credits);
    void setCourseGrade(const QUuid& id, const QString& grade);

    // years × 12 rounded half away from zero, at least 1. A term that is not
    // a number counts as 1 payment, one beyond the 64-bit range as the
    // largest count (the schedule itself stops at LoanMath::kMaxMonths).
    qint64 months() const;
    LoanResult loan() const;
    LoanMath::MortgageBreakdown mortgage() const;
    QList<GPA::CourseTuple> gpaTuples() const;
    // The month and year of payment n ("Feb 2026"): n calendar months after
    // startDate, in the user's locale.
    QString date(qint64 forPeriod) const;

    Saved saved() const;

    // Schedules a save of the inputs 0.6 s after the last call.
    void persist();
    bool isSavePending() const { return m_saver.isPending(); }

    // The schedule of loan() as CSV: a header line, then one line per payment
    // with the figures printed "%.2f"; every line ends in a line feed.
    QString csvText() const;
    // Writes `text` as UTF-8 (no byte-order mark), replacing the file at once.
    static bool writeTextFile(const QString& path, const QString& text);

    void setSavePathChooser(SavePathChooser chooser) { m_chooser = std::move(chooser); }
    // Asks for a file (proposing "Amortization Schedule.csv") and writes the
    // schedule there. Cancelling writes nothing; a failed write emits
    // exportFailed. Returns whether a file was written.
    bool exportCSV();

Q_SIGNALS:
    // Any property, including the course list, changed.
    void changed();
    // A course was added or removed, or the list was replaced.
    void coursesChanged();
    void exportFailed(const QString& path);

private:
    void apply(const Saved& s);
    template <class T>
    void assign(T& field, const T& value);
    Course* course(const QUuid& id);

    double m_amount = 25000;
    double m_rate = 6.5;
    double m_years = 5;
    double m_extra = 0;
    QDateTime m_startDate;
    bool m_yearly = false;
    double m_price = 350000;
    double m_down = 35000;
    double m_mRate = 6.75;
    qint64 m_mYears = 30;
    double m_tax = 2400;
    double m_insurance = 1200;
    double m_pmi = 0.5;
    double m_hoa = 0;
    QList<Course> m_courses;
    double m_priorGPA = 0;
    double m_priorCredits = 0;
    SavePathChooser m_chooser;
    // Last, so a save still pending at destruction sees the state above.
    Debouncer m_saver{kSaveDelay};
};
