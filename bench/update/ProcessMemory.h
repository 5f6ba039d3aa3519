#pragma once
// This process's resident memory as the system counts it, for the benchmarks and the tests.
#include <QtGlobal>

// In bytes: now, and the peak since the last ResetPeakMemory.
qint64 ResidentBytes();
qint64 PeakResidentBytes();
void ResetPeakMemory();
