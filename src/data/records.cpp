#include "data/records.h"

namespace kestrova {

QString AppendHealthy(const QString& healthy, char digit)
{
    return (healthy + QChar::fromLatin1(digit)).right(5);
}

} // namespace kestrova
