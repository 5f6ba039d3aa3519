#pragma once
// What a finished update check may have left in this process: threads, client sockets, Qt
// objects that keep working (timers, socket notifiers, sockets, threads); memory: ProcessMemory.h.
#include <QtGlobal>

class QObject;

int ThreadCount();
// Client-side TCP sockets of this machine still open towards the given local port.
int OpenSocketsTo(quint16 port);

// Watches every QObject made while it lives.
class ObjectCensus {
public:
    ObjectCensus();
    ~ObjectCensus();
    ObjectCensus(const ObjectCensus&) = delete;
    ObjectCensus& operator=(const ObjectCensus&) = delete;
    // Those still alive that are timers, socket notifiers, sockets or threads,
    // other than `exempt` and what it owns (the tests' own server).
    int WorkingObjectsAlive(const QObject* exempt) const;
};
