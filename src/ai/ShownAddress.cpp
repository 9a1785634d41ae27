#include "ai/ShownAddress.h"

namespace vima {

QString shownAddress(const QUrl &url) { return url.toString(QUrl::RemoveUserInfo); }

} // namespace vima
