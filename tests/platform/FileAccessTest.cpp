// How a path is walked: which links and folders a read and a save go through, and where a save
// run as root stops.
#include "FileAccess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
        {"root's, its group root's", 0775, 0, 0, FileOutcome::None},
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
}

} // namespace
