#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace tavorin {

// The duplicate test of the picture drop: a new display name is refused when its name key equals
// the key of any listed row, rows added earlier in the same drop included. Keys compare exactly
// (case-sensitive). A set gives the same answer as comparing with every row in turn.
class DuplicateNames {
  public:
    explicit DuplicateNames(const QStringList& listedDisplayNames);

    bool collides(const QString& displayName) const;
    void add(const QString& displayName);

  private:
    QSet<QString> keys_;
};

} // namespace tavorin
