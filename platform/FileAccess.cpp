#include "FileAccess.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

using Problem = FileOutcome::Problem;

FileOutcome Fail(Problem problem, int error = 0) {
    FileOutcome outcome;
    outcome.problem = problem;
    outcome.error = error;
    return outcome;
}

// Ends the name of a save's temporary, after the file's name and six random letters or digits,
// so that no copy a user keeps beside the file is taken for one.
const QByteArray TemporaryMark = ".enregistrement";

// Where a path leads: the folder that holds the file (or would), the file's name there and,
// when there is one, the plain file.
struct Place {
    Fd folder; // O_PATH
    QByteArray name;
    Fd file; // O_PATH
    struct stat file_stat {};
    FileOutcome outcome;
};

// Whether a folder is root's own: no other user may rename what it holds. A group that may write
// counts as others, whichever it is: an access list shows there too. A sticky folder (/tmp) keeps
// the entries of each to their owner, so it may lie on the way, but not hold the file.
bool RootsOwn(int fd, bool holdsTheFile) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != 0) return false;
    const bool othersWrite = st.st_mode & (S_IWGRP | S_IWOTH);
    return !othersWrite || (!holdsTheFile && (st.st_mode & S_ISVTX));
}

// A link of this user's or root's. Another name of a link can be anyone's, made where hard links
// of others' files are allowed, and owned by whoever made the first.
bool Trusted(const struct stat& link) {
    return link.st_nlink == 1 && (link.st_uid == ::geteuid() || link.st_uid == 0);
}

enum class Purpose { Read, Save };

Place Locate(const QString& path, Purpose purpose) {
    Place place;
    const auto fail = [&place](Problem problem, int error = 0) {
        place.outcome = Fail(problem, error);
        return std::move(place);
    };
    const bool rootSaving = purpose == Purpose::Save && ::geteuid() == 0;
    // Taken against the working folder, a relative path could lead anywhere, or from the root once
    // that folder is gone.
    if (!path.startsWith(u'/')) return fail(Problem::Failed, EINVAL);
    const QList<QByteArray> parts = QFile::encodeName(path).split('/');
    std::deque<QByteArray> rest(parts.begin(), parts.end());
    std::vector<Fd> folders;
    folders.emplace_back(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folders.back()) return fail(Problem::Failed, errno);
    if (rootSaving && !RootsOwn(folders.back().get(), false)) return fail(Problem::ForeignFolder);
    int links = 0;
    bool throughFileLink = false; // the name now sought came from the file's own link
    while (!rest.empty()) {
        const QByteArray name = rest.front();
        rest.pop_front();
        if (name.isEmpty() || name == ".") continue;
        if (name == "..") {
            if (folders.size() > 1) folders.pop_back();
            continue;
        }
        const bool last = std::none_of(rest.begin(), rest.end(),
                                       [](const QByteArray& n) { return !n.isEmpty() && n != "."; });
        const int at = folders.back().get();
        Fd item(::openat(at, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (!item && errno != ENOENT) return fail(Problem::Failed, errno);
        if (item && ::fstat(item.get(), &st) != 0) return fail(Problem::Failed, errno);
        if (item && S_ISLNK(st.st_mode)) {
            // Run as root in a user's home, a link the user made must not lead to a file of the
            // system. A load follows the folders' links as any program does.
            if (!Trusted(st) && (purpose == Purpose::Save || last)) return fail(Problem::ForeignLink);
            if (++links > 40) return fail(Problem::NotPlainFile, ELOOP);
            QByteArray target(PATH_MAX, '\0');
            const ssize_t n = ::readlinkat(item.get(), "", target.data(), size_t(target.size()));
            if (n <= 0 || n >= target.size()) return fail(Problem::Failed, n < 0 ? errno : ENAMETOOLONG);
            target.truncate(n);
            throughFileLink = throughFileLink || last;
            if (target.startsWith('/')) folders.resize(1);
            const QList<QByteArray> more = target.split('/');
            rest.insert(rest.begin(), more.begin(), more.end());
            continue;
        }
        if (last) {
            if (rootSaving && !RootsOwn(at, true)) return fail(Problem::ForeignFolder);
            place.folder = std::move(folders.back());
            place.name = name;
            if (!item) return fail(throughFileLink ? Problem::DanglingLink : Problem::Missing);
            if (!S_ISREG(st.st_mode)) return fail(Problem::NotPlainFile);
            place.file = std::move(item);
            place.file_stat = st;
            return place;
        }
        if (!item) {
            if (throughFileLink) return fail(Problem::DanglingLink);
            if (purpose == Purpose::Read) return fail(Problem::Missing);
            if (::mkdirat(at, name.constData(), 0777) != 0 && errno != EEXIST)
                return fail(Problem::FolderNotMade, errno);
            rest.push_front(name); // opened and checked as any other folder
            continue;
        }
        if (!S_ISDIR(st.st_mode)) return fail(Problem::NotPlainFile, ENOTDIR);
        if (rootSaving && !RootsOwn(item.get(), false)) return fail(Problem::ForeignFolder);
        folders.push_back(std::move(item));
    }
    return fail(Problem::NotPlainFile);
}

// The very file the walk checked, opened for real by its name in the folder the walk opened, so
// that no /proc is needed. Another file under that name now gives `Moved`: it changed meanwhile.
Fd Reopen(const Place& place, int flags, FileOutcome& outcome) {
    Fd fd(::openat(place.folder.get(), place.name.constData(),
                   flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd) {
        outcome = Fail(errno == ENOENT || errno == ELOOP ? Problem::Moved : Problem::Failed, errno);
    } else if (::fstat(fd.get(), &st) != 0) {
        outcome = Fail(Problem::Failed, errno);
        fd = Fd();
    } else if (st.st_dev != place.file_stat.st_dev || st.st_ino != place.file_stat.st_ino) {
        outcome = Fail(Problem::Moved);
        fd = Fd();
    }
    return fd;
}

// A write in place takes a few milliseconds; whoever holds a file longer is not waited for.
bool WaitLock(int fd, int kind) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (::flock(fd, kind | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool WriteAll(int fd, const QByteArray& bytes, off_t at) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), at + done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// Up to `maxBytes` + 1 bytes from the start.
bool ReadAll(int fd, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    char chunk[64 * 1024];
    while (bytes.size() <= maxBytes) {
        const ssize_t n = ::pread(fd, chunk, sizeof chunk, off_t(bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        bytes.append(chunk, qsizetype(n));
    }
    return true;
}

QByteArray Blank(qint64 size) { return QByteArray(qsizetype(std::max<qint64>(size, 0)), '\n'); }

// Writers in place take turns on the file itself. Each step leaves the old settings or the new:
// blank lines, which a load skips, first take the room a longer content needs (a full disk or a
// size limit stops the save there), then the new content is written over the old, padded to its
// length, and only then is the file cut to size. A signal stops a write only between pages, so
// the middle step, one call from the start of the file, is whole or not done while both contents
// fit in a page (the game's own take a few lines); a longer file may be torn by a kill there.
FileOutcome WriteInPlace(const Place& place, const QByteArray& bytes, qint64 maxBytes) {
    FileOutcome opened;
    const Fd fd = Reopen(place, O_RDWR, opened);
    if (!fd) return opened;
    if (!WaitLock(fd.get(), LOCK_EX)) return Fail(Problem::Locked);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Fail(Problem::Failed, errno);
    // Written through, another name of the file would change a file this user never chose.
    if (st.st_nlink != 1) return Fail(Problem::SharedInode);
    QByteArray old;
    if (!ReadAll(fd.get(), maxBytes, old)) return Fail(Problem::Failed, errno);
    if (old.size() > maxBytes) return Fail(Problem::TooLarge);
    const qint64 oldSize = old.size(), newSize = bytes.size(), room = std::max(oldSize, newSize);
    if (!WriteAll(fd.get(), Blank(newSize - oldSize), off_t(oldSize))) {
        const FileOutcome outcome = Fail(Problem::Failed, errno);
        (void)!::ftruncate(fd.get(), off_t(oldSize));
        return outcome;
    }
    if (!WriteAll(fd.get(), bytes + Blank(room - newSize), 0)) {
        FileOutcome outcome = Fail(Problem::Failed, errno);
        const bool back = WriteAll(fd.get(), old + Blank(room - oldSize), 0) &&
                          ::ftruncate(fd.get(), off_t(oldSize)) == 0 && ::fsync(fd.get()) == 0;
        outcome.recovery = back ? FileOutcome::OldBytesBack : FileOutcome::MaybeIncomplete;
        return outcome;
    }
    // Left longer, the file only ends with blank lines.
    (void)!::ftruncate(fd.get(), off_t(newSize));
    if (::fsync(fd.get()) != 0) return Fail(Problem::Failed, errno);
    return {};
}

// Made private (only this user may open it) and locked at once, so that no one else holds it: a
// name someone else has locked meanwhile is dropped for another.
Fd CreateTemporary(const Place& place, QByteArray& name) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = place.name + '.';
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        name += TemporaryMark;
        Fd fd(::openat(place.folder.get(), name.constData(),
                       O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd && errno != EEXIST) return fd;
        if (!fd) continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) return fd;
        struct stat made {};
        struct stat named {};
        if (::fstat(fd.get(), &made) == 0 &&
            ::fstatat(place.folder.get(), name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            made.st_ino == named.st_ino && made.st_dev == named.st_dev)
            ::unlinkat(place.folder.get(), name.constData(), 0);
    }
    errno = EEXIST;
    return Fd();
}

// The mode a new file of this process gets.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A power cut after the rename could otherwise bring the old file back.
void SyncFolder(const Place& place) {
    const Fd folder(::openat(place.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
}

// Written beside the file and renamed over it only once complete and on disk: a crash, a full
// disk or a failed write leaves the previous file in place. The temporary takes the replaced file's
// owner, group and mode only then, so that it is never more open than the file it replaces.
FileOutcome Replace(const Place& place, const QByteArray& bytes, qint64 maxBytes) {
    QByteArray temporaryName;
    const Fd temporary = CreateTemporary(place, temporaryName);
    if (!temporary) return place.file ? WriteInPlace(place, bytes, maxBytes) : Fail(Problem::Failed, errno);
    const auto dropped = [&](FileOutcome outcome) {
        ::unlinkat(place.folder.get(), temporaryName.constData(), 0);
        return outcome;
    };
    if (!WriteAll(temporary.get(), bytes, 0) || ::fsync(temporary.get()) != 0)
        return dropped(Fail(Problem::Failed, errno));
    // A user can't give a file away, nor to a group they are not in: written in place, the file
    // keeps both.
    if (place.file && ::fchown(temporary.get(), place.file_stat.st_uid, place.file_stat.st_gid) != 0)
        return dropped(WriteInPlace(place, bytes, maxBytes));
    if (::fchmod(temporary.get(), place.file ? place.file_stat.st_mode & 0777 : NewFileMode()) != 0)
        return dropped(Fail(Problem::Failed, errno));
    if (::renameat(place.folder.get(), temporaryName.constData(), place.folder.get(),
                   place.name.constData()) != 0)
        return dropped(Fail(Problem::Failed, errno));
    SyncFolder(place);
    return {};
}

// A save stopped between writing its temporary and renaming it leaves the temporary beside the
// file. Only those older than `before` go: a younger one may be another instance's save under
// way. File times come from a coarser clock (a tick; two seconds on some file systems), so a
// file made just after `before` can look older by that much. A writer holds a lock on its
// temporary until the rename, so a locked one is never removed, however old it looks.
void RemoveLeftovers(const Place& place, const QDateTime& before) {
    const Fd folder(::openat(place.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* listing = folder ? ::fdopendir(::dup(folder.get())) : nullptr;
    if (!listing) return;
    const QRegularExpression pattern(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}%2$")
            .arg(QRegularExpression::escape(QFile::decodeName(place.name)),
                 QRegularExpression::escape(QString::fromLatin1(TemporaryMark))));
    const qint64 limit = before.toMSecsSinceEpoch() - 2000;
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        struct stat seen {};
        if (!pattern.match(QFile::decodeName(name)).hasMatch() ||
            ::fstatat(folder.get(), name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode))
            continue;
        const Fd fd(::openat(folder.get(), name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        struct stat present {};
        if (!fd || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            qint64(opened.st_mtim.tv_sec) * 1000 + opened.st_mtim.tv_nsec / 1000000 >= limit)
            continue;
        // Still the same file under that name once locked: its writer may have renamed it meanwhile.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder.get(), name, &present, AT_SYMLINK_NOFOLLOW) == 0 &&
            opened.st_ino == present.st_ino && opened.st_dev == present.st_dev)
            ::unlinkat(folder.get(), name, 0);
    }
    ::closedir(listing);
}

// Past a file-size limit the kernel would kill the program; ignored, the write fails with EFBIG
// as on a full disk. A handler installed by someone else stays.
void IgnoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
        current.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace

FileOutcome ReadFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    // A file replaced between the walk and the opening is walked to once more.
    for (int walk = 1;; ++walk) {
        const Place place = Locate(path, Purpose::Read);
        if (place.outcome.problem == Problem::Failed) return Fail(Problem::Unreadable, place.outcome.error);
        if (!place.outcome.ok()) return place.outcome;
        if (place.file_stat.st_size > maxBytes) return Fail(Problem::TooLarge);
        FileOutcome opened;
        const Fd fd = Reopen(place, O_RDWR, opened);
        if (opened.problem == Problem::Moved && walk == 1) continue;
        if (opened.problem == Problem::Failed) {
            FileOutcome readOnly;
            if (Reopen(place, O_RDONLY, readOnly)) return Fail(Problem::ReadOnly, opened.error);
            return readOnly.problem == Problem::Failed ? Fail(Problem::Unreadable, readOnly.error) : readOnly;
        }
        if (!fd) return opened;
        // A write in place under way ends first; one held too long is read as it is.
        WaitLock(fd.get(), LOCK_SH);
        // Bounded even if the file grew since it was looked at.
        if (!ReadAll(fd.get(), maxBytes, bytes)) return Fail(Problem::Unreadable, errno);
        if (bytes.size() > maxBytes) return Fail(Problem::TooLarge);
        return {};
    }
}

FileOutcome SaveFile(const QString& path, const QByteArray& bytes, qint64 maxBytes,
                     const QDateTime& leftoversBefore) {
    IgnoreFileSizeSignal();
    for (int walk = 1;; ++walk) {
        const Place place = Locate(path, Purpose::Save);
        if (!place.outcome.ok() && place.outcome.problem != Problem::Missing) return place.outcome;
        const FileOutcome outcome = Replace(place, bytes, maxBytes);
        if (outcome.problem == Problem::Moved && walk == 1) continue;
        if (outcome.ok()) RemoveLeftovers(place, leftoversBefore);
        return outcome;
    }
}
