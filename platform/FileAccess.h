#pragma once
// Reading and saving a small file that other users may act on. Every step is taken on what was
// opened, never on a name looked up again: an absolute path is walked from the root one name at a
// time, following a symbolic link only when it belongs to this user or to root and has no other
// name. Run as root, a file is saved only in folders that no other user can change.
#include <QByteArray>
#include <QDateTime>
#include <QString>

struct FileOutcome {
    enum Problem {
        None,
        Missing,       // nothing of that name (not an error for a save)
        ForeignLink,   // a link of another user on the way
        DanglingLink,  // the file's link leads to nothing
        NotPlainFile,  // a folder, a device, a pipe, too many links
        TooLarge,      // past the given number of bytes
        ReadOnly,      // this user may read it but not write it: `error` says why
        Unreadable,    // `error` says why
        ForeignFolder, // run as root, a folder on the way that another user can change
        FolderNotMade, // a missing folder could not be made: `error` says why
        SharedInode,   // the file has other names, which may be someone else's
        Locked,        // another program holds the file too long
        Moved,         // another file took the name while it was being opened, twice
        Failed,        // the step that failed gave `error`
    };
    // What a write in place that failed part-way left.
    enum Recovery { Untouched, OldBytesBack, MaybeIncomplete };

    Problem problem = None;
    int error = 0;
    Recovery recovery = Untouched;
    bool ok() const { return problem == None; }
};

// The plain file at `path`, at most `maxBytes` long. A file this user may not write is not
// read: it could not be saved again.
FileOutcome ReadFile(const QString& path, qint64 maxBytes, QByteArray& bytes);

// Replaces the file at `path` by `bytes`, making missing folders: written beside it in a file only
// this user may open, synced, given the replaced file's owner, group and mode, renamed over it,
// the folder synced. A folder that takes no new file, or a file whose owner this user can't give,
// is written in place instead: no stop of the program tears a file of up to a page, a kill may
// tear a longer one. A save that succeeds removes the temporaries that saves stopped before
// `leftoversBefore` left beside the file.
FileOutcome SaveFile(const QString& path, const QByteArray& bytes, qint64 maxBytes,
                     const QDateTime& leftoversBefore);
