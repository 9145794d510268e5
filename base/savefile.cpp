#include "base/savefile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/log.h"

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that path names, its symbolic links followed, so that saving
// replaces the file and keeps the link; a link to a file that does not
// exist yet names that file.
std::string ResolvedPath(const std::string& path)
{
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    std::string p = path;
    char target[PATH_MAX];
    for (int links = 0; links < 40; ++links) {  // as many as the system follows
        const ssize_t n = readlink(p.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) == sizeof target)
            break;
        const std::string next(target, static_cast<std::size_t>(n));
        p = next[0] == '/' ? next : FolderOf(p) + "/" + next;
    }
    return p;
}

// The name of a save's new file, before it takes the file's name: it says
// what it is, and a name of up to 255 bytes leaves it room.
constexpr const char* PARTIAL_SAVE = ".partial-save.";
constexpr std::size_t NAME_BYTES = 255;

std::string PartialSavePrefix(const std::string& target)
{
    const std::string name = NameOf(target);
    const std::size_t room = NAME_BYTES - 1 - std::strlen(PARTIAL_SAVE) - 6;
    return "." + name.substr(0, room) + PARTIAL_SAVE;
}

// New files of saves of target that were cut short (the program killed):
// each save holds a lock on its own while it writes, so a file whose lock
// can be taken is debris.
void RemovePartialSaves(const std::string& target)
{
    const std::string prefix = PartialSavePrefix(target);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.rfind(prefix, 0) != 0)
            continue;
        const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(entry.path().c_str());
        close(fd);
    }
}

// 0, or the error number of the first write that failed.
int WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteInPlace(const std::string& path, std::string_view bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, bytes);
    if (close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Once the new name is in place, the folder is flushed too, so that the
// rename survives a power cut; a folder that cannot be flushed loses nothing
// that was there before.
void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

// A partial save: the new bytes written whole to a file of their own beside
// target and flushed, under a lock held until the file is closed (while it
// is, the file is no debris). 0 and the file open, or an error number and
// nothing left.
struct PartialSave {
    std::string path;
    int fd = -1;
};

int WritePartialSave(const std::string& target, mode_t mode, std::string_view bytes, PartialSave& partial)
{
    RemovePartialSaves(target);
    partial.path = FolderOf(target) + "/" + PartialSavePrefix(target) + "XXXXXX";
    partial.fd = mkstemp(partial.path.data());
    if (partial.fd < 0)
        return errno;
    flock(partial.fd, LOCK_EX);
    int error = fchmod(partial.fd, mode) != 0 ? errno : 0;
    if (error == 0)
        error = WriteAll(partial.fd, bytes);
    if (error == 0 && fsync(partial.fd) != 0)
        error = errno;
    if (error != 0) {
        unlink(partial.path.c_str());
        close(partial.fd);
    }
    return error;
}

int WriteAndRename(const std::string& target, mode_t mode, std::string_view bytes)
{
    PartialSave partial;
    int error = WritePartialSave(target, mode, bytes, partial);
    if (error != 0)
        return error;
    if (rename(partial.path.c_str(), target.c_str()) != 0) {
        error = errno;
        unlink(partial.path.c_str());
    }
    close(partial.fd);  // the bytes are on the disk already: fsync said so
    if (error == 0)
        SyncFolder(FolderOf(target));
    return error;
}

// 0 and the whole of what the file holds, or an error number.
int ReadAll(int fd, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            return 0;
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

int OverwriteAll(int fd, std::string_view bytes)
{
    if (lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    if (const int error = WriteAll(fd, bytes); error != 0)
        return error;
    if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
        return errno;
    return 0;
}

// A file with other hard links is rewritten where it is, or the rename would
// leave its other names on the old bytes. The new bytes are first saved
// whole beside it, so that a full disk refuses before the file is touched
// and a crash part-way through leaves them there; a rewrite that fails puts
// the old bytes back.
int RewriteLinkedFile(const std::string& target, mode_t mode, std::string_view bytes)
{
    const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    std::string old;
    int error = ReadAll(fd, old);
    PartialSave partial;
    if (error == 0)
        error = WritePartialSave(target, mode, bytes, partial);
    if (error == 0) {
        error = OverwriteAll(fd, bytes);
        if (error != 0)
            OverwriteAll(fd, old);
        unlink(partial.path.c_str());
        close(partial.fd);
    }
    close(fd);
    return error;
}

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

int Save(const std::string& path, std::string_view bytes)
{
    const std::string target = ResolvedPath(path);
    struct stat existing {};
    if (stat(target.c_str(), &existing) != 0)
        return errno == ENOENT ? WriteAndRename(target, NewFileMode(), bytes) : errno;
    if (S_ISDIR(existing.st_mode))
        return EISDIR;
    if (!S_ISREG(existing.st_mode))
        return WriteInPlace(target, bytes);
    // The rename would replace a file the user made read-only: refuse as an
    // ordinary write would.
    if (access(target.c_str(), W_OK) != 0)
        return errno;
    if (existing.st_nlink > 1)
        return RewriteLinkedFile(target, existing.st_mode & 07777, bytes);
    return WriteAndRename(target, existing.st_mode & 07777, bytes);
}

}  // namespace

bool SaveFileBytes(const std::string& path, std::string_view bytes, std::string& why)
{
    const int error = Save(path, bytes);
    if (error != 0) {
        why = SystemReasonText(error);
        ++FailedActions;
    }
    return error == 0;
}

bool NamesSameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

std::string SystemReasonText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return "le disque est plein";
    case EDQUOT: return "le quota du disque est atteint";
    case EACCES:
    case EPERM: return "l'accès en écriture est refusé";
    case EROFS: return "le disque est en lecture seule";
    case ENOENT: return "le dossier n'existe pas";
    case ENOTDIR: return "un élément du chemin n'est pas un dossier";
    case EISDIR: return "ce nom est celui d'un dossier";
    case ENAMETOOLONG: return "le nom est trop long";
    case EFBIG: return "le fichier serait trop gros";
    case EIO: return "erreur d'entrée-sortie du disque";
    }
    return std::string("erreur du système : ") + std::strerror(errorNumber);
}

std::optional<std::string> ChooseFileToWrite(Window owner, const FileDialogOptions& dialog)
{
    for (;;) {
        std::optional<std::string> path = ChooseFileToSave(owner, dialog);
        std::error_code error;
        if (!path || !std::filesystem::exists(*path, error))
            return path;
        if (ShowMessage(owner, "Le fichier « " + *path + " » existe déjà.\n\nLe remplacer ?", dialog.title,
                        MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes)
            return path;
    }
}

std::string FileNameOf(const std::string& text)
{
    std::string name;
    for (unsigned char c : text) {
        const bool kept = c >= 0x80 || std::isalnum(c) || c == ' ' || c == '-' || c == '_' || c == '.';
        name += kept ? static_cast<char>(c) : '-';
    }
    const std::size_t first = name.find_first_not_of(" .-");
    if (first == std::string::npos)
        return "Haliome";
    return name.substr(first, name.find_last_not_of(" .-") - first + 1);
}
