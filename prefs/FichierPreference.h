#pragma once
// The program's settings between runs: one process-wide dictionary of text values by text key,
// loaded whole from one file in the user's preferences folder and saved whole to it.
// File lines: "[-" key "-] " value; line ends inside a value are written "<SautDeLigne />".
#include <QString>
#include <cstdint>

namespace FichierPreference {

// Empties the store and reads the named file of the preferences folder into it; the name is
// remembered for the save. An empty name shows a message and changes nothing. A file that is
// there but not read says why on standard error. A folder the environment does not name, or names
// in bytes that are not UTF-8, is none: nothing is read, and the save says why.
void mAppPrefFichierLecture(const QString& nomFichier);

// Replaces the remembered file with the whole store; shows a message when no name is known.
// The old file stays as it was when the new one cannot be written completely, when the latest
// load found it but did not read it, when it is not a plain file (a symbolic link of this user
// or root is followed to one), when the store would make a file larger than a load takes, and,
// run as root, when a folder on the way is another user's; standard error then says why.
// In a folder that takes no new file, or when a new file could not keep the owner and group,
// the file is written in place.
void mAppPrefFichierEcriture();

// Readers take the key first and a default returned when the key is absent.
bool mPrefBoolLit(const QString& cle, bool defaut);
// The default also when the stored text is not a finite decimal number.
double mPrefNbLit(const QString& cle, double defaut);

// Writers take the value first; they change the store only, never the file.
void mPrefBoolEcrit(bool valeur, const QString& cle);
void mPrefNbIntegerEcrit(std::int32_t valeur, const QString& cle);

// Releases the store and the remembered file name (tear-down).
void mPrefLibere();

// Reads and writes in `dossier` instead of the user's preferences folder; empty goes back to it.
// Lets tests keep away from the real settings.
void mPrefChangeDossier(const QString& dossier);

// Far above any real settings file; larger files are not read, and so never replaced.
inline constexpr std::int64_t TailleMaxFichier = 4 * 1024 * 1024;

} // namespace FichierPreference
