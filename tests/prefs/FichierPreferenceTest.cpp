#include "FichierPreference.h"
#include "NomFichierPref.h"

#include "Desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <deque>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <set>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace FichierPreference;

// The process's fsync and rename calls in order since the test began: a save must put its file
// on disk before renaming it, and its folder after. A test may also act just before a rename.
QStringList Journal;
std::function<void(const char*)> AvantRenommage;
// Stops the process after that many more of the steps a write in place takes (0: never).
int ArretApres = 0;
// What the next calls of pwrite do: 0 the real write, -1 half of it, an errno a failure.
std::deque<int> Pannes;
// Called once after the next pwrite at the start of a file.
std::function<void()> ApresEcritureEnTete;
// Each pwrite as "size@offset".
QStringList Ecritures;
// Called before each flock, with the descriptor and the operation.
std::function<void(int, int)> AvantVerrou;

QString Inode(const QString& chemin) {
    struct stat etat {};
    return stat(QFile::encodeName(chemin).constData(), &etat) == 0 ? QString::number(etat.st_ino) : "?";
}

template <typename Fonction> Fonction* Vraie(const char* nom) {
    return reinterpret_cast<Fonction*>(dlsym(RTLD_NEXT, nom));
}

// The real call, which counts as one step; `ensuite` runs once after it.
template <typename Fonction, typename... Arguments>
auto Etape(const char* nom, std::function<void()>& ensuite, Arguments... arguments) {
    const auto fait = Vraie<Fonction>(nom)(arguments...);
    if (ensuite) std::exchange(ensuite, {})();
    if (ArretApres > 0 && --ArretApres == 0) raise(SIGKILL);
    return fait;
}

std::function<void()> Rien;
// Called once after the next folder the process makes.
std::function<void()> ApresMkdir;

// Called before each fsync, with the descriptor.
std::function<void(int)> AvantSync;

extern "C" int fsync(int fd) {
    if (AvantSync) AvantSync(fd);
    Journal << "fsync " + Inode(QStringLiteral("/proc/self/fd/%1").arg(fd));
    return Etape<int(int)>("fsync", Rien, fd);
}

extern "C" int renameat(int de, const char* ancien, int vers, const char* nouveau) noexcept {
    const QByteArray chemin = "/proc/self/fd/" + QByteArray::number(de) + "/" + ancien;
    Journal << "renomme " + Inode(QFile::decodeName(chemin));
    if (AvantRenommage) std::exchange(AvantRenommage, {})(chemin.constData());
    return Vraie<int(int, const char*, int, const char*)>("renameat")(de, ancien, vers, nouveau);
}

extern "C" int mkdir(const char* nom, mode_t mode) {
    return Etape<int(const char*, mode_t)>("mkdir", ApresMkdir, nom, mode);
}

extern "C" int mkdirat(int dans, const char* nom, mode_t mode) {
    return Etape<int(int, const char*, mode_t)>("mkdirat", ApresMkdir, dans, nom, mode);
}

// The function, not the structure of the same name.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
extern "C" int flock(int fd, int operation) noexcept {
    if (AvantVerrou) AvantVerrou(fd, operation);
    return Etape<int(int, int)>("flock", Rien, fd, operation);
}
#pragma GCC diagnostic pop

extern "C" int ftruncate(int fd, off_t taille) noexcept {
    return Etape<int(int, off_t)>("ftruncate", Rien, fd, taille);
}

extern "C" ssize_t pread(int fd, void* octets, size_t taille, off_t position) {
    return Etape<ssize_t(int, void*, size_t, off_t)>("pread", Rien, fd, octets, taille, position);
}

extern "C" ssize_t pwrite(int fd, const void* octets, size_t taille, off_t position) {
    const int panne = Pannes.empty() ? 0 : Pannes.front();
    if (!Pannes.empty()) Pannes.pop_front();
    if (panne > 0) {
        errno = panne;
        return -1;
    }
    Ecritures << QStringLiteral("%1@%2").arg(taille).arg(position);
    std::function<void()> rien;
    return Etape<ssize_t(int, const void*, size_t, off_t)>("pwrite",
                                                           position == 0 ? ApresEcritureEnTete : rien, fd,
                                                           octets, panne < 0 ? taille / 2 : taille, position);
}

namespace {

const QString Nom = QString::fromLatin1(kNomFichierPref);
const QString Manque = QStringLiteral("Manque un nom de fichier préférence ?");
const char* const Lu = "non lues dans";
const char* const Sauve = "non enregistrées dans";

// The line the game prints on standard error for a file not read or not saved.
std::string Ligne(const char* quoi, const QString& chemin, const QString& raison) {
    return "Préférences " + std::string(quoi) + " « " + chemin.toStdString() +
           " » : " + raison.toStdString() + "\n";
}

// Loads, sets one number and saves, as a run of the game does.
void Joue(int nombre, const char* cle = "NoDePion") {
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(nombre, cle);
    mAppPrefFichierEcriture();
}

// The kind of what a name leads to, links not followed; -1 for nothing.
int Sorte(const QByteArray& chemin) {
    struct stat etat {};
    return lstat(chemin.constData(), &etat) == 0 ? int(etat.st_mode & S_IFMT) : -1;
}

// Owner, group and mode.
std::tuple<int, int, int> Proprio(const QString& chemin) {
    struct stat etat {};
    if (lstat(QFile::encodeName(chemin).constData(), &etat) != 0) return {-1, -1, -1};
    return {int(etat.st_uid), int(etat.st_gid), int(etat.st_mode & 07777)};
}

class DesktopEspion : public Desktop {
public:
    QStringList messages;
    void MsgBox(const QString& text) override { messages << text; }
};

// Starts `action` in a child, as an unprivileged user when the tests run as root, who ignores file
// modes, unless `seulement` is false.
pid_t Lance(const std::function<void()>& action, bool seulement = true) {
    const pid_t enfant = fork();
    if (enfant == 0) {
        if (seulement && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
        action();
        _exit(0);
    }
    return enfant;
}

// False when the child could not run or ended with an exit code or a signal.
bool Attend(pid_t enfant) {
    int etat = 0;
    return enfant > 0 && waitpid(enfant, &etat, 0) == enfant && WIFEXITED(etat) && WEXITSTATUS(etat) == 0;
}

bool SansPrivileges(const std::function<void()>& action, bool seulement = true) {
    return Attend(Lance(action, seulement));
}

// Every name under a folder, links not followed, with its inode, owner, group and mode, and the
// bytes of a file or the target of a link.
std::string Arbre(const QString& ici) {
    QStringList arbre;
    QDirIterator it(ici, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString chemin = it.next();
        struct stat etat {};
        lstat(QFile::encodeName(chemin).constData(), &etat);
        QFile f(chemin);
        const QByteArray octets = S_ISLNK(etat.st_mode) ? QFile::encodeName(f.symLinkTarget())
                                  : S_ISREG(etat.st_mode) && f.open(QIODevice::ReadOnly) ? f.readAll()
                                                                                         : QByteArray();
        arbre << QStringLiteral("%1 %2 %3:%4 %5 %6")
                     .arg(chemin)
                     .arg(etat.st_ino)
                     .arg(etat.st_uid)
                     .arg(etat.st_gid)
                     .arg(etat.st_mode, 0, 8)
                     .arg(QString::fromLatin1(octets.toHex()));
    }
    arbre.sort();
    return arbre.join('\n').toStdString();
}

// The non-blank lines of a file, which decide what it loads to; "NUL" when it holds a zero byte.
QStringList Lignes(const QByteArray& octets) {
    if (octets.contains('\0')) return {"NUL"};
    QStringList lignes = QString::fromUtf8(octets).split('\n', Qt::SkipEmptyParts);
    lignes.sort();
    return lignes;
}

class Preferences : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        // Reachable by the unprivileged user of SansPrivileges.
        chmod(QFile::encodeName(dossier.path()).constData(), 0755);
        SetDesktop(&espion);
        mPrefChangeDossier(dossier.path());
        mPrefLibere();
        Journal.clear();
        // Standard error, children's included, goes to a file each test reads with Dit().
        erreurs = memfd_create("erreurs", 0);
        stderrOrigine = dup(2);
        ASSERT_EQ(dup2(erreurs, 2), 2);
    }
    void TearDown() override {
        EXPECT_EQ(Dit(), "") << "lines no test expected";
        dup2(stderrOrigine, 2);
        close(stderrOrigine);
        close(erreurs);
        mPrefLibere();
        mPrefChangeDossier({});
        SetDesktop(nullptr);
    }
    QString Chemin() const { return dossier.filePath(Nom); }
    std::string Refuse(const QString& chemin = {}) const {
        return Ligne(Sauve, chemin.isEmpty() ? Chemin() : chemin, "fichier refusé au démarrage");
    }
    void Ecrit(const QByteArray& contenu, const QString& chemin = {}) {
        QFile f(chemin.isEmpty() ? Chemin() : chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(contenu), contenu.size());
    }
    QByteArray Lit(const QString& chemin = {}) const {
        QFile f(chemin.isEmpty() ? Chemin() : chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }
    void Charge(const QByteArray& contenu) {
        Ecrit(contenu);
        mAppPrefFichierLecture(Nom);
    }
    // Loads `contenu`, saves, and gives what was written.
    QByteArray Resauve(const QByteArray& contenu) {
        Charge(contenu);
        mAppPrefFichierEcriture();
        return Lit();
    }
    // What a folder holds, the test's own by default.
    QStringList Fichiers(const QString& ici = {}) const {
        return QDir(ici.isEmpty() ? dossier.path() : ici)
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System, QDir::Name);
    }

    // What was printed on standard error since the last call.
    std::string Dit() const {
        std::string texte(size_t(lseek(erreurs, 0, SEEK_END)), '\0');
        const bool lu = pread(erreurs, texte.data(), texte.size(), 0) == ssize_t(texte.size());
        return ftruncate(erreurs, 0) == 0 && lseek(erreurs, 0, SEEK_SET) == 0 && lu ? texte : "<illisible>";
    }

    QTemporaryDir dossier;
    DesktopEspion espion;
    int erreurs = -1;
    int stderrOrigine = -1;
};

TEST_F(Preferences, ValuesAndFileLinesComeBackAsStoredFilesRelyOn) {
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(INT32_MIN, "Min");
    mPrefNbIntegerEcrit(INT32_MAX, "Max");
    mPrefBoolEcrit(true, "RetailProp");
    mPrefBoolEcrit(false, "Autre");
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit(), "[-Autre-] Non\n[-Max-] 2147483647\n[-Min-] -2147483648\n[-RetailProp-] Oui\n");
    // On disk before it takes the old file's place, and the folder's new entry after.
    const QString fichier = Inode(Chemin());
    EXPECT_EQ(Journal,
              QStringList({"fsync " + fichier, "renomme " + fichier, "fsync " + Inode(dossier.path())}));
    mPrefLibere();
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("Min", 0), INT32_MIN);
    EXPECT_EQ(mPrefNbLit("Max", 0), INT32_MAX);
    EXPECT_TRUE(mPrefBoolLit("RetailProp", false));
    EXPECT_FALSE(mPrefBoolLit("Autre", true));

    // Multi-line value, unknown key, duplicate key (the last wins), line without separator,
    // separator in the value, any two leading characters, CR LF ends.
    EXPECT_EQ(Resauve("[-Texte-] ligne 1<SautDeLigne />ligne 2\n[-Inconnue-] garde-moi\n[-NoDeFond-] 1\n"
                      "ligne sans separateur\n[-Double-] a-] b\nxyNiveauDeJeu-] 2\n[-NoDeFond-] 3\r\n"
                      "[-RetailProp-] Oui\r\n\n"),
              "[-Double-] a-] b\n[-Inconnue-] garde-moi\n[-NiveauDeJeu-] 2\n[-NoDeFond-] 3\n"
              "[-RetailProp-] Oui\n[-Texte-] ligne 1<SautDeLigne />ligne 2\n");
    EXPECT_EQ(mPrefNbLit("NoDeFond", 0), 3);
    EXPECT_FALSE(mPrefBoolLit("Double", true)); // present, whole value "a-] b"
    EXPECT_EQ(Resauve("-] x-] Oui\n[--] vide\n"), "[--] vide\n[- x-] Oui\n");
    EXPECT_TRUE(mPrefBoolLit(" x", false));
    EXPECT_EQ(Resauve("[-N-] 5<SautDeLigne />\n"), "[-N-] 5<SautDeLigne />\n");
    EXPECT_EQ(mPrefNbLit("N", 0), 5); // "5\n": trailing white space is ignored by the conversion

    // Only "Oui" is true; only a finite decimal number is a number.
    Charge("[-Non-] Non\n[-Vide-] \n[-Casse-] oui\n[-abc-] abc\n[-grand-] 1e400\n[-nan-] nan\n[-inf-] inf\n"
           "[-suffixe-] 2abc\n[-hexa-] 0x10\n[-moinszero-] -0\n[-blancs-]  2 \n[-decimal-] 2.5\n");
    for (const char* cle : {"Non", "Vide", "Casse"}) EXPECT_FALSE(mPrefBoolLit(cle, true)) << cle;
    const std::pair<const char*, double> nombres[] = {
        {"abc", 9},     {"Vide", 9}, {"grand", 9},     {"nan", 9},    {"inf", 9},
        {"suffixe", 9}, {"hexa", 9}, {"moinszero", 0}, {"blancs", 2}, {"decimal", 2.5}};
    for (const auto& [cle, nombre] : nombres) EXPECT_EQ(mPrefNbLit(cle, 9), nombre) << cle;
}

TEST_F(Preferences, MissingOrUnnamedFileGivesDefaults) {
    mAppPrefFichierEcriture(); // before any named load: the message, and no file
    EXPECT_EQ(espion.messages, QStringList{Manque});
    EXPECT_EQ(Fichiers(), QStringList{});
    mPrefBoolEcrit(true, "RetailProp"); // an empty store that readers and writers can use
    EXPECT_TRUE(mPrefBoolLit("RetailProp", false));
    mAppPrefFichierLecture(Nom); // no file: the store is emptied all the same
    EXPECT_FALSE(mPrefBoolLit("RetailProp", false));

    Charge("[-NoDePion-] 2\n");
    mPrefNbIntegerEcrit(1, "NiveauDeJeu");
    mAppPrefFichierLecture(QString()); // keeps the store and the remembered name
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit(), "[-NiveauDeJeu-] 1\n[-NoDePion-] 2\n");
    EXPECT_EQ(espion.messages, (QStringList{Manque, Manque}));

    // A file that can only be read is read as missing.
    chmod(QFile::encodeName(Chemin()).constData(), 0444);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        if (mPrefNbLit("NoDePion", 3) != 3) _exit(1);
    })) << "a read-only file is read as missing";
    EXPECT_EQ(Dit(), Ligne(Lu, Chemin(), "fichier en lecture seule"));
    // A folder on the way that can't be searched: said, and the file kept.
    const QByteArray ici = QFile::encodeName(dossier.path());
    chmod(ici.constData(), 0644);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        mAppPrefFichierEcriture();
    }));
    chmod(ici.constData(), 0755);
    EXPECT_EQ(Dit(), Ligne(Lu, Chemin(), "lecture impossible, accès refusé") + Refuse());
}

TEST_F(Preferences, ALockedFolderIsWrittenInPlaceAndAFailedSaveKeepsTheFile) {
    const QByteArray ancien = "[-NoDePion-] 2\n";
    // A value with many line ends grows a lot once written, far past the limit set below.
    const QByteArray long_ = "[-Long-] " + QByteArray(2000, 'x').replace("x", "<SautDeLigne />") + "\n";
    Charge(long_);
    const QByteArray ici = QFile::encodeName(dossier.path());
    for (const bool verrouille : {false, true}) {
        Ecrit(ancien);
        chmod(QFile::encodeName(Chemin()).constData(), 0666);
        // A folder that takes no new file, for a user (root ignores it): the file is written in place.
        chmod(ici.constData(), verrouille ? 0555 : 0755);
        // In a child with the signal's default action, as in the game: the limit must not kill it.
        const auto limite = [] {
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit petit{4096, 4096};
            if (setrlimit(RLIMIT_FSIZE, &petit) != 0) _exit(2);
            mAppPrefFichierEcriture();
        };
        EXPECT_TRUE(SansPrivileges(limite, verrouille)) << "ended by a signal, or could not run";
        EXPECT_EQ(Lit(), ancien) << verrouille;
        EXPECT_EQ(Dit(), Ligne(Sauve, Chemin(), "taille de fichier limitée")) << verrouille;
        EXPECT_EQ(Fichiers(), QStringList{Nom});
    }
    EXPECT_TRUE(SansPrivileges([] { mAppPrefFichierEcriture(); }));
    chmod(ici.constData(), 0755);
    EXPECT_TRUE(Lit() == long_) << "not written in place";
    EXPECT_EQ(Proprio(Chemin()), std::tuple(int(geteuid()), int(getegid()), 0666));
}

TEST_F(Preferences, RootSavesOnlyInFoldersOfItsOwn) {
    if (geteuid() != 0) GTEST_SKIP() << "runs as root, with the home of an unprivileged user";
    const QString maison = dossier.filePath("maison"), config = maison + "/.config";
    const QString systeme = dossier.filePath("systeme"); // a folder of root's that the user names
    ASSERT_TRUE(QDir().mkpath(maison) && QDir().mkpath(systeme));
    ASSERT_EQ(chown(QFile::encodeName(maison).constData(), 65534, 65534), 0);
    Ecrit("[-root-] x\n", systeme + "/" + Nom);
    const QByteArray lien = QFile::encodeName(config);
    // The user's link to root's folder, in place of the folder root has just made.
    const auto echange = [&] {
        rename(lien.constData(), (lien + ".vieux").constData());
        if (symlink(QFile::encodeName(systeme).constData(), lien.constData()) != 0 ||
            lchown(lien.constData(), 65534, 65534) != 0)
            ADD_FAILURE() << "no swap";
    };
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> maisons = {
        {"an empty home", [] {}, false},
        {"the user's folder and file", [&] { EXPECT_TRUE(SansPrivileges([&] { Joue(1); })); }, false},
        {"the user's link to root's folder",
         [&] { EXPECT_TRUE(SansPrivileges([&] { QFile::link(systeme, config); })); }, false},
        {"a swap as root makes the folder", [] {}, true},
    };
    mPrefChangeDossier(config);
    for (const auto& [cas, prepare, course] : maisons) {
        SCOPED_TRACE(cas);
        // The link first: removed as a folder, its target's files would go.
        QFile::remove(config);
        QDir(config).removeRecursively();
        prepare();
        if (course) ApresMkdir = [&] { echange(); };
        const std::string avant = Arbre(dossier.path());
        Joue(5);
        ApresMkdir = {};
        EXPECT_EQ(Arbre(dossier.path()), avant);
        EXPECT_EQ(Dit(), Ligne(Sauve, config + "/" + Nom, "dossier d'un autre utilisateur"));
    }
    // A home of root's own, in a folder others can't change, below the sticky temporary folder.
    const QString sienne = dossier.filePath("sienne/.config");
    mPrefChangeDossier(sienne);
    const mode_t masque = umask(022);
    Joue(5);
    umask(masque);
    EXPECT_EQ(Lit(sienne + "/" + Nom), "[-NoDePion-] 5\n");
    EXPECT_EQ(Proprio(sienne + "/" + Nom), std::tuple(0, 0, 0644));
}

TEST_F(Preferences, TheTemporaryIsPrivateFromItsCreationAndNeverWaitedOn) {
    // A file only its owner may read, replaced through the rename, even with a mask that hides
    // nothing. Another user who watches the folder tries to open the temporary as soon as it is
    // made and just before its rename; someone who got hold of it first locks it.
    Ecrit("[-NoDePion-] 1\n");
    chmod(QFile::encodeName(Chemin()).constData(), 0600);
    const QString avant = Inode(Chemin());
    // Exit codes of the saving child: 2 a temporary others may open, 3 another user opened it,
    // 4 nothing to attack; killed by the alarm, it waited. Tried when it is made, once written
    // and just before its rename.
    const auto attaque = [](const QByteArray& temporaire) {
        struct stat etat {};
        if (stat(temporaire.constData(), &etat) != 0 || (etat.st_mode & 077) != 0) _exit(2);
        if (geteuid() == 0 && !SansPrivileges([&] {
                for (const int sorte : {O_RDONLY, O_WRONLY | O_APPEND})
                    if (open(temporaire.constData(), sorte | O_NONBLOCK) >= 0) _exit(1);
            }))
            _exit(3);
    };
    const auto temporaire = [](int fd) {
        QByteArray nom(PATH_MAX, '\0');
        const ssize_t n =
            readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), nom.data(), size_t(nom.size()));
        nom.truncate(std::max<ssize_t>(n, 0));
        return nom.endsWith(".enregistrement") ? nom : QByteArray();
    };
    EXPECT_TRUE(SansPrivileges(
        [&] {
            alarm(10);
            umask(0);
            int attaques = 0;
            AvantVerrou = [&](int fd, int) {
                const QByteArray nom = temporaire(fd);
                if (nom.isEmpty() || attaques++ > 0) return;
                attaque(nom);
                const int tenu = open(nom.constData(), O_RDONLY);
                if (tenu < 0 || Vraie<int(int, int)>("flock")(tenu, LOCK_EX | LOCK_NB) != 0) _exit(5);
            };
            // "/proc/self/fd/N/name": another user can't reach this process's descriptors.
            AvantSync = [&](int fd) {
                if (const QByteArray nom = temporaire(fd); !nom.isEmpty()) attaque(nom);
            };
            AvantRenommage = [&](const char* chemin) {
                const QByteArray c = chemin;
                const qsizetype barre = c.indexOf('/', 14);
                attaque(QFile::encodeName(QFile::symLinkTarget(QFile::decodeName(c.left(barre)))) +
                        c.mid(barre));
            };
            Joue(2);
            if (attaques == 0 || AvantRenommage) _exit(4);
        },
        false));
    EXPECT_EQ(Lit(), "[-NoDePion-] 2\n");
    EXPECT_NE(Inode(Chemin()), avant) << "written in place, not through the rename";
    EXPECT_EQ(Proprio(Chemin()), std::tuple(int(geteuid()), int(getegid()), 0600));
    EXPECT_EQ(Fichiers(), QStringList{Nom}) << "the temporary left behind";
}

TEST_F(Preferences, AUsersSaveKeepsOwnerGroupAndModeAndFollowsTheLinksItMayTrust) {
    if (geteuid() != 0) GTEST_SKIP() << "runs as root, to give files to an unprivileged user";
    // What a user makes in a shared folder of root's is the user's, with the modes the mask gives.
    const QString partage = dossier.filePath("partage"), ici = partage + "/sous", fichier = ici + "/" + Nom;
    ASSERT_TRUE(QDir().mkdir(partage));
    chmod(QFile::encodeName(partage).constData(), 0777);
    mPrefChangeDossier(ici);
    const auto joue = [](int nombre) {
        return SansPrivileges([nombre] {
            umask(002);
            Joue(nombre);
        });
    };
    EXPECT_TRUE(joue(1));
    EXPECT_EQ(Proprio(ici), std::tuple(65534, 65534, 0775));
    EXPECT_EQ(Proprio(fichier), std::tuple(65534, 65534, 0664));
    // Replaced through the rename, the file keeps its mode.
    chmod(QFile::encodeName(fichier).constData(), 0640);
    const QString inode = Inode(fichier);
    EXPECT_TRUE(joue(1));
    EXPECT_NE(Inode(fichier), inode);
    EXPECT_EQ(Proprio(fichier), std::tuple(65534, 65534, 0640));
    // A group the user is not in, and root's file the user may write: written in place, both kept.
    ASSERT_EQ(chown(QFile::encodeName(fichier).constData(), 65534, 4321), 0);
    chmod(QFile::encodeName(fichier).constData(), 0604);
    EXPECT_TRUE(joue(2));
    EXPECT_EQ(Proprio(fichier), std::tuple(65534, 4321, 0604));
    ASSERT_EQ(chown(QFile::encodeName(fichier).constData(), 0, 0), 0);
    chmod(QFile::encodeName(fichier).constData(), 0666);
    EXPECT_TRUE(joue(3));
    EXPECT_EQ(Proprio(fichier), std::tuple(0, 0, 0666));
    EXPECT_EQ(Lit(fichier), "[-NoDePion-] 3\n");

    // The user's link to root's link to the user's file: followed, the links kept. Another
    // user's link is neither read nor written through.
    const QString vrai = ici + "/vrai", relais = dossier.filePath("relais");
    ASSERT_TRUE(QFile::remove(fichier) && QFile::link(vrai, relais) && QFile::link(relais, fichier));
    Ecrit("[-A-] 1\n", vrai);
    for (const QString& nom : {vrai, fichier}) lchown(QFile::encodeName(nom).constData(), 65534, 65534);
    EXPECT_TRUE(joue(4));
    EXPECT_EQ(Lit(vrai), "[-A-] 1\n[-NoDePion-] 4\n");
    EXPECT_EQ(QFileInfo(fichier).symLinkTarget(), relais);
    lchown(QFile::encodeName(fichier).constData(), 4321, 4321);
    EXPECT_TRUE(joue(5));
    EXPECT_EQ(Lit(vrai), "[-A-] 1\n[-NoDePion-] 4\n");
    EXPECT_EQ(Dit(), Ligne(Lu, fichier, "lien symbolique d'un autre utilisateur") + Refuse(fichier));
}

TEST_F(Preferences, AWriteInPlaceLoadsToTheOldOrTheNewSettingsWhateverStopsIt) {
    // A folder that takes no new file: the file is written in place.
    const QByteArray ici = QFile::encodeName(dossier.path());
    ASSERT_TRUE(QDir(dossier.path()).mkdir("ailleurs"));
    Ecrit({});
    chmod(ici.constData(), 0555);
    const QByteArray court = "[-NoDePion-] 2\n", long_ = "[-NoDePion-] -2147483648\n";
    const auto sauve = [](
                           int nombre, const std::function<void()>& avant = [] {}) {
        mAppPrefFichierLecture(Nom);
        mPrefNbIntegerEcrit(nombre, "NoDePion");
        avant();
        mAppPrefFichierEcriture();
    };
    const auto remet = [&](const QByteArray& contenu) {
        Ecrit(contenu);
        chmod(QFile::encodeName(Chemin()).constData(), 0666);
    };
    // Killed after each step in turn, until the write is done.
    for (const auto& [ancien, nouveau, nombre] :
         {std::tuple(long_, court, 2), std::tuple(court, long_, INT32_MIN)}) {
        bool fini = false;
        for (int pas = 1; pas < 30 && !fini; ++pas) {
            remet(ancien);
            fini = SansPrivileges([&] { sauve(nombre, [pas] { ArretApres = pas; }); });
            const QStringList lignes = Lignes(Lit());
            EXPECT_TRUE(lignes == Lignes(ancien) || lignes == Lignes(nouveau))
                << pas << ": " << Lit().toStdString();
        }
        EXPECT_TRUE(fini);
        EXPECT_EQ(Lit(), nouveau);
    }

    // Content and padding that fit in a page go in one write from the start, then onto the disk.
    remet(long_);
    EXPECT_TRUE(SansPrivileges([&] {
        Journal.clear();
        sauve(2, [] { Ecritures.clear(); });
        if (Ecritures != QStringList{"25@0"} || !Journal.contains("fsync " + Inode(Chemin()))) _exit(1);
    }));
    // A write that fails part-way puts the old bytes back.
    const QByteArray autre = "x\n" + long_; // unlike the new content from the first byte
    remet(autre);
    EXPECT_TRUE(SansPrivileges([&] { sauve(2, [] { Pannes = {-1, ENOSPC}; }); }));
    EXPECT_EQ(Lit(), autre);
    EXPECT_EQ(Dit(), Ligne(Sauve, Chemin(), "disque plein, ancien contenu remis"));
    // Grown past the limit since the load: kept as it is.
    remet(court);
    EXPECT_TRUE(SansPrivileges([&] { sauve(3, [this] { QFile(Chemin()).resize(TailleMaxFichier + 1); }); }));
    EXPECT_EQ(QFileInfo(Chemin()).size(), TailleMaxFichier + 1);
    EXPECT_TRUE(Lit().startsWith(court));
    EXPECT_EQ(Dit(), Ligne(Sauve, Chemin(), "plus de 4 Mio"));
    // A load waits for a writer in place to end.
    remet(court);
    int pret[2];
    ASSERT_EQ(pipe(pret), 0);
    const pid_t ecrivain = Lance(
        [&] {
            const int fd = open(QFile::encodeName(Chemin()).constData(), O_RDWR);
            if (fd < 0 || flock(fd, LOCK_EX) != 0 || write(pret[1], "x", 1) != 1) _exit(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (pwrite(fd, "[-NoDePion-] 4\n", 15, 0) != 15) _exit(1);
        },
        false);
    char signe;
    ASSERT_EQ(read(pret[0], &signe, 1), 1);
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("NoDePion", 0), 4) << "read while it was being written";
    EXPECT_TRUE(Attend(ecrivain));
    close(pret[0]);
    close(pret[1]);

    // Two writers at once: the second starts while the first has written its first bytes.
    remet(long_);
    int tube[2];
    ASSERT_EQ(pipe(tube), 0);
    const pid_t second = Lance([&] {
        sauve(INT32_MAX, [&] {
            char c;
            if (read(tube[0], &c, 1) != 1) _exit(3);
        });
    });
    EXPECT_TRUE(SansPrivileges([&] {
        sauve(2, [&] {
            ApresEcritureEnTete = [&] {
                if (write(tube[1], "x", 1) != 1) _exit(3);
                std::this_thread::sleep_for(std::chrono::seconds(1));
            };
        });
    }));
    close(tube[1]); // the second ends rather than waits when the first never wrote
    EXPECT_TRUE(Attend(second));
    close(tube[0]);
    EXPECT_EQ(Lit(), "[-NoDePion-] 2147483647\n");

    // Another name of the file may be another user's file; one who holds it too long is not waited for.
    remet(long_);
    ASSERT_EQ(link(QFile::encodeName(Chemin()).constData(),
                   QFile::encodeName(dossier.filePath("ailleurs/lien")).constData()),
              0);
    EXPECT_TRUE(SansPrivileges([&] { sauve(2); }));
    EXPECT_TRUE(QFile::remove(dossier.filePath("ailleurs/lien")));
    const int tenu = open(QFile::encodeName(Chemin()).constData(), O_RDONLY);
    EXPECT_EQ(flock(tenu, LOCK_EX), 0);
    EXPECT_TRUE(SansPrivileges([&] { sauve(2); }));
    close(tenu);
    EXPECT_EQ(Lit(), long_);
    EXPECT_EQ(Dit(), Ligne(Sauve, Chemin(), "fichier à plusieurs noms") +
                         Ligne(Sauve, Chemin(), "fichier tenu par un autre programme"));
    chmod(ici.constData(), 0755);
}

TEST_F(Preferences, EveryKeyOfALargeFileIsKeptAndARefusedFileIsNeverReplaced) {
    // Far past the old 1 MiB limit: the game's own keys are added, none is lost.
    QByteArray grand;
    for (int i = 0; i < 30000; ++i)
        grand += "[-Cle" + QByteArray::number(i) + "-] " + QByteArray(40, 'v') + "\n";
    Ecrit(grand);
    Joue(2);
    EXPECT_EQ(Lit().count("-] "), 30001);
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("NoDePion", 0), 2);
    EXPECT_FALSE(mPrefBoolLit("Cle29999", true)); // present

    // Invalid bytes are saved as three each: a file near the limit would grow past it, be refused
    // at the next start and lost at the next quit. The save keeps the file as it is instead.
    const QByteArray croissant = "[-Long-] " + QByteArray(TailleMaxFichier / 2, '\xFF') + "\n";
    Ecrit(croissant);
    Joue(2);
    EXPECT_TRUE(Lit() == croissant) << "grown past the limit";
    EXPECT_EQ(Dit(), Ligne(Sauve, Chemin(), "plus de 4 Mio une fois écrit"));

    // Refused at load, for any reason, here writeable but unreadable in a folder where the save
    // could replace it: never replaced by what the store holds.
    Ecrit(grand);
    chmod(QFile::encodeName(Chemin()).constData(), 0222);
    chmod(QFile::encodeName(dossier.path()).constData(), 0777);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        mAppPrefFichierEcriture();
    }));
    chmod(QFile::encodeName(dossier.path()).constData(), 0755);
    chmod(QFile::encodeName(Chemin()).constData(), 0644);
    EXPECT_TRUE(Lit() == grand) << "unreadable";
    EXPECT_EQ(Dit(), Ligne(Lu, Chemin(), "lecture impossible, accès refusé") + Refuse());
}

TEST_F(Preferences, SavesOnlyIntoAPlainFileFollowingItsLinks) {
    // Through a link, the target is written and the link kept (dot files kept in another folder).
    ASSERT_TRUE(QDir(dossier.path()).mkdir("ailleurs"));
    const QString vrai = dossier.filePath("ailleurs/vrai");
    ASSERT_TRUE(QFile::link("ailleurs/vrai", Chemin()));
    Ecrit("[-Autre-] 1\n"); // through the link
    Joue(2);
    EXPECT_EQ(QFileInfo(Chemin()).symLinkTarget(), vrai);
    EXPECT_EQ(Lit(), "[-Autre-] 1\n[-NoDePion-] 2\n");
    EXPECT_EQ(Fichiers(dossier.filePath("ailleurs")), QStringList{"vrai"});

    // Whatever is not a plain file stays as it was, whether the load found it or it came after.
    using Fabrique = std::function<bool(const QByteArray&)>;
    // The null device, made in the temporary folder.
    const Fabrique nul = [](const QByteArray& c) {
        return mknod(c.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    };
    const QString autre = "pas un fichier ordinaire";
    const std::vector<std::tuple<const char*, QString, Fabrique>> sortes = {
        {"pipe", autre, [](const QByteArray& c) { return mkfifo(c.constData(), 0600) == 0; }},
        {"folder", autre, [](const QByteArray& c) { return mkdir(c.constData(), 0700) == 0; }},
        {"socket", autre, [](const QByteArray& c) { return mknod(c.constData(), S_IFSOCK | 0600, 0) == 0; }},
        {"dangling link", "lien symbolique vers rien",
         [](const QByteArray& c) { return symlink((c + ".cible").constData(), c.constData()) == 0; }},
        {"device", autre, nul},
        {"link to a device", autre,
         [&](const QByteArray& c) {
             return nul(c + ".dev") && symlink((c + ".dev").constData(), c.constData()) == 0;
         }},
    };
    int n = 0;
    std::set<std::string> sansDroit;
    for (const auto& [sorte, raison, fabrique] : sortes) {
        for (const bool avantLecture : {true, false}) {
            const QString ici = dossier.filePath(QString::number(++n));
            ASSERT_TRUE(QDir().mkpath(ici));
            mPrefChangeDossier(ici);
            const QByteArray chemin = QFile::encodeName(QDir(ici).filePath(Nom));
            // A device node needs a right an unprivileged user lacks: the other cases run all the same.
            const auto fabriquee = [&] {
                if (fabrique(chemin)) return true;
                EXPECT_EQ(errno, EPERM) << sorte << ": " << strerror(errno);
                sansDroit.insert(sorte);
                return false;
            };
            if (avantLecture && !fabriquee()) continue;
            mAppPrefFichierLecture(Nom);
            if (!avantLecture && !fabriquee()) continue;
            const int avant = Sorte(chemin);
            ASSERT_NE(avant, -1);
            const QStringList contenu = Fichiers(ici);
            mPrefNbIntegerEcrit(2, "NoDePion");
            mAppPrefFichierEcriture();
            EXPECT_EQ(Sorte(chemin), avant) << sorte << (avantLecture ? " found at load" : " came after");
            EXPECT_EQ(Fichiers(ici), contenu) << sorte;
            const QString nom = QFile::decodeName(chemin);
            EXPECT_EQ(Dit(), avantLecture ? Ligne(Lu, nom, raison) + Refuse(nom) : Ligne(Sauve, nom, raison))
                << sorte;
            // The device behind the link stays a device.
            EXPECT_EQ(Sorte(chemin + ".dev"), std::string(sorte) == "link to a device" ? S_IFCHR : -1)
                << sorte;
        }
    }

    // A folder's name with a line end and a terminal escape: one line each, both shown escaped.
    const QString etrange = dossier.filePath(QString::fromUtf8("é€\\\nligne\x1b[31m"));
    ASSERT_TRUE(QDir().mkdir(etrange));
    ASSERT_EQ(mkfifo(QFile::encodeName(etrange + "/" + Nom).constData(), 0600), 0);
    mPrefChangeDossier(etrange);
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    const QString montre = dossier.filePath(QString::fromUtf8("é€\\\\\\nligne\\x1b[31m/") + Nom);
    EXPECT_EQ(Dit(), Ligne(Lu, montre, "pas un fichier ordinaire") + Refuse(montre));
    // Once a load reads a good file there, the refusal is over.
    ASSERT_TRUE(QFile::remove(etrange + "/" + Nom));
    Ecrit("[-A-] 1\n", etrange + "/" + Nom);
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(3, "B");
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit(etrange + "/" + Nom), "[-A-] 1\n[-B-] 3\n");
    for (const std::string& sorte : sansDroit)
        GTEST_SKIP() << sorte << ": no device node without the right to make one";
}

TEST_F(Preferences, SaveRemovesTheTemporariesAnEarlierRunLeft) {
    Ecrit("[-NoDePion-] 2\n");
    // As a save killed before its rename leaves them, and look-alikes that are not ours: a user's
    // copies of the file among them.
    const QString marque = QStringLiteral(".enregistrement");
    const QStringList laisses = {Nom + ".AbCdEf" + marque, Nom + ".x1Y2z3" + marque};
    QStringList autres = {"Autre.Pref.AbCdEf" + marque, "x" + Nom + ".AbCdEf" + marque};
    for (const QString& suffixe :
         {QStringLiteral(".bak"), QStringLiteral(".backup"), QStringLiteral(".Backup"), ".AbCdE" + marque,
          ".AbCdEfG" + marque, ".Ab-dEf" + marque, ".AbCdEf" + marque + ".old"})
        autres << Nom + suffixe;
    const auto cree = [this](const QString& nom, int ms) {
        QFile f(dossier.filePath(nom));
        return f.open(QIODevice::WriteOnly) && f.write("[-NoDePion-] 1\n") > 0 && f.flush() &&
               f.setFileTime(QDateTime::currentDateTime().addMSecs(-ms), QFileDevice::FileModificationTime);
    };
    for (const QString& nom : laisses + autres) ASSERT_TRUE(cree(nom, 3600 * 1000)) << nom.toStdString();
    ASSERT_TRUE(QDir(dossier.path()).mkdir(Nom + ".QwErTy" + marque));
    ASSERT_TRUE(QFile::link(Nom + ".bak", dossier.filePath(Nom + ".ZzZzZz" + marque)));
    mAppPrefFichierLecture(Nom);
    // Another instance's save under way: younger than this run's load, though the file system's
    // coarser clock may date it a little before.
    ASSERT_TRUE(cree(Nom + ".NeWnEw" + marque, 20));
    // Another instance's clean-up while this save's temporary waits for its rename, and looks old
    // (a slow disk, a clock set back).
    AvantRenommage = [](const char* temporaire) {
        const timespec heures[2] = {{0, UTIME_OMIT}, {time(nullptr) - 3600, 0}};
        utimensat(AT_FDCWD, temporaire, heures, 0);
        const pid_t autre = fork();
        if (autre == 0) {
            Joue(7, "Autre");
            _exit(0);
        }
        waitpid(autre, nullptr, 0);
    };
    mPrefNbIntegerEcrit(3, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_FALSE(AvantRenommage) << "no rename";
    QStringList restent = autres + QStringList{Nom, Nom + ".QwErTy" + marque, Nom + ".ZzZzZz" + marque,
                                               Nom + ".NeWnEw" + marque};
    restent.sort();
    EXPECT_EQ(Fichiers().join(' ').toStdString(), restent.join(' ').toStdString());
    EXPECT_EQ(Lit(), "[-NoDePion-] 3\n");

    // Younger than this run's start, less the clock's slack, though older than that at the save.
    mAppPrefFichierLecture(Nom);
    const QString recent = Nom + ".DeBuTt" + marque;
    ASSERT_TRUE(cree(recent, 1900));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    mAppPrefFichierEcriture();
    EXPECT_TRUE(QFileInfo::exists(dossier.filePath(recent)));
}

TEST_F(Preferences, ThePreferencesFolderIsTheOneTheEnvironmentNamesOrNone) {
    mPrefChangeDossier({});
    const QByteArray home = qgetenv("HOME"), xdg = qgetenv("XDG_CONFIG_HOME");
    const bool xdgDefini = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QString cwd = QDir::currentPath();
    // Put back whatever stops the test, so that no later test runs outside Qt's test mode.
    const auto remet = qScopeGuard([&] {
        QDir::setCurrent(cwd);
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", home);
        if (xdgDefini)
            qputenv("XDG_CONFIG_HOME", xdg);
        else
            qunsetenv("XDG_CONFIG_HOME");
    });
    const QByteArray ici = QFile::encodeName(dossier.path());
    // A home whose name is not UTF-8: Qt would name another folder, which must never be made.
    const QByteArray latin = ici + "/caf\xe9", fichier = latin + "/.qttest/config/" + QFile::encodeName(Nom);
    ASSERT_EQ(mkdir(latin.constData(), 0755), 0);
    ASSERT_EQ(mkdir((latin + "/.qttest").constData(), 0755), 0);
    ASSERT_EQ(mkdir((latin + "/.qttest/config").constData(), 0755), 0);
    const int fd = open(fichier.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_TRUE(fd >= 0 && write(fd, "[-NoDePion-] 2\n", 15) == 15);
    close(fd);
    qputenv("HOME", latin);
    Joue(1);
    EXPECT_EQ(Dit(), "Préférences non enregistrées dans « " + dossier.path().toStdString() +
                         "/caf\\xe9/.qttest/config/" + Nom.toStdString() + " » : nom de dossier illisible\n");
    // Listed as bytes: Qt shows both names alike.
    const auto noms = [&ici] {
        QList<QByteArray> liste;
        DIR* d = opendir(ici.constData());
        while (const dirent* e = d ? readdir(d) : nullptr)
            if (e->d_name[0] != '.') liste << e->d_name;
        if (d) closedir(d);
        std::sort(liste.begin(), liste.end());
        return liste;
    };
    EXPECT_EQ(noms(), QList<QByteArray>{"caf\xe9"}) << "another folder made";
    char lu[64] = {};
    const int vrai = open(fichier.constData(), O_RDONLY); // by its bytes: Qt can't name it
    EXPECT_EQ(std::string(lu, size_t(std::max<ssize_t>(read(vrai, lu, sizeof lu), 0))), "[-NoDePion-] 2\n");
    close(vrai);

    // Out of Qt's test mode, in homes of the test's own: a relative $XDG_CONFIG_HOME is ignored.
    QStandardPaths::setTestModeEnabled(false);
    const char* maison = "maison";
    ASSERT_TRUE(QDir(dossier.path()).mkdir(maison));
    ASSERT_TRUE(QDir::setCurrent(dossier.path()));
    qputenv("HOME", ici + "/" + maison);
    qputenv("XDG_CONFIG_HOME", "relatif");
    Joue(3);
    EXPECT_EQ(Lit(dossier.filePath("maison/.config/") + Nom), "[-NoDePion-] 3\n");
    qputenv("XDG_CONFIG_HOME", ici + "/xdg");
    Joue(4);
    EXPECT_EQ(Lit(dossier.filePath("xdg/") + Nom), "[-NoDePion-] 4\n");
    // No home, or a relative one: no folder at all.
    qunsetenv("XDG_CONFIG_HOME");
    for (const QByteArray& sans : {QByteArray(), QByteArray("maison")}) {
        qputenv("HOME", sans);
        Joue(5);
        EXPECT_EQ(Dit(), Ligne(Sauve, Nom, "aucun dossier de préférences"));
    }
    EXPECT_EQ(noms(), (QList<QByteArray>{"caf\xe9", "maison", "xdg"}))
        << "a folder made in the working folder";
}

TEST_F(Preferences, HostileFilesLoadSafely) {
    // Binary bytes, NUL bytes, invalid UTF-8 and a byte order mark leave the good lines readable.
    QByteArray binaire("\xEF\xBB\xBF[-A-] 1\n");
    for (int i = 0; i < 256; ++i) binaire += char(i);
    binaire += QByteArray("\n[-B\0C-] \xFF\xFE\0\n\xC3\n[-D-] 4\n", 22);
    Charge(binaire);
    EXPECT_EQ(mPrefNbLit("A", 0), 1);
    EXPECT_EQ(mPrefNbLit("D", 0), 4);
    mAppPrefFichierEcriture();
    const QByteArray sauve = Lit();
    EXPECT_EQ(Resauve(sauve), sauve); // what was saved loads back to the same store
    // Not a byte order mark: its character is the first of the line.
    Charge("\xEF\xBB\xBE[-A-] 1\n");
    EXPECT_EQ(mPrefNbLit("-A", 0), 1);

    // Up to the limit the file is ours; past it, even sparse, it is read as missing and kept.
    const QByteArray ligne = "[-K-] 7\n";
    Charge(ligne + "[-Long-] " + QByteArray(TailleMaxFichier - ligne.size() - 10, 'x') + "\n");
    EXPECT_EQ(mPrefNbLit("K", 0), 7);
    mAppPrefFichierEcriture(); // as large as a load takes: saved
    for (std::int64_t taille : {TailleMaxFichier + 1, std::int64_t(100) * 1024 * 1024}) {
        QFile f(Chemin());
        ASSERT_TRUE(f.resize(taille));
        mAppPrefFichierLecture(Nom);
        EXPECT_EQ(mPrefNbLit("K", 0), 0) << taille;
        mAppPrefFichierEcriture();
        EXPECT_EQ(QFileInfo(Chemin()).size(), taille);
        EXPECT_EQ(Dit(), Ligne(Lu, Chemin(), "plus de 4 Mio") + Refuse());
    }
}

} // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true); // never the user's real settings
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
