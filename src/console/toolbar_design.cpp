#include "console/toolbar_design.h"

namespace kestrova {

QString toolbarPicturePath(int image) {
    return QStringLiteral("icons/ImageList1/%1.png").arg(image);
}

} // namespace kestrova
