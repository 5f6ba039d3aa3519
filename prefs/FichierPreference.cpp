#include "FichierPreference.h"

#include "Desktop.h"
#include "EndOfLine.h"
#include "FileAccess.h"
#include "PreferencesFolder.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringView>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <iterator>

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

// The player has no other way to learn that settings were not read or will be lost.
const char* const NonLues = "non lues dans";
const char* const NonEnregistrees = "non enregistrées dans";

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

// In the order of FileOutcome::Problem; "%1" is the failing step's own reason.
const char* const Raisons[] = {"",
                               "",
                               "lien symbolique d'un autre utilisateur",
                               "lien symbolique vers rien",
                               "pas un fichier ordinaire",
                               "plus de 4 Mio",
                               "fichier en lecture seule",
                               "lecture impossible, %1",
                               "dossier d'un autre utilisateur",
                               "dossier impossible à créer, %1",
                               "fichier à plusieurs noms",
                               "fichier tenu par un autre programme",
                               "fichier remplacé pendant l'accès",
                               "%1"};
static_assert(std::size(Raisons) == FileOutcome::Failed + 1);

QString Raison(const FileOutcome& issue) {
    QString raison =
        issue.problem == FileOutcome::ReadOnly && issue.error != EACCES
            ? Raison(issue.error)
            : QString::fromUtf8(Raisons[issue.problem]).replace(QLatin1String("%1"), Raison(issue.error));
    if (issue.recovery == FileOutcome::OldBytesBack) raison += QStringLiteral(", ancien contenu remis");
    if (issue.recovery == FileOutcome::MaybeIncomplete)
        raison += QStringLiteral(", fichier peut-être incomplet");
    return raison;
}

// A folder's name may hold line ends or terminal escapes: shown as \n or \x1b, one event stays
// one line and drives nothing. Bytes that are not UTF-8 are shown the same way.
QByteArray Echappe(const QByteArray& octets) {
    QByteArray sortie;
    for (qsizetype i = 0; i < octets.size();) {
        const uchar c = uchar(octets[i]);
        // The whole character this byte starts, when it is one.
        const qsizetype n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        const QByteArray suite = octets.mid(i, n);
        const QString lu = QString::fromUtf8(suite);
        if (c == '\\') {
            sortie += "\\\\";
        } else if (c == '\n') {
            sortie += "\\n";
        } else if (lu.toUtf8() != suite || lu[0].category() == QChar::Other_Control) {
            sortie += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
            ++i;
            continue;
        } else {
            sortie += suite;
        }
        i += n;
    }
    return sortie;
}

void Signale(const char* quoi, const QByteArray& chemin, const QString& raison) {
    std::fprintf(stderr, "Préférences %s « %s » : %s\n", quoi, Echappe(chemin).constData(),
                 raison.toUtf8().constData());
}

void Signale(const char* quoi, const QString& chemin, const QString& raison) {
    Signale(quoi, QFile::encodeName(chemin), raison);
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
    const FileOutcome lu = ReadFile(chemin, TailleMaxFichier, contenu);
    if (lu.problem == FileOutcome::Missing) return;
    if (!lu.ok()) {
        // Something is there that was not read (too large, read-only, not a plain file, a link
        // to nothing or another user's): replacing it with the store would lose it.
        CheminRefuse = chemin;
        return Signale(NonLues, chemin, Raison(lu));
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
    const QString chemin = dossier.isEmpty() ? PrefNomFichier : QDir(dossier).filePath(PrefNomFichier);
    const auto echoue = [&chemin](const QString& raison) { Signale(NonEnregistrees, chemin, raison); };
    if (dossier.isEmpty()) {
        // Named in bytes Qt can't keep, the folder is none: any other would hold other settings.
        const QByteArray illisible = PreferencesFolderBytes();
        if (illisible.isEmpty()) return echoue(QStringLiteral("aucun dossier de préférences"));
        return Signale(NonEnregistrees, illisible + '/' + QFile::encodeName(PrefNomFichier),
                       QStringLiteral("nom de dossier illisible"));
    }
    if (chemin == CheminRefuse) return echoue(QStringLiteral("fichier refusé au démarrage"));
    QByteArray contenu;
    for (auto it = PrefStock.cbegin(); it != PrefStock.cend(); ++it) {
        QString valeur = it.value();
        valeur.replace(QLatin1String(EndOfLine), SautDeLigne);
        contenu += "[-" + it.key().toUtf8() + "-] " + valeur.toUtf8() + EndOfLine;
    }
    // A store read from a file near the limit can outgrow it (an invalid byte is saved as three);
    // the next load would refuse such a file. The old one, which loads, stays instead.
    if (contenu.size() > TailleMaxFichier) return echoue(QStringLiteral("plus de 4 Mio une fois écrit"));
    const FileOutcome sauve = SaveFile(chemin, contenu, TailleMaxFichier, DebutDuRun);
    if (!sauve.ok()) echoue(Raison(sauve));
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
