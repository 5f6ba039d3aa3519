#include "ProcessMemory.h"

#include <QFile>

namespace {
qint64 StatusField(const char* name) {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').front().toLongLong() * 1024;
    }
    return -1;
}
} // namespace

qint64 ResidentBytes() { return StatusField("VmRSS:"); }
qint64 PeakResidentBytes() { return StatusField("VmHWM:"); }

void ResetPeakMemory() {
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly)) file.write("5");
}
