#pragma once

// Lookups in the JSON reports of the oracle scripts (POI and LibreOffice report sheets and
// cells in the same shape).

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace tavorin::test {

// The sheet of that name; a missing one fails the test, naming the reader.
inline QJsonObject sheetNamed(const QJsonObject& report, const QString& name, const char* reader)
{
    for (const auto& value : report["sheets"].toArray())
        if (value.toObject()["name"].toString() == name)
            return value.toObject();
    ADD_FAILURE() << reader << " finds no sheet " << name.toStdString();
    return {};
}

inline QStringList sheetNames(const QJsonObject& report)
{
    QStringList names;
    for (const auto& value : report["sheets"].toArray())
        names << value.toObject()["name"].toString();
    return names;
}

// The reported cell at an A1 reference, or an empty object.
inline QJsonObject cellOf(const QJsonObject& sheet, const QString& reference)
{
    for (const auto& value : sheet["cells"].toArray())
        if (value.toObject()["cell"].toString() == reference)
            return value.toObject();
    return {};
}

} // namespace tavorin::test
