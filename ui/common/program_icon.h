#pragma once

#include <QIcon>

namespace cantora {

// The program's icon at every size it is drawn in (the PNGs of packaging/icons, built in).
QIcon ProgramIcon();

}  // namespace cantora
