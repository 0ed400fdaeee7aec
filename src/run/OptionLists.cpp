#include "run/OptionLists.h"

namespace tavorin {

namespace {

QStringList numberItems(int first, int last)
{
    QStringList items;
    items.reserve(last - first + 1);
    for (int n = first; n <= last; ++n)
        items.append(QString::number(n));
    return items;
}

QStringList withBlanks(int beforeOneLetter, int beforeTwoLetters)
{
    QStringList names;
    names.reserve(worksheetColumnCount);
    for (const QString& name : columnNames())
        names.append(QString(name.size() == 1 ? beforeOneLetter : beforeTwoLetters, QLatin1Char(' ')) + name);
    return names;
}

} // namespace

QStringList columnNames()
{
    QStringList names;
    names.reserve(worksheetColumnCount);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        names.append(QString(QLatin1Char(letter)));
    for (char first = 'A'; first <= 'H'; ++first)
        for (char second = 'A'; second <= 'Z'; ++second)
            names.append(QString(QLatin1Char(first)) + QLatin1Char(second));
    for (char second = 'A'; second <= 'V'; ++second)
        names.append(QStringLiteral("I") + QLatin1Char(second));
    return names;
}

QStringList longFormColumnNames() { return withBlanks(4, 2); }

QStringList shortFormColumnNames() { return withBlanks(2, 0); }

QStringList rowNumberItems() { return numberItems(1, highestChoosableRow); }

QStringList spacingItems() { return numberItems(0, highestChoosableRow); }

QStringList picturesPerSheetItems()
{
    QStringList items{QStringLiteral("ALL")};
    items.append(numberItems(1, highestChoosableRow));
    return items;
}

QStringList dateFormatSamples()
{
    return {
        QStringLiteral("2001年3月14日"),   QStringLiteral("2001/3/14"),       QStringLiteral("2001/3/14 1:30 PM"),
        QStringLiteral("2001/3/14 13:30"), QStringLiteral("平成13年3月14日"), QStringLiteral("H13.3.14"),
        QStringLiteral("3月14日"),         QStringLiteral("3/14"),
    };
}

} // namespace tavorin
