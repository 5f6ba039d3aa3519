#include "Ticks.h"

#include <QElapsedTimer>

qint64 Ticks() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.nsecsElapsed() * 60 / 1000000000;
}
