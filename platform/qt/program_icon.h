#pragma once
// The program's icon, drawn here: a prescription sign on a white tablet.
#include <QIcon>

namespace qtp {

QIcon ProgramIcon();  // GUI thread only

}  // namespace qtp
