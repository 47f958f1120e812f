// The maker's addresses and the product code: configuration kept in one place.
#pragma once

#include <QString>

namespace Config {
// Reserved .example names: the program never talks to a real maker's host.
inline const QString SiteHost = QStringLiteral("www.trillora.example");
inline const QString SiteAddress = QStringLiteral("http://www.trillora.example");
inline const QString SupportAddress = QStringLiteral("supporto@trillora.example");
inline const QString ApplicationTitle = QStringLiteral("TQZ_Trillora");
} // namespace Config
