#include "run/SheetNaming.h"

#include <QRegularExpression>

#include <algorithm>

namespace tavorin {

QString sheetCopyName(const QString& base, int number)
{
    const QString suffix = QLatin1Char('(') + QString::number(number) + QLatin1Char(')');
    return base.left(std::max<qsizetype>(0, maximumSheetNameLength - suffix.size())) + suffix;
}

int initialCopyCounter(const QString& base, const QStringList& sheetNames)
{
    int counter = 0;
    // Bounded by the list: at most one number per listed sheet can be taken.
    for (qsizetype attempt = 0; attempt <= sheetNames.size(); ++attempt) {
        ++counter;
        if (!sheetNames.contains(sheetCopyName(base, counter), Qt::CaseSensitive))
            break;
    }
    return counter - 1;
}

QString longDateWithoutWeekday(const QDate& date, const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    // Drop the weekday together with the separators that belong to it ("dddd, " or "（dddd）").
    static const QRegularExpression weekday(QStringLiteral("[\\s,、（(]*d{3,4}[\\s,、）)]*"));
    QString withoutWeekday = format;
    withoutWeekday.replace(weekday, QStringLiteral(" "));
    withoutWeekday = withoutWeekday.trimmed();
    if (locale.language() == QLocale::Japanese)
        return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
    return locale.toString(date, withoutWeekday);
}

QString sheetNameBaseFromDate(const QDate& date, const QLocale& locale)
{
    // Excel refuses : \ / ? * [ ] in a sheet name, and an apostrophe at either end.
    QString name = longDateWithoutWeekday(date, locale);
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
    name.replace(QLatin1Char(':'), QLatin1Char('.')).replace(QLatin1Char('['), QLatin1Char('('));
    name.replace(QLatin1Char(']'), QLatin1Char(')'));
    name.remove(QLatin1Char('?')).remove(QLatin1Char('*'));
    while (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        name = name.startsWith(QLatin1Char('\'')) ? name.mid(1) : name.chopped(1);
    name = name.trimmed();
    return name.isEmpty() ? date.toString(Qt::ISODate) : name;
}

} // namespace tavorin
