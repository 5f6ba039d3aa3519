// How a path is walked: which links and folders a read and a save go through, and where a save
// run as root stops.
#include "FileAccess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

// Run just before the file layer opens a file by a name it has checked (O_NOFOLLOW, not O_PATH).
std::function<void(const char*)> AvantOuverture;

extern "C" int openat(int dans, const char* nom, int options, ...) {
    mode_t mode = 0;
    if (options & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, options);
        mode = mode_t(va_arg(arguments, int));
        va_end(arguments);
    }
    if (AvantOuverture && (options & O_NOFOLLOW) && !(options & (O_PATH | O_CREAT))) AvantOuverture(nom);
    return reinterpret_cast<int (*)(int, const char*, int, ...)>(dlsym(RTLD_NEXT, "openat"))(dans, nom,
                                                                                             options, mode);
}

namespace {

const QByteArray Contenu = "[-A-] 1\n";

class Chemins : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ici.isValid());
        chmod(Octets("").constData(), 0755);
    }
    QString Chemin(const QString& nom) const { return ici.filePath(nom); }
    QByteArray Octets(const QString& nom) const {
        return QFile::encodeName(nom.isEmpty() ? ici.path() : Chemin(nom));
    }
    void Dossier(const QString& nom, mode_t mode = 0755, uid_t uid = 0, gid_t gid = 0) {
        ASSERT_TRUE(QDir().mkpath(Chemin(nom)));
        ASSERT_EQ(chmod(Octets(nom).constData(), mode), 0);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(Octets(nom).constData(), uid, gid), 0);
        }
    }
    void Lien(const QString& vers, const QString& nom) {
        ASSERT_EQ(symlink(QFile::encodeName(vers).constData(), Octets(nom).constData()), 0);
    }
    void Fichier(const QString& nom) {
        QFile f(Chemin(nom));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(Contenu) == Contenu.size());
    }
    FileOutcome::Problem Lit(const QString& nom) {
        QByteArray octets;
        const FileOutcome issue = ReadFile(Chemin(nom), 1024, octets);
        EXPECT_EQ(octets, issue.ok() ? Contenu : QByteArray()) << nom.toStdString();
        return issue.problem;
    }
    FileOutcome::Problem Sauve(const QString& nom) {
        return SaveFile(Chemin(nom), Contenu, 1024, QDateTime::currentDateTimeUtc()).problem;
    }
    QTemporaryDir ici;
};

TEST_F(Chemins, LinksAndDotsLeadWhereTheSystemWouldTakeThem) {
    Dossier("a/b");
    Fichier("a/b/f");
    Lien("../a/b/f", "a/relatif");       // relative to the link's own folder
    Lien(Chemin("a/relatif"), "chaine"); // absolute, to another link
    Lien("a/b", "dossier");
    Lien("boucle2", "boucle1");
    Lien("boucle1", "boucle2");
    Lien("a/manque/f", "vers-rien");
    Fichier("plat");
    const std::vector<std::pair<const char*, FileOutcome::Problem>> lectures = {
        {"a/./b//f", FileOutcome::None},
        {"a/b/../b/f", FileOutcome::None},
        {"chaine", FileOutcome::None},
        {"dossier/f", FileOutcome::None},
        {"dossier/../b/f", FileOutcome::None}, // ".." of the folder the link led to
        {"a/absent", FileOutcome::Missing},
        {"a/absent/f", FileOutcome::Missing},
        {"vers-rien", FileOutcome::DanglingLink},
        {"boucle1", FileOutcome::NotPlainFile},
        {"a/b", FileOutcome::NotPlainFile},
        {"plat/f", FileOutcome::NotPlainFile},
    };
    for (const auto& [nom, attendu] : lectures) EXPECT_EQ(Lit(nom), attendu) << nom;

    // A save makes the folders it lacks, through a link as well, but not those a file's own link names.
    EXPECT_EQ(Sauve("dossier/neuf/plus/f"), FileOutcome::None);
    EXPECT_EQ(Lit("a/b/neuf/plus/f"), FileOutcome::None);
    EXPECT_EQ(Sauve("vers-rien"), FileOutcome::DanglingLink);
    EXPECT_FALSE(QFileInfo::exists(Chemin("a/manque")));
    EXPECT_EQ(Sauve("chaine"), FileOutcome::None);
    EXPECT_TRUE(QFileInfo(Chemin("chaine")).isSymLink() && QFileInfo(Chemin("a/relatif")).isSymLink());
}

TEST_F(Chemins, RootSavesOnlyInFoldersNoOtherUserCanChange) {
    if (geteuid() != 0) GTEST_SKIP() << "runs as root, to make folders of other users";
    // The file's folder, by who may rename what it holds; the test's folder lies in the
    // sticky temporary folder, which may be on the way but never hold the file.
    const std::vector<std::tuple<const char*, mode_t, uid_t, gid_t, FileOutcome::Problem>> dossiers = {
        {"root's", 0755, 0, 0, FileOutcome::None},
        {"root's, its group root's may write", 0775, 0, 0, FileOutcome::ForeignFolder},
        {"root's, another group may write", 0775, 0, 4321, FileOutcome::ForeignFolder},
        {"root's, anyone may write", 0777, 0, 0, FileOutcome::ForeignFolder},
        {"root's and sticky", 01777, 0, 0, FileOutcome::ForeignFolder},
        {"a user's", 0755, 65534, 65534, FileOutcome::ForeignFolder},
    };
    int n = 0;
    for (const auto& [cas, mode, uid, gid, attendu] : dossiers) {
        const QString nom = QString::number(++n);
        Dossier(nom, mode, uid, gid);
        EXPECT_EQ(Sauve(nom + "/f"), attendu) << cas;
        EXPECT_EQ(QDir(Chemin(nom)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  attendu != FileOutcome::None)
            << cas;
    }
    // An access list that lets a user write shows in the group's bits: refused as well.
    Dossier("liste");
    ASSERT_EQ(chmod(Octets("liste").constData(), 0755), 0);
    const auto entree = [](uint16_t sorte, uint16_t droits, uint32_t qui) {
        QByteArray e(8, '\0');
        memcpy(e.data(), &sorte, 2);
        memcpy(e.data() + 2, &droits, 2);
        memcpy(e.data() + 4, &qui, 4);
        return e;
    };
    const uint32_t version = 2, nul = uint32_t(-1);
    const QByteArray liste = QByteArray(reinterpret_cast<const char*>(&version), 4) + entree(0x01, 7, nul) +
                             entree(0x02, 7, 65534) + entree(0x04, 5, nul) + entree(0x10, 7, nul) +
                             entree(0x20, 5, nul);
    const bool listes = setxattr(Octets("liste").constData(), "system.posix_acl_access", liste.constData(),
                                 size_t(liste.size()), 0) == 0;
    if (listes) {
        EXPECT_EQ(Sauve("liste/f"), FileOutcome::ForeignFolder);
        EXPECT_FALSE(QFileInfo::exists(Chemin("liste/f")));
    } else {
        EXPECT_EQ(errno, EOPNOTSUPP) << strerror(errno);
    }
    // Sticky on the way, root's folder below it: saved.
    Dossier("collant", 01777);
    Dossier("collant/sien");
    EXPECT_EQ(Sauve("collant/sien/f"), FileOutcome::None);
    // Links on the way: root's are followed; a user's is not, even to a folder of root's.
    Dossier("cible");
    Lien(Chemin("cible"), "lien-root");
    Lien(Chemin("cible"), "lien-user");
    ASSERT_EQ(lchown(Octets("lien-user").constData(), 65534, 65534), 0);
    EXPECT_EQ(Sauve("lien-root/f"), FileOutcome::None);
    EXPECT_EQ(Sauve("lien-user/g"), FileOutcome::ForeignLink);
    EXPECT_FALSE(QFileInfo::exists(Chemin("cible/g")));
    if (!listes) GTEST_SKIP() << "the access list: this file system keeps none";
}

TEST_F(Chemins, ALinkWithAnotherNameIsNeverTrustedAndAFileSwappedWhileOpenedIsRefused) {
    // Another name of a link may have been made by anyone, though it shows its first owner.
    Dossier("a");
    Fichier("a/f");
    Lien("a/f", "lien");
    Lien("a", "vers-dossier");
    ASSERT_EQ(link(Octets("lien").constData(), Octets("double").constData()), 0);
    ASSERT_EQ(link(Octets("vers-dossier").constData(), Octets("double-dossier").constData()), 0);
    for (const char* nom : {"lien", "double"}) {
        EXPECT_EQ(Lit(nom), FileOutcome::ForeignLink) << nom;
        EXPECT_EQ(Sauve(nom), FileOutcome::ForeignLink) << nom;
    }
    EXPECT_EQ(Sauve("double-dossier/g"), FileOutcome::ForeignLink);
    EXPECT_FALSE(QFileInfo::exists(Chemin("a/g")));
    EXPECT_EQ(Lit("double-dossier/f"), FileOutcome::None) << "a load follows the folders' links";

    // Another file under the name each time it is opened: neither read nor written.
    Fichier("b");
    int echanges = 0;
    AvantOuverture = [&](const char* nom) {
        if (QByteArray(nom) != "b") return;
        ++echanges;
        QFile::remove(Chemin("b"));
        Fichier("b");
    };
    EXPECT_EQ(Lit("b"), FileOutcome::Moved);
    const int lectures = std::exchange(echanges, 0);
    EXPECT_EQ(Sauve("b"), FileOutcome::None) << "replaced by its new content, whatever is there";
    EXPECT_EQ(echanges, 0) << "a save opens no file by its name";
    AvantOuverture = {};
    EXPECT_EQ(lectures, 2) << "walked once more, not more";
}

TEST_F(Chemins, ReadsAndSavesWithoutProc) {
    Dossier("a");
    const pid_t enfant = fork();
    if (enfant == 0) {
        // /proc hidden under an empty folder, in a mount namespace of the child's own.
        const int espaces = geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWNS | CLONE_NEWUSER;
        if (unshare(espaces) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("vide", "/proc", "tmpfs", 0, nullptr) != 0)
            _exit(77);
        if (access("/proc/self/fd", F_OK) == 0) _exit(3);
        QByteArray lu;
        const QString chemin = Chemin("a/f");
        const bool ok = SaveFile(chemin, Contenu, 1024, QDateTime::currentDateTimeUtc()).ok() &&
                        ReadFile(chemin, 1024, lu).ok() && lu == Contenu &&
                        SaveFile(chemin, "[-B-] 2\n", 1024, QDateTime::currentDateTimeUtc()).ok() &&
                        ReadFile(chemin, 1024, lu).ok() && lu == "[-B-] 2\n";
        _exit(ok ? 0 : 1);
    }
    int etat = 0;
    ASSERT_EQ(waitpid(enfant, &etat, 0), enfant);
    ASSERT_TRUE(WIFEXITED(etat));
    if (WEXITSTATUS(etat) == 77) GTEST_SKIP() << "no mount namespace here to hide /proc in";
    EXPECT_EQ(WEXITSTATUS(etat), 0) << "saved and read back with no /proc";
}

} // namespace
