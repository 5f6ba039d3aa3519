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
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace FichierPreference;

namespace {

const QString Nom = QString::fromLatin1(kNomFichierPref);
const QString Manque = QStringLiteral("Manque un nom de fichier préférence ?");

class DesktopEspion : public Desktop {
public:
    QStringList messages;
    void MsgBox(const QString& text) override { messages << text; }
};

// Runs the check as an unprivileged user when the tests run as root, who ignores file modes.
bool SansPrivileges(const std::function<bool()>& verification) {
    if (geteuid() != 0) return verification();
    const pid_t enfant = fork();
    if (enfant == 0) {
        const bool ok = setgid(65534) == 0 && setuid(65534) == 0 && verification();
        _exit(ok ? 0 : 1);
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
    }
    void TearDown() override {
        mPrefLibere();
        mPrefChangeDossier({});
        SetDesktop(nullptr);
    }
    QString Chemin() const { return dossier.filePath(Nom); }
    void Ecrit(const QByteArray& contenu) {
        QFile f(Chemin());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(contenu), contenu.size());
    }
    QByteArray Lit() const {
        QFile f(Chemin());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }
    // Loads `contenu`, saves, and gives what was written.
    QByteArray Resauve(const QByteArray& contenu) {
        Ecrit(contenu);
        mAppPrefFichierLecture(Nom);
        mAppPrefFichierEcriture();
        return Lit();
    }
    // What a folder holds, the test's own by default.
    QStringList Fichiers(const QString& ici = {}) const {
        return QDir(ici.isEmpty() ? dossier.path() : ici)
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    }

    QTemporaryDir dossier;
    DesktopEspion espion;
};

TEST_F(Preferences, ValuesComeBackAfterSaveAndLoad) {
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(INT32_MIN, "Min");
    mPrefNbIntegerEcrit(INT32_MAX, "Max");
    mPrefBoolEcrit(true, "RetailProp");
    mPrefBoolEcrit(false, "Autre");
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit(), "[-Autre-] Non\n[-Max-] 2147483647\n[-Min-] -2147483648\n[-RetailProp-] Oui\n");
    mPrefLibere();
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("Min", 0), INT32_MIN);
    EXPECT_EQ(mPrefNbLit("Max", 0), INT32_MAX);
    EXPECT_TRUE(mPrefBoolLit("RetailProp", false));
    EXPECT_FALSE(mPrefBoolLit("Autre", true));
    EXPECT_TRUE(espion.messages.isEmpty());
}

TEST_F(Preferences, FileLinesAsStoredFilesRelyOn) {
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
    Ecrit("[-Non-] Non\n[-Vide-] \n[-Casse-] oui\n[-abc-] abc\n[-grand-] 1e400\n[-nan-] nan\n[-inf-] inf\n"
          "[-suffixe-] 2abc\n[-hexa-] 0x10\n[-moinszero-] -0\n[-blancs-]  2 \n[-decimal-] 2.5\n");
    mAppPrefFichierLecture(Nom);
    for (const char* cle : {"Non", "Vide", "Casse"}) EXPECT_FALSE(mPrefBoolLit(cle, true)) << cle;
    for (const char* cle : {"abc", "Vide", "grand", "nan", "inf", "suffixe", "hexa"})
        EXPECT_EQ(mPrefNbLit(cle, 9), 9) << cle;
    EXPECT_EQ(mPrefNbLit("moinszero", 9), 0);
    EXPECT_EQ(mPrefNbLit("blancs", 9), 2);
    EXPECT_EQ(mPrefNbLit("decimal", 9), 2.5);
}

TEST_F(Preferences, MissingOrUnnamedFileGivesDefaults) {
    mAppPrefFichierEcriture(); // before any named load: the message, and no file
    EXPECT_EQ(espion.messages, QStringList{Manque});
    EXPECT_EQ(Fichiers(), QStringList{});
    mPrefBoolEcrit(true, "RetailProp"); // an empty store that readers and writers can use
    EXPECT_TRUE(mPrefBoolLit("RetailProp", false));
    mAppPrefFichierLecture(Nom); // no file: the store is emptied all the same
    EXPECT_FALSE(mPrefBoolLit("RetailProp", false));

    Ecrit("[-NoDePion-] 2\n");
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(1, "NiveauDeJeu");
    mAppPrefFichierLecture(QString()); // keeps the store and the remembered name
    EXPECT_EQ(espion.messages, (QStringList{Manque, Manque}));
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit(), "[-NiveauDeJeu-] 1\n[-NoDePion-] 2\n");
    EXPECT_EQ(espion.messages.size(), 2);

    // A file that can only be read is read as missing.
    Ecrit("[-NoDePion-] 2\n");
    chmod(QFile::encodeName(Chemin()).constData(), 0444);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        return mPrefNbLit("NoDePion", 3) == 3;
    })) << "a read-only file is read as missing";

    // A named pipe is read as missing and must not wait for a writer.
    QFile::remove(Chemin());
    ASSERT_EQ(mkfifo(QFile::encodeName(Chemin()).constData(), 0600), 0);
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("NoDePion", 3), 3);
}

TEST_F(Preferences, FailedSaveKeepsThePreviousFile) {
    const QByteArray ancien = "[-NoDePion-] 2\n";
    mAppPrefFichierLecture(Nom);
    Ecrit(ancien);

    // A folder where nothing can be created, though the file itself is writeable.
    chmod(QFile::encodeName(Chemin()).constData(), 0666);
    chmod(QFile::encodeName(dossier.path()).constData(), 0555);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierEcriture();
        return true;
    }));
    chmod(QFile::encodeName(dossier.path()).constData(), 0755);
    EXPECT_EQ(Lit(), ancien);

    mPrefChangeDossier(dossier.filePath("a/b")); // the save creates a missing folder
    mAppPrefFichierEcriture();
    EXPECT_TRUE(QFile::exists(dossier.filePath("a/b/") + Nom));
}

TEST_F(Preferences, ASaveKeepsThePermissionsOfTheFileItReplaces) {
    const auto droits = [this] {
        struct stat etat {};
        return stat(QFile::encodeName(Chemin()).constData(), &etat) == 0 ? int(etat.st_mode & 07777) : -1;
    };
    // A new file as the user's mask makes any.
    const mode_t masque = umask(027);
    mAppPrefFichierLecture(Nom);
    mAppPrefFichierEcriture();
    umask(masque);
    EXPECT_EQ(droits(), 0640);
    // A file the user restricted stays so.
    chmod(QFile::encodeName(Chemin()).constData(), 0600);
    mAppPrefFichierEcriture();
    EXPECT_EQ(droits(), 0600);
    EXPECT_EQ(Fichiers(), QStringList{Nom});
}

TEST_F(Preferences, FileSizeLimitFailsTheSaveNotTheGame) {
    const QByteArray ancien = "[-NoDePion-] 2\n";
    // A value with many line ends grows a lot once written, far past the limit set below.
    Ecrit("[-Long-] " + QByteArray(2000, 'x').replace("x", "<SautDeLigne />") + "\n");
    mAppPrefFichierLecture(Nom);
    Ecrit(ancien);
    // In a child with the signal's default action, as in the game: the limit must not kill it.
    const pid_t enfant = fork();
    if (enfant == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit petit{};
        getrlimit(RLIMIT_FSIZE, &petit);
        petit.rlim_cur = 4096;
        if (setrlimit(RLIMIT_FSIZE, &petit) != 0) _exit(2);
        mAppPrefFichierEcriture();
        _exit(0);
    }
    int etat = 0;
    ASSERT_EQ(waitpid(enfant, &etat, 0), enfant);
    EXPECT_EQ(etat, 0) << "signal " << (WIFSIGNALED(etat) ? WTERMSIG(etat) : 0);
    EXPECT_EQ(Lit(), ancien);
    EXPECT_EQ(Fichiers(), QStringList{Nom});
}

TEST_F(Preferences, EveryKeyOfALargeFileIsKeptAndARefusedFileIsNeverReplaced) {
    // Far past the old 1 MiB limit: the game's own keys are added, none is lost.
    QByteArray grand;
    for (int i = 0; i < 30000; ++i)
        grand += "[-Cle" + QByteArray::number(i) + "-] " + QByteArray(40, 'v') + "\n";
    ASSERT_GT(grand.size(), 3 * 512 * 1024);
    mAppPrefFichierLecture(Nom);
    Ecrit(grand);
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(2, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_EQ(Lit().count("-] "), 30001);
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("NoDePion", 0), 2);
    EXPECT_FALSE(mPrefBoolLit("Cle29999", true)); // present

    // Invalid bytes are saved as three each: a file near the limit would grow past it, be refused
    // at the next start and lost at the next quit. The save keeps the file as it is instead.
    const QByteArray croissant = "[-Long-] " + QByteArray(TailleMaxFichier / 2, '\xFF') + "\n";
    Ecrit(croissant);
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(2, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_TRUE(Lit() == croissant) << "grown past the limit";

    // Refused at load, for any reason: never replaced by what the store holds.
    QByteArray tropGrand = grand;
    while (tropGrand.size() <= TailleMaxFichier) tropGrand += grand;
    Ecrit(tropGrand);
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(2, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_TRUE(Lit() == tropGrand) << "too large";

    // Writeable but unreadable, in a folder where the save could replace it.
    Ecrit(grand);
    chmod(QFile::encodeName(Chemin()).constData(), 0222);
    chmod(QFile::encodeName(dossier.path()).constData(), 0777);
    EXPECT_TRUE(SansPrivileges([] {
        mAppPrefFichierLecture(Nom);
        mPrefNbIntegerEcrit(2, "NoDePion");
        mAppPrefFichierEcriture();
        return true;
    }));
    chmod(QFile::encodeName(dossier.path()).constData(), 0755);
    chmod(QFile::encodeName(Chemin()).constData(), 0644);
    EXPECT_TRUE(Lit() == grand) << "unreadable";
    EXPECT_EQ(Fichiers(), QStringList{Nom});
}

TEST_F(Preferences, SavesOnlyIntoAPlainFileFollowingItsLinks) {
    // Through a link, the target is written and the link kept (dot files kept in another folder).
    ASSERT_TRUE(QDir(dossier.path()).mkdir("ailleurs"));
    const QString vrai = dossier.filePath("ailleurs/vrai");
    ASSERT_TRUE(QFile::link("ailleurs/vrai", Chemin()));
    mAppPrefFichierLecture(Nom); // a link to nothing: neither read nor created at the save
    mPrefNbIntegerEcrit(2, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_FALSE(QFile::exists(vrai)) << "created at the target of a dangling link";
    Ecrit("[-Autre-] 1\n"); // through the link
    mAppPrefFichierLecture(Nom);
    mPrefNbIntegerEcrit(2, "NoDePion");
    mAppPrefFichierEcriture();
    EXPECT_EQ(QFileInfo(Chemin()).symLinkTarget(), vrai);
    EXPECT_EQ(Lit(), "[-Autre-] 1\n[-NoDePion-] 2\n");
    EXPECT_EQ(Fichiers(dossier.filePath("ailleurs")), QStringList{"vrai"});

    // Whatever is not a plain file stays as it was, whether the load found it or it came after.
    using Fabrique = std::function<bool(const QByteArray&)>;
    const std::vector<std::pair<const char*, Fabrique>> sortes = {
        {"pipe", [](const QByteArray& c) { return mkfifo(c.constData(), 0600) == 0; }},
        {"folder", [](const QByteArray& c) { return mkdir(c.constData(), 0700) == 0; }},
        {"socket", [](const QByteArray& c) { return mknod(c.constData(), S_IFSOCK | 0600, 0) == 0; }},
        // A device node needs root; the null device, made in the temporary folder.
        {"device",
         [](const QByteArray& c) { return mknod(c.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0; }},
        {"link to a device",
         [](const QByteArray& c) {
             return mknod((c + ".dev").constData(), S_IFCHR | 0600, makedev(1, 3)) == 0 &&
                    symlink((c + ".dev").constData(), c.constData()) == 0;
         }},
        {"dangling link",
         [](const QByteArray& c) { return symlink((c + ".cible").constData(), c.constData()) == 0; }},
    };
    int n = 0;
    for (const auto& [sorte, fabrique] : sortes) {
        for (const bool avantLecture : {true, false}) {
            const QString ici = dossier.filePath(QString::number(++n));
            ASSERT_TRUE(QDir().mkpath(ici));
            mPrefChangeDossier(ici);
            const QByteArray chemin = QFile::encodeName(QDir(ici).filePath(Nom));
            if (avantLecture && !fabrique(chemin)) continue; // no device node without root
            mAppPrefFichierLecture(Nom);
            if (!avantLecture && !fabrique(chemin)) continue;
            struct stat avant {};
            ASSERT_EQ(lstat(chemin.constData(), &avant), 0);
            const QStringList contenu = Fichiers(ici);
            mPrefNbIntegerEcrit(2, "NoDePion");
            mAppPrefFichierEcriture();
            struct stat apres {};
            ASSERT_EQ(lstat(chemin.constData(), &apres), 0) << sorte;
            EXPECT_EQ(apres.st_mode & S_IFMT, avant.st_mode & S_IFMT)
                << sorte << (avantLecture ? " found at load" : " came after");
            EXPECT_EQ(Fichiers(ici), contenu) << sorte;
            if (std::string(sorte) == "link to a device") {
                struct stat cible {};
                EXPECT_EQ(lstat((chemin + ".dev").constData(), &cible), 0);
                EXPECT_TRUE(S_ISCHR(cible.st_mode)) << "device replaced";
            }
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
    for (const QString& nom : laisses + autres) {
        QFile f(dossier.filePath(nom));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[-NoDePion-] 1\n");
        f.flush();
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(QDir(dossier.path()).mkdir(Nom + ".QwErTy" + marque));
    ASSERT_TRUE(QFile::link(Nom + ".bak", dossier.filePath(Nom + ".ZzZzZz" + marque)));
    mAppPrefFichierLecture(Nom);
    // Another instance's save under way: younger than this run's load, though the file system's
    // coarser clock may date it a little before.
    {
        QFile f(dossier.filePath(Nom + ".NeWnEw" + marque));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addMSecs(-20), QFileDevice::FileModificationTime));
    }
    mAppPrefFichierEcriture();
    QStringList restent = autres + QStringList{Nom, Nom + ".QwErTy" + marque, Nom + ".ZzZzZz" + marque,
                                               Nom + ".NeWnEw" + marque};
    QStringList presents = Fichiers();
    presents.sort();
    restent.sort();
    EXPECT_EQ(presents.join(' ').toStdString(), restent.join(' ').toStdString());
    EXPECT_EQ(Lit(), "[-NoDePion-] 2\n");
}

TEST_F(Preferences, HostileFilesLoadSafely) {
    // Binary bytes, NUL bytes, invalid UTF-8 and a byte order mark leave the good lines readable.
    QByteArray binaire("\xEF\xBB\xBF[-A-] 1\n");
    for (int i = 0; i < 256; ++i) binaire += char(i);
    binaire += QByteArray("\n[-B\0C-] \xFF\xFE\0\n\xC3\n[-D-] 4\n", 22);
    Ecrit(binaire);
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("A", 0), 1);
    EXPECT_EQ(mPrefNbLit("D", 0), 4);
    mAppPrefFichierEcriture();
    const QByteArray sauve = Lit();
    EXPECT_EQ(Resauve(sauve), sauve); // what was saved loads back to the same store

    // Up to the limit the file is ours; past it, even sparse, it is read as missing.
    const QByteArray ligne = "[-K-] 7\n";
    Ecrit(ligne + "[-Long-] " + QByteArray(TailleMaxFichier - ligne.size() - 10, 'x') + "\n");
    mAppPrefFichierLecture(Nom);
    EXPECT_EQ(mPrefNbLit("K", 0), 7);
    for (std::int64_t taille : {TailleMaxFichier + 1, std::int64_t(100) * 1024 * 1024}) {
        QFile f(Chemin());
        ASSERT_TRUE(f.resize(taille));
        mAppPrefFichierLecture(Nom);
        EXPECT_EQ(mPrefNbLit("K", 0), 0) << taille;
    }
}

} // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true); // never the user's real settings
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
