#include "CheckTraces.h"

#include <QAbstractSocket>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <mutex>
#include <unordered_set>

// Qt's hooks for object-tracking tools: slot 3 is called by every QObject constructor, slot 4 by
// every destructor.
extern "C" Q_DECL_IMPORT quintptr qtHookData[];

namespace {
constexpr int kAddObject = 3;
constexpr int kRemoveObject = 4;
std::mutex censusMutex;
std::unordered_set<QObject*>* census = nullptr;

void Added(QObject* object) {
    std::lock_guard lock(censusMutex);
    if (census) census->insert(object);
}
void Removed(QObject* object) {
    std::lock_guard lock(censusMutex);
    if (census) census->erase(object);
}

} // namespace

int ThreadCount() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

int OpenSocketsTo(quint16 port) {
    int open = 0;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].simplified().split(' ');
            if (fields.size() < 10) continue;
            const quint16 remotePort = quint16(fields[2].split(':').last().toUInt(nullptr, 16));
            // A socket the program has closed lingers in the table with no inode.
            if (remotePort == port && fields[9] != "0") ++open;
        }
    }
    return open;
}

ObjectCensus::ObjectCensus() {
    std::lock_guard lock(censusMutex);
    census = new std::unordered_set<QObject*>;
    qtHookData[kAddObject] = reinterpret_cast<quintptr>(&Added);
    qtHookData[kRemoveObject] = reinterpret_cast<quintptr>(&Removed);
}

ObjectCensus::~ObjectCensus() {
    std::lock_guard lock(censusMutex);
    qtHookData[kAddObject] = 0;
    qtHookData[kRemoveObject] = 0;
    delete census;
    census = nullptr;
}

int ObjectCensus::WorkingObjectsAlive(const QObject* exempt) const {
    std::lock_guard lock(censusMutex);
    int alive = 0;
    for (QObject* object : *census) {
        const QObject* owner = object;
        while (owner && owner != exempt) owner = owner->parent();
        if (owner) continue;
        if (qobject_cast<QTimer*>(object) || qobject_cast<QSocketNotifier*>(object) ||
            qobject_cast<QAbstractSocket*>(object) || qobject_cast<QThread*>(object))
            ++alive;
    }
    return alive;
}
