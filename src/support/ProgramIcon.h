#pragma once

#include <QIcon>

// The program's own icon, in the sizes it was drawn for (built into the
// program, so it needs no installed file).
QIcon ProgramIcon();
