#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace tavorin {

// The longest name a sheet can have.
inline constexpr qsizetype maximumSheetNameLength = 31;

// The name of the n-th sheet copy: the base followed by "(n)", the base shortened so that the
// whole stays a sheet name's length.
QString sheetCopyName(const QString& base, int number);

// One less than the first copy number whose name is not in the sheet list. Only that first
// number is looked up; later copies simply count on from it.
int initialCopyCounter(const QString& base, const QStringList& sheetNames);

// A date in the locale's long date form without the weekday, as a Japanese desktop writes
// today's date ("2026年12月6日").
QString longDateWithoutWeekday(const QDate& date, const QLocale& locale);

// That date as the base of sheet copies' names: whatever the locale writes, a valid sheet name
// (characters a sheet name cannot hold are replaced), so that no copy fails to be named.
QString sheetNameBaseFromDate(const QDate& date, const QLocale& locale);

} // namespace tavorin
