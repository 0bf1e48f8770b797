#include "collect/CollectedReport.h"

CollectedReport ReadReportDocument(QByteArrayView bytes, const QString& source)
{
    ReportReading reading = ReadReport(bytes);
    CollectedReport report;
    static_cast<ReportDocument&>(report) = std::move(reading.Document);
    report.Source = source;
    report.State = reading.readable() ? ReportState::Accepted : ReportState::Damaged;
    report.Reason = reading.Reason;
    return report;
}
