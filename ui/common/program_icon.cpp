#include "ui/common/program_icon.h"

namespace cantora {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/org.cantora.utility-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace cantora
