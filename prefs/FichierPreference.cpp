#include "FichierPreference.h"

#include "Desktop.h"
#include "EndOfLine.h"
#include "PreferencesFolder.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStringView>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FichierPreference {
namespace {

// Sorted by key, so that the saved file does not depend on the order of the calls.
QMap<QString, QString> PrefStock;
QString PrefNomFichier;
QString DossierImpose;
// What the latest load found at the file's place but did not read: a save would lose it.
QString CheminRefuse;
// Temporaries older than this were left by an earlier run, not by another instance saving now.
QDateTime DebutDuRun;
// Ends the name of a save's temporary, after the file's name and six random characters.
const QString MarqueTemporaire = QStringLiteral(".enregistrement");

const QString MessageSansNom = QStringLiteral("Manque un nom de fichier préférence ?");
const QString SautDeLigne = QStringLiteral("<SautDeLigne />");
const QString Separateur = QStringLiteral("-] ");

QString Dossier() { return DossierImpose.isEmpty() ? PreferencesFolder() : DossierImpose; }

// Index after the first two characters of the line; a surrogate pair counts as one character.
qsizetype ApresDeuxCaracteres(QStringView ligne) {
    qsizetype i = 0;
    for (int n = 0; n < 2 && i < ligne.size(); ++n) {
        const bool paire =
            ligne[i].isHighSurrogate() && i + 1 < ligne.size() && ligne[i + 1].isLowSurrogate();
        i += paire ? 2 : 1;
    }
    return i;
}

void LitLigne(QStringView ligne) {
    // A CR before the line end comes from a file edited elsewhere; it never belongs to the value.
    while (!ligne.isEmpty() && ligne.back() == u'\r') ligne.chop(1);
    // The first two characters are the "[-" marker, whatever they are; searching after them
    // keeps the key well defined when the marker itself looks like the separator.
    const qsizetype debutCle = ApresDeuxCaracteres(ligne);
    const qsizetype position = ligne.indexOf(Separateur, debutCle);
    if (position < 0) return;
    QString valeur = ligne.mid(position + Separateur.size()).toString();
    valeur.replace(SautDeLigne, QLatin1String(EndOfLine));
    PrefStock.insert(ligne.mid(debutCle, position - debutCle).toString(), valeur);
}

QByteArray DossierDe(const QByteArray& chemin) {
    const qsizetype barre = chemin.lastIndexOf('/');
    return barre < 0 ? QByteArray(".") : barre == 0 ? QByteArray("/") : chemin.left(barre);
}

// What a name of the preferences folder leads to.
enum class Nature { Absent, Fichier, LienEtranger, LienVide, Autre };
struct Emplacement {
    Nature nature = Nature::Absent;
    QByteArray cible; // the plain file, or the name a new file takes
    struct stat etat {};
};

// Follows symbolic links only when they belong to this user or to root, as the kernel does in
// shared folders: run as root in a user's home, a link the user made must not lead the game
// to overwrite a file of the system, nor to read one into the store.
Emplacement Resout(const QString& chemin) {
    Emplacement lieu;
    lieu.cible = QFile::encodeName(chemin);
    for (int sauts = 0; sauts < 40; ++sauts) {
        if (::lstat(lieu.cible.constData(), &lieu.etat) != 0) {
            lieu.nature = errno == ENOENT ? (sauts == 0 ? Nature::Absent : Nature::LienVide) : Nature::Autre;
            return lieu;
        }
        if (S_ISREG(lieu.etat.st_mode)) {
            lieu.nature = Nature::Fichier;
            return lieu;
        }
        if (!S_ISLNK(lieu.etat.st_mode)) break;
        if (lieu.etat.st_uid != ::geteuid() && lieu.etat.st_uid != 0) {
            lieu.nature = Nature::LienEtranger;
            return lieu;
        }
        QByteArray vers(PATH_MAX, '\0');
        const ssize_t n = ::readlink(lieu.cible.constData(), vers.data(), size_t(vers.size()));
        if (n <= 0 || n >= vers.size()) break;
        vers.truncate(n);
        lieu.cible = vers.startsWith('/') ? vers : DossierDe(lieu.cible) + '/' + vers;
    }
    lieu.nature = Nature::Autre;
    return lieu;
}

QString Raison(Nature nature) {
    switch (nature) {
    case Nature::LienEtranger:
        return QStringLiteral("lien symbolique d'un autre utilisateur");
    case Nature::LienVide:
        return QStringLiteral("lien symbolique vers rien");
    default:
        return QStringLiteral("pas un fichier ordinaire");
    }
}

QString Raison(int erreur) {
    switch (erreur) {
    case ENOSPC:
        return QStringLiteral("disque plein");
    case EDQUOT:
        return QStringLiteral("quota dépassé");
    case EFBIG:
        return QStringLiteral("taille de fichier limitée");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    default:
        return QStringLiteral("erreur système %1").arg(erreur);
    }
}

// The player has no other way to learn that settings were not read or will be lost.
const char* const NonLues = "non lues dans";
const char* const NonEnregistrees = "non enregistrées dans";

void Signale(const char* quoi, const QString& chemin, const QString& raison) {
    std::fprintf(stderr, "Préférences %s « %s » : %s\n", quoi, QFile::encodeName(chemin).constData(),
                 raison.toUtf8().constData());
}

// The file's bytes; otherwise the reason it is not read (missing gives no reason, only false).
bool LitFichier(const QString& chemin, QByteArray& contenu, QString& raison) {
    const Emplacement lieu = Resout(chemin);
    if (lieu.nature == Nature::Absent) return false;
    if (lieu.nature != Nature::Fichier) {
        raison = Raison(lieu.nature);
        return false;
    }
    if (lieu.etat.st_size > TailleMaxFichier) {
        raison = QStringLiteral("plus de 4 Mio");
        return false;
    }
    // A read-only file is not read: the next save would not replace it.
    if (::faccessat(AT_FDCWD, lieu.cible.constData(), W_OK, AT_EACCESS) != 0) {
        raison = errno == EACCES ? QStringLiteral("fichier en lecture seule") : Raison(errno);
        return false;
    }
    const int fd = ::open(lieu.cible.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    QFile fichier;
    if (fd < 0 || !fichier.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        raison = QStringLiteral("lecture impossible, ") + Raison(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    // Bounded even if the file grows between the test above and this read.
    contenu = fichier.read(TailleMaxFichier + 1);
    if (fichier.error() != QFileDevice::NoError || contenu.size() > TailleMaxFichier) {
        raison = fichier.error() != QFileDevice::NoError ? QStringLiteral("lecture impossible")
                                                         : QStringLiteral("plus de 4 Mio");
        return false;
    }
    return true;
}

// Past a file-size limit the kernel would kill the game at quit; ignored, the write fails with
// EFBIG and the save fails as on a full disk. A handler installed by someone else stays.
void IgnoreLimiteTaille() {
    struct sigaction actuelle {};
    if (sigaction(SIGXFSZ, nullptr, &actuelle) == 0 && !(actuelle.sa_flags & SA_SIGINFO) &&
        actuelle.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

// Creates the folder and those above it that are missing. Run as root in a user's home, what
// it makes belongs to the user who owns the folder above, or the user's later runs could not
// save there. A user's new folders are the user's: only root can give them away.
bool CreeDossier(const QByteArray& chemin) {
    struct stat etat {};
    if (::stat(chemin.constData(), &etat) == 0) return S_ISDIR(etat.st_mode);
    const QByteArray parent = DossierDe(chemin);
    if (!CreeDossier(parent) || (::mkdir(chemin.constData(), 0777) != 0 && errno != EEXIST)) return false;
    struct stat dessus {};
    return ::stat(parent.constData(), &dessus) == 0 &&
           (dessus.st_uid == ::geteuid() || ::geteuid() != 0 ||
            ::chown(chemin.constData(), dessus.st_uid, dessus.st_gid) == 0);
}

// A save killed between writing its temporary and renaming it leaves the temporary beside the
// file. Its name is the file's, six random letters or digits and a mark of its own, so that no
// copy a user keeps there (named after it and ".backup", say) is taken for one. Only those older
// than this run's load go: a younger one may be another instance's save under way. File times
// come from a coarser clock than this run's start (a tick; two seconds on some file systems), so
// a file made just after the load can look older than it by that much. A writer holds a lock on
// its temporary until the rename, so one that is locked is never removed, however old it looks
// (a slow disk, a clock set back).
void RetireTemporaires(const QString& cible) {
    const QDateTime avantLeRun = DebutDuRun.addSecs(-2);
    const QFileInfo fichier(cible);
    const QRegularExpression modele(QStringLiteral("^%1\\.[A-Za-z0-9]{6}%2$")
                                        .arg(QRegularExpression::escape(fichier.fileName()),
                                             QRegularExpression::escape(MarqueTemporaire)));
    const QFileInfoList entrees =
        fichier.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& info : entrees) {
        if (!modele.match(info.fileName()).hasMatch() || info.lastModified() >= avantLeRun) continue;
        const QByteArray nom = QFile::encodeName(info.filePath());
        const int fd = ::open(nom.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat ouvert {};
        struct stat present {};
        // Still the same file under that name once locked: its writer may have renamed it meanwhile.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &ouvert) == 0 &&
            ::lstat(nom.constData(), &present) == 0 && ouvert.st_ino == present.st_ino &&
            ouvert.st_dev == present.st_dev)
            ::unlink(nom.constData());
        ::close(fd);
    }
}

// A power cut after the rename could otherwise bring the old file back.
void SynchroniseDossier(const QByteArray& cible) {
    const int fd = ::open(DossierDe(cible).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The outcome of a save, for the line on standard error.
struct Echec {
    int erreur = 0; // errno of the failing step, 0 when the save went through
    QString raison; // or a reason of the program's own
    bool ok() const { return erreur == 0 && raison.isEmpty(); }
};

// In a folder that takes no new file, the file itself is written anew.
// Blocks past its old end are reserved first, so a full disk or a size limit stops the write
// before any byte changes. A write that fails after that puts the old bytes back.
Echec EcritEnPlace(const QByteArray& cible, const QByteArray& contenu) {
    const int fd = ::open(cible.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {errno, {}};
    Echec echec;
    QByteArray ancien;
    struct stat etat {};
    if (::fstat(fd, &etat) != 0 || !S_ISREG(etat.st_mode) || etat.st_size > TailleMaxFichier) {
        echec.raison = QStringLiteral("pas un fichier ordinaire");
    } else {
        ancien.resize(qsizetype(etat.st_size));
        const auto ecrit = [fd](const QByteArray& octets) {
            return ::pwrite(fd, octets.constData(), size_t(octets.size()), 0) == octets.size() &&
                   ::ftruncate(fd, octets.size()) == 0 && ::fsync(fd) == 0;
        };
        int reserve = 0;
        if (::pread(fd, ancien.data(), size_t(ancien.size()), 0) != ancien.size())
            echec.erreur = errno ? errno : EIO;
        else if (contenu.size() > ancien.size() &&
                 (reserve = ::posix_fallocate(fd, ancien.size(), contenu.size() - ancien.size())) != 0) {
            echec.erreur = reserve;
            if (::ftruncate(fd, ancien.size()) != 0)
                echec.raison = QStringLiteral("taille d'origine non rendue");
        } else if (!ecrit(contenu)) {
            echec.erreur = errno ? errno : EIO;
            echec.raison = ecrit(ancien) ? QStringLiteral("ancien contenu remis")
                                         : QStringLiteral("fichier peut-être incomplet");
        }
    }
    ::close(fd);
    return echec;
}

// Writes `contenu` beside `cible` and renames it over it only once complete and on disk: a
// crash, a full disk or a failed write leaves the previous settings in place. The new file has
// the old one's owner, group and permissions; a new one those the user gives new files, and
// the owner of its folder when that is another user (root saving in a user's home).
Echec Remplace(const Emplacement& lieu, const QByteArray& contenu) {
    const QByteArray& cible = lieu.cible;
    QTemporaryFile temporaire(QFile::decodeName(cible) + QStringLiteral(".XXXXXX") + MarqueTemporaire);
    if (!temporaire.open()) {
        if (lieu.nature == Nature::Fichier) return EcritEnPlace(cible, contenu);
        return {::faccessat(AT_FDCWD, DossierDe(cible).constData(), W_OK, AT_EACCESS) != 0 ? errno : EIO, {}};
    }
    // Held until the rename: another instance's clean-up leaves a locked temporary alone.
    ::flock(temporaire.handle(), LOCK_EX);
    struct stat proprio = lieu.etat;
    if (lieu.nature == Nature::Absent) {
        if (::stat(DossierDe(cible).constData(), &proprio) != 0) return {errno, {}};
        const mode_t masque = ::umask(0);
        ::umask(masque);
        proprio.st_mode = 0666 & ~masque;
        // Only root can give a new file away; a user's new file is the user's, as anywhere else.
        if (proprio.st_uid == ::geteuid() || ::geteuid() != 0) proprio.st_uid = proprio.st_gid = uid_t(-1);
    }
    if (::fchown(temporaire.handle(), proprio.st_uid, proprio.st_gid) != 0) {
        // A user can't give a file away, nor to a group they are not in: the file is not
        // replaced, but written in place it keeps both.
        if (lieu.nature == Nature::Fichier) return EcritEnPlace(cible, contenu);
        return {0, QStringLiteral("propriétaire ou groupe impossible à garder")};
    }
    if (::fchmod(temporaire.handle(), proprio.st_mode & 0777) != 0 ||
        temporaire.write(contenu) != contenu.size() || !temporaire.flush() ||
        ::fsync(temporaire.handle()) != 0)
        return {errno ? errno : EIO, {}};
    if (::rename(QFile::encodeName(temporaire.fileName()).constData(), cible.constData()) != 0)
        return {errno, {}};
    temporaire.setAutoRemove(false);
    SynchroniseDossier(cible);
    return {};
}

} // namespace

void mAppPrefFichierLecture(const QString& nomFichier) {
    if (nomFichier.isEmpty()) {
        MsgBox(MessageSansNom);
        return;
    }
    PrefNomFichier = nomFichier;
    DebutDuRun = QDateTime::currentDateTimeUtc();
    CheminRefuse.clear();
    // Emptied before the file is looked at: a load that finds no file leaves an empty store.
    PrefStock.clear();
    const QString dossier = Dossier();
    if (dossier.isEmpty()) return;
    const QString chemin = QDir(dossier).filePath(nomFichier);
    QByteArray contenu;
    QString raison;
    if (!LitFichier(chemin, contenu, raison)) {
        // Something is there that was not read (too large, read-only, not a plain file, a link
        // to nothing or another user's): replacing it with the store would lose it.
        if (raison.isEmpty()) return;
        CheminRefuse = chemin;
        Signale(NonLues, chemin, raison);
        return;
    }
    if (contenu.startsWith("\xEF\xBB\xBF")) contenu.remove(0, 3);
    const QString texte = QString::fromUtf8(contenu); // invalid bytes become U+FFFD
    for (const QStringView ligne : QStringView(texte).tokenize(u'\n')) LitLigne(ligne);
}

void mAppPrefFichierEcriture() {
    if (PrefNomFichier.isEmpty()) {
        MsgBox(MessageSansNom);
        return;
    }
    const QString dossier = Dossier();
    const QString chemin = QDir(dossier).filePath(PrefNomFichier);
    const auto echoue = [&chemin](const QString& raison) { Signale(NonEnregistrees, chemin, raison); };
    if (dossier.isEmpty()) return echoue(QStringLiteral("aucun dossier de préférences"));
    if (chemin == CheminRefuse) return echoue(QStringLiteral("fichier refusé au démarrage"));
    if (!CreeDossier(QFile::encodeName(dossier)))
        return echoue(QStringLiteral("dossier impossible à créer, ") + Raison(errno));
    const Emplacement lieu = Resout(chemin);
    if (lieu.nature != Nature::Absent && lieu.nature != Nature::Fichier) return echoue(Raison(lieu.nature));
    QByteArray contenu;
    for (auto it = PrefStock.cbegin(); it != PrefStock.cend(); ++it) {
        QString valeur = it.value();
        valeur.replace(QLatin1String(EndOfLine), SautDeLigne);
        contenu += "[-" + it.key().toUtf8() + "-] " + valeur.toUtf8() + EndOfLine;
    }
    // A store read from a file near the limit can outgrow it (an invalid byte is saved as three);
    // the next load would refuse such a file. The old one, which loads, stays instead.
    if (contenu.size() > TailleMaxFichier) return echoue(QStringLiteral("plus de 4 Mio une fois écrit"));
    IgnoreLimiteTaille();
    const Echec echec = Remplace(lieu, contenu);
    if (echec.ok()) return RetireTemporaires(QFile::decodeName(lieu.cible));
    QStringList raisons;
    if (echec.erreur != 0) raisons << Raison(echec.erreur);
    if (!echec.raison.isEmpty()) raisons << echec.raison;
    echoue(raisons.join(QStringLiteral(", ")));
}

bool mPrefBoolLit(const QString& cle, bool defaut) {
    const auto it = PrefStock.constFind(cle);
    return it == PrefStock.cend() ? defaut : *it == QLatin1String("Oui");
}

double mPrefNbLit(const QString& cle, double defaut) {
    const auto it = PrefStock.constFind(cle);
    if (it == PrefStock.cend()) return defaut;
    bool converti = false;
    const double nombre = it->toDouble(&converti);
    // Infinities and NaN are no setting this program writes.
    return converti && std::isfinite(nombre) ? nombre : defaut;
}

void mPrefBoolEcrit(bool valeur, const QString& cle) {
    PrefStock.insert(cle, valeur ? QStringLiteral("Oui") : QStringLiteral("Non"));
}

void mPrefNbIntegerEcrit(std::int32_t valeur, const QString& cle) {
    PrefStock.insert(cle, QString::number(valeur));
}

void mPrefLibere() {
    PrefStock.clear();
    PrefNomFichier.clear();
    CheminRefuse.clear();
}

void mPrefChangeDossier(const QString& dossier) { DossierImpose = dossier; }

} // namespace FichierPreference
