// Loads arbitrary bytes as the preferences file, reads from the store, then checks that what a
// save writes loads back to the same store: saving it again gives the same bytes.
#include "FichierPreference.h"
#include "NomFichierPref.h"

#include "Desktop.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace FichierPreference;

namespace {

const QString Nom = QString::fromLatin1(kNomFichierPref);

class DesktopMuet : public Desktop {
public:
    void MsgBox(const QString&) override {}
    void Beep() override {}
};

QByteArray Contenu(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static DesktopMuet desktop;
    // A memory file system when there is one: every save syncs to disk.
    static QTemporaryDir dossier(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/kestrova-fuzz-XXXXXX")
                                                          : QDir::tempPath() + "/kestrova-fuzz-XXXXXX");
    static const bool pret = [] {
        SetDesktop(&desktop);
        mPrefChangeDossier(dossier.path());
        return dossier.isValid();
    }();
    if (!pret) std::abort();
    const QString chemin = QDir(dossier.path()).filePath(Nom);
    {
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    mAppPrefFichierLecture(Nom);
    mPrefBoolLit(QStringLiteral("RetailProp"), false);
    mPrefNbLit(QStringLiteral("NoDePion"), 0);
    mPrefNbLit(QString(), 0);

    mAppPrefFichierEcriture();
    const QByteArray premier = Contenu(chemin);
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    // Invalid bytes grow once decoded, so a saved file may pass the size limit.
    if (premier.size() <= TailleMaxFichier && Contenu(chemin) != premier) std::abort();
    mPrefLibere();
    return 0;
}
