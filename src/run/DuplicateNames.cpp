#include "run/DuplicateNames.h"

#include "run/PictureNames.h"

namespace tavorin {

DuplicateNames::DuplicateNames(const QStringList& listedDisplayNames)
{
    keys_.reserve(listedDisplayNames.size());
    for (const QString& name : listedDisplayNames)
        add(name);
}

bool DuplicateNames::collides(const QString& displayName) const
{
    return keys_.contains(nameKey(displayName));
}

void DuplicateNames::add(const QString& displayName)
{
    keys_.insert(nameKey(displayName));
}

} // namespace tavorin
