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

#include <cmath>
#include <csignal>
#include <cstdio>
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

// The file's bytes, or nothing when it is missing, read-only, not a plain file or too large.
bool LitFichier(const QString& chemin, QByteArray& contenu) {
    const QFileInfo info(chemin);
    // A read-only file is not read: the next save would not replace it.
    if (!info.isFile() || !info.isWritable() || info.size() > TailleMaxFichier) return false;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) return false;
    // Bounded even if the file grows between the test above and this read.
    contenu = fichier.read(TailleMaxFichier + 1);
    return fichier.error() == QFileDevice::NoError && contenu.size() <= TailleMaxFichier;
}

// The plain file a save may replace, reached through symbolic links; empty when the name holds
// anything else (device, pipe, socket, folder, link to nothing), which is not ours to replace.
QString CibleEcriture(const QString& chemin) {
    const QFileInfo info(chemin);
    if (!info.exists() && !info.isSymLink()) return chemin;
    if (!info.isFile()) return {};
    return info.isSymLink() ? info.canonicalFilePath() : chemin;
}

// Past a file-size limit the kernel would kill the game at quit; ignored, the write fails with
// EFBIG and the save fails as on a full disk. A handler installed by someone else stays.
void IgnoreLimiteTaille() {
    struct sigaction actuelle {};
    if (sigaction(SIGXFSZ, nullptr, &actuelle) == 0 && !(actuelle.sa_flags & SA_SIGINFO) &&
        actuelle.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

// A save killed between writing its temporary and renaming it leaves the temporary beside the
// file. Its name is the file's, six random letters or digits and a mark of its own, so that no
// copy a user keeps there (named after it and ".backup", say) is taken for one. Only those older
// than this run's load go: a younger one may be another instance's save under way. File times
// come from a coarser clock than this run's start (a tick; two seconds on some file systems), so
// a file made just after the load can look older than it by that much.
void RetireTemporaires(const QString& cible) {
    const QDateTime avantLeRun = DebutDuRun.addSecs(-2);
    const QFileInfo fichier(cible);
    const QRegularExpression modele(QStringLiteral("^%1\\.[A-Za-z0-9]{6}%2$")
                                        .arg(QRegularExpression::escape(fichier.fileName()),
                                             QRegularExpression::escape(MarqueTemporaire)));
    const QFileInfoList entrees =
        fichier.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& info : entrees)
        if (modele.match(info.fileName()).hasMatch() && info.lastModified() < avantLeRun)
            QFile::remove(info.filePath());
}

// Writes `contenu` beside `cible` and renames it over it only once complete and on disk: a
// crash, a full disk or a failed write leaves the previous settings in place. The new file has
// the old one's permissions, or those the user gives new files.
bool Remplace(const QString& cible, const QByteArray& contenu) {
    QTemporaryFile temporaire(cible + QStringLiteral(".XXXXXX") + MarqueTemporaire);
    if (!temporaire.open()) return false;
    struct stat ancien {};
    mode_t droits = 0;
    if (::stat(QFile::encodeName(cible).constData(), &ancien) == 0) {
        droits = ancien.st_mode & 0777;
    } else {
        const mode_t masque = ::umask(0);
        ::umask(masque);
        droits = 0666 & ~masque;
    }
    if (::fchmod(temporaire.handle(), droits) != 0 || temporaire.write(contenu) != contenu.size() ||
        !temporaire.flush() || ::fsync(temporaire.handle()) != 0)
        return false;
    if (::rename(QFile::encodeName(temporaire.fileName()).constData(),
                 QFile::encodeName(cible).constData()) != 0)
        return false;
    temporaire.setAutoRemove(false);
    return true;
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
    if (!LitFichier(chemin, contenu)) {
        // Something is there that was not read (too large, read-only, not a plain file, a link
        // to nothing): replacing it with the store would lose it.
        const QFileInfo info(chemin);
        if (info.exists() || info.isSymLink()) CheminRefuse = chemin;
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
    if (dossier.isEmpty() || !QDir().mkpath(dossier)) return;
    const QString chemin = QDir(dossier).filePath(PrefNomFichier);
    if (chemin == CheminRefuse) return;
    const QString cible = CibleEcriture(chemin);
    if (cible.isEmpty()) return;
    QByteArray contenu;
    for (auto it = PrefStock.cbegin(); it != PrefStock.cend(); ++it) {
        QString valeur = it.value();
        valeur.replace(QLatin1String(EndOfLine), SautDeLigne);
        contenu += "[-" + it.key().toUtf8() + "-] " + valeur.toUtf8() + EndOfLine;
    }
    // A store read from a file near the limit can outgrow it (an invalid byte is saved as three);
    // the next load would refuse such a file. The old one, which loads, stays instead.
    if (contenu.size() > TailleMaxFichier) return;
    IgnoreLimiteTaille();
    if (Remplace(cible, contenu)) RetireTemporaires(cible);
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
