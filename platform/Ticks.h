#pragma once
#include <QtGlobal>

// Sixty ticks a second since the program started, from a monotonic clock.
qint64 Ticks();
