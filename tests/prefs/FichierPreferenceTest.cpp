#include "FichierPreference.h"
#include "NomFichierPref.h"

#include "Desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace FichierPreference;

// The process's fsync and rename calls in order since the test began: a save must put its file
// on disk before renaming it, and its folder after. A test may also act just before a rename.
QStringList Journal;
std::function<void(const char*)> AvantRenommage;

QString Inode(const QString& chemin) {
    struct stat etat {};
    return stat(QFile::encodeName(chemin).constData(), &etat) == 0 ? QString::number(etat.st_ino) : "?";
}

extern "C" int fsync(int fd) {
    Journal << "fsync " + Inode(QStringLiteral("/proc/self/fd/%1").arg(fd));
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

extern "C" int rename(const char* ancien, const char* nouveau) noexcept {
    Journal << "renomme " + Inode(QFile::decodeName(ancien));
    if (AvantRenommage) std::exchange(AvantRenommage, {})(ancien);
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(ancien, nouveau);
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

// Runs `action` in a child, as an unprivileged user when the tests run as root, who ignores file
// modes, unless `seulement` is false; false when it could not run or ended with an exit code or a signal.
bool SansPrivileges(const std::function<void()>& action, bool seulement = true) {
    const pid_t enfant = fork();
    if (enfant == 0) {
        if (seulement && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
        action();
        _exit(0);
    }
    int etat = 0;
    return enfant > 0 && waitpid(enfant, &etat, 0) == enfant && WIFEXITED(etat) && WEXITSTATUS(etat) == 0;
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

TEST_F(Preferences, ASaveKeepsTheOwnerGroupAndModeAndLeavesAUsersFilesToTheUser) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can save in another user's home";
    // Root run in a user's home that has no preferences folder yet: what the save makes is the
    // user's, with the modes the mask gives.
    const QString maison = dossier.filePath("maison"), config = maison + "/.config",
                  fichier = config + "/" + Nom;
    ASSERT_TRUE(QDir().mkdir(maison));
    ASSERT_EQ(chown(QFile::encodeName(maison).constData(), 65534, 65534), 0);
    mPrefChangeDossier(config);
    const mode_t masque = umask(002);
    Joue(1);
    umask(masque);
    EXPECT_EQ(Proprio(config), std::tuple(65534, 65534, 0775));
    EXPECT_EQ(Proprio(fichier), std::tuple(65534, 65534, 0664));
    // The user's next run reads it and saves.
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        mPrefNbIntegerEcrit(int(mPrefNbLit("NoDePion", 0)) + 1, "NoDePion");
        mAppPrefFichierEcriture();
    }));
    EXPECT_EQ(Lit(fichier), "[-NoDePion-] 2\n");
    // Root's save keeps the user's owner, group and mode.
    ASSERT_EQ(chown(QFile::encodeName(fichier).constData(), 65534, 4321), 0);
    chmod(QFile::encodeName(fichier).constData(), 0604);
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    EXPECT_EQ(Proprio(fichier), std::tuple(65534, 4321, 0604));

    // The user's link to a file of the system, put there before the load or after it: that file
    // is neither read nor written.
    const QString systeme = dossier.filePath("systeme");
    const QByteArray secret = "root:x:0:0-] :/root\n";
    Ecrit(secret, systeme);
    chmod(QFile::encodeName(systeme).constData(), 0640);
    const auto plante = [&] {
        if (!QFile::remove(fichier) || !QFile::link(systeme, fichier)) _exit(1);
    };
    mAppPrefFichierLecture(Nom);
    ASSERT_TRUE(SansPrivileges(plante));
    mAppPrefFichierEcriture();
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    EXPECT_TRUE(Lit(systeme) == secret);
    const QString etranger = "lien symbolique d'un autre utilisateur";
    EXPECT_EQ(Dit(), Ligne(Sauve, fichier, etranger) + Ligne(Lu, fichier, etranger) + Refuse(fichier));

    // A user can't give a file to root: root's file that the user may write is written in place,
    // and stays root's. What a user creates in a shared folder of root's is the user's.
    QFile::remove(fichier);
    ASSERT_TRUE(QFile::copy(systeme, fichier));
    chmod(QFile::encodeName(fichier).constData(), 0666);
    const QString partage = dossier.filePath("partage");
    ASSERT_TRUE(QDir().mkdir(partage));
    chmod(QFile::encodeName(partage).constData(), 0777);
    EXPECT_TRUE(SansPrivileges([&] {
        Joue(3);
        umask(002);
        for (const QString& ici : {partage, partage + "/sous"}) {
            mPrefChangeDossier(ici);
            Joue(4);
        }
    }));
    // Read as the format reads any line: two characters, a key up to "-] ", a value.
    EXPECT_EQ(Lit(fichier), "[-NoDePion-] 3\n[-ot:x:0:0-] :/root\n");
    EXPECT_EQ(Proprio(fichier), std::tuple(0, 0, 0666));
    EXPECT_EQ(Proprio(partage + "/sous"), std::tuple(65534, 65534, 0775));
    EXPECT_EQ(Proprio(partage + "/" + Nom), std::tuple(65534, 65534, 0664));
    EXPECT_EQ(Lit(partage + "/sous/" + Nom), "[-NoDePion-] 4\n");
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
    for (const auto& [sorte, raison, fabrique] : sortes) {
        for (const bool avantLecture : {true, false}) {
            const QString ici = dossier.filePath(QString::number(++n));
            ASSERT_TRUE(QDir().mkpath(ici));
            mPrefChangeDossier(ici);
            const QByteArray chemin = QFile::encodeName(QDir(ici).filePath(Nom));
            const auto fabriquee = [&] {
                const bool faite = fabrique(chemin);
                if (!faite && errno == EPERM)
                    GTEST_SKIP() << sorte << ": no device node without the right to make one";
                ASSERT_TRUE(faite) << sorte << ": " << strerror(errno);
            };
            if (avantLecture) fabriquee();
            mAppPrefFichierLecture(Nom);
            if (!avantLecture) fabriquee();
            if (IsSkipped() || HasFatalFailure()) return;
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
