#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace tavorin {

// The name of the n-th sheet copy: the base followed by "(n)".
QString sheetCopyName(const QString& base, int number);

// One less than the first copy number whose name is not in the sheet list. Only that first
// number is looked up; later copies simply count on from it.
int initialCopyCounter(const QString& base, const QStringList& sheetNames);

// A date in the locale's long date form without the weekday, as a Japanese desktop writes
// today's date ("2026年12月6日").
QString longDateWithoutWeekday(const QDate& date, const QLocale& locale);

} // namespace tavorin
