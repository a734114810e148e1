#pragma once
// Names compared as a listener hears them: "Céline Dion", "CELINE DION" and
// " celine  dion " are one artist. Case and accents are set aside, and blanks
// count as one space. Pure function.

#include <QString>

namespace varonel::core {

// The key under which two names are the same name; "" for a blank name.
QString nameKey(const QString& name);

}  // namespace varonel::core
