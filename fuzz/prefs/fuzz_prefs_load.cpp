// Loads arbitrary bytes as the preferences file, reads from the store, then checks that a save
// never replaces a file the load refused nor writes one it would refuse, and that what a save
// writes loads back to the same store: saving it again gives the same bytes.
// An input starting with a zero byte is repeated into a file of some MiB, around the size limit.
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
    QByteArray entree(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (size >= 3 && data[0] == 0) {
        // From 1/192 to 4/3 of the limit, in steps of 1/192.
        const qsizetype taille = (1 + data[1]) * (TailleMaxFichier / 192);
        const QByteArray motif = entree.mid(2);
        entree = motif.repeated(taille / motif.size() + 1).left(taille);
    }
    {
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        if (f.write(entree) != entree.size()) std::abort();
    }
    mAppPrefFichierLecture(Nom);
    mPrefBoolLit(QStringLiteral("RetailProp"), false);
    mPrefNbLit(QStringLiteral("NoDePion"), 0);
    mPrefNbLit(QString(), 0);

    mPrefNbIntegerEcrit(2, QStringLiteral("NoDePion"));
    mAppPrefFichierEcriture();
    const QByteArray premier = Contenu(chemin);
    if (entree.size() > TailleMaxFichier ? premier != entree : premier.size() > TailleMaxFichier)
        std::abort();
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    if (Contenu(chemin) != premier) std::abort();
    mPrefLibere();
    return 0;
}
