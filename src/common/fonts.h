#pragma once

#include <QFont>

// The bold font of the given size in points that the program's windows use.
QFont boldFont(int points);
