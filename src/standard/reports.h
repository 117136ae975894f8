// reports.h: signal reports (RST_SENT, RST_RCVD). The standard holds them
// as Strings; what tells a column of reports in an old log.

#ifndef LOGWEAVE_STANDARD_REPORTS_H_
#define LOGWEAVE_STANDARD_REPORTS_H_

#include <string>
#include <string_view>

/// True for a signal report: 1 to 3 digits (59, 599), digits with N for
/// nine (5NN), or signed decibels (-12, +05); blanks inside allowed.
bool LooksLikeReport(std::string_view text);

/// \a text as a report is written: without the blanks inside it ("5 9" is
/// 59). False when the blanks part more than a report of three characters
/// ("599 001": a report and a serial number), or \a text is no report.
bool MendReport(std::string_view text, std::string* report);

#endif  // LOGWEAVE_STANDARD_REPORTS_H_
