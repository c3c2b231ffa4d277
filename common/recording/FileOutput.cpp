#include <recording/FileOutput.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sxrec {

namespace {

// The few system calls this needs, by their names on each system.
#ifdef _WIN32
using StatBuf = struct _stat64;
int StatOf(const std::string& p, StatBuf& st)
{
    return _stat64(p.c_str(), &st);
}
int LinkStatOf(const std::string& p, StatBuf& st)
{
    return _stat64(p.c_str(), &st);
}
bool IsDir(const StatBuf& st)
{
    return (st.st_mode & _S_IFMT) == _S_IFDIR;
}
bool IsRegular(const StatBuf& st)
{
    return (st.st_mode & _S_IFMT) == _S_IFREG;
}
int CreateExclusive(const std::string& name)
{
    return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int CloseFd(int fd)
{
    return _close(fd);
}
int Unlink(const std::string& p)
{
    return _unlink(p.c_str());
}
std::FILE* WriteStream(int fd)
{
    return _fdopen(fd, "wb");
}
int ProcessId()
{
    return _getpid();
}
bool Sync(std::FILE* f)
{
    return _commit(_fileno(f)) == 0;
}
#else
using StatBuf = struct stat;
int StatOf(const std::string& p, StatBuf& st)
{
    return ::stat(p.c_str(), &st);
}
int LinkStatOf(const std::string& p, StatBuf& st)
{
    return ::lstat(p.c_str(), &st);
}
bool IsDir(const StatBuf& st)
{
    return S_ISDIR(st.st_mode);
}
bool IsRegular(const StatBuf& st)
{
    return S_ISREG(st.st_mode);
}
// Never an existing file, never through a link.
int CreateExclusive(const std::string& name)
{
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}
int CloseFd(int fd)
{
    return ::close(fd);
}
int Unlink(const std::string& p)
{
    return ::unlink(p.c_str());
}
std::FILE* WriteStream(int fd)
{
    return ::fdopen(fd, "wb");
}
int ProcessId()
{
    return static_cast<int>(::getpid());
}
// A file that cannot be synced (a pipe, some FUSE mounts) is no error.
bool Sync(std::FILE* f)
{
    return ::fsync(fileno(f)) == 0 || errno == EINVAL || errno == EROFS;
}
#endif

// A fresh hidden name beside path: "dir/.name.<pid>-<tick>-<n>.tmp".
std::string HiddenName(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const size_t slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto tick = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return dir + "." + base + "." + std::to_string(ProcessId()) + "-" + std::to_string(tick % 1000000) + "-" +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

// Renames from into to; to is replaced only when replace is set.
int RenameInto(const std::string& from, const std::string& to, bool replace)
{
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return 0;
    const DWORD e = GetLastError();
    return e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS ? EEXIST : EACCES;
#else
    if (!replace) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        // A file system without the exclusive rename: checked, then renamed.
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        if (Exists(to))
            return EEXIST;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
#endif
}

bool SyncFile(std::FILE* f)
{
    return std::fflush(f) == 0 && Sync(f);
}

} // namespace

bool Exists(const std::string& path)
{
    StatBuf st;
    return LinkStatOf(path, st) == 0;
}

bool IsStreamFile(const std::string& path)
{
    StatBuf st;
    return StatOf(path, st) == 0 && !IsRegular(st) && !IsDir(st);
}

bool SameFile(const std::string& a, const std::string& b)
{
#ifdef _WIN32
    // Windows has no inode numbers in stat: the handles' file indexes.
    auto id = [](const std::string& p, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileA(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = GetFileInformationByHandle(h, &info) != 0;
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return id(a, x) && id(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
#else
    StatBuf x, y;
    return StatOf(a, x) == 0 && StatOf(b, y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
#endif
}

FileOutput::~FileOutput()
{
    Discard();
}

bool FileOutput::Fail(const std::string& path, const char* what, int err, std::string& error)
{
    error = path + ": " + what + ": " + std::strerror(err);
    return false;
}

bool FileOutput::Open(const std::string& path, bool replace, const std::string& tempSuffix, std::string& error)
{
    Discard();
    m_path = path;
    m_temp.clear();
    m_replace = replace;
    m_existing = false;
    StatBuf st;
    if (StatOf(path, st) == 0) {
        if (IsDir(st))
            return Fail(path, "cannot create", EISDIR, error);
        if (!IsRegular(st)) {
            m_file = std::fopen(path.c_str(), "wb");
            return m_file ? true : Fail(path, "cannot open", errno, error);
        }
        m_existing = true;
        m_mode = static_cast<unsigned>(st.st_mode) & 07777u;
    }
    if (!replace && Exists(path))
        return Fail(path, "cannot create", EEXIST, error);
    int fd = -1;
    if (!tempSuffix.empty()) {
        m_temp = path + tempSuffix;
        if (replace && Exists(m_temp))
            Unlink(m_temp);
        fd = CreateExclusive(m_temp);
        if (fd < 0) {
            const int err = errno;
            const std::string temp = m_temp;
            m_temp.clear();
            return Fail(err == EEXIST ? temp : path, "cannot create", err, error);
        }
    } else {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            m_temp = HiddenName(path);
            fd = CreateExclusive(m_temp);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            const int err = errno;
            m_temp.clear();
            return Fail(path, "cannot create", err, error);
        }
    }
#ifndef _WIN32
    // A file that replaces another keeps its permissions (when it can).
    if (m_existing && ::fchmod(fd, static_cast<mode_t>(m_mode)) != 0)
        errno = 0;
#endif
    m_file = WriteStream(fd);
    if (!m_file) {
        const int err = errno;
        CloseFd(fd);
        Discard();
        return Fail(path, "cannot create", err, error);
    }
    return true;
}

bool FileOutput::Adopt(int fd, const std::string& path, std::string& error)
{
    Discard();
    m_path = path;
    m_temp.clear();
    m_file = WriteStream(fd);
    return m_file ? true : Fail(path, "cannot create", errno, error);
}

bool FileOutput::Commit(std::string& error)
{
    if (m_file) {
        const bool synced = SyncFile(m_file);
        const int syncErr = errno;
        const bool closed = std::fclose(m_file) == 0;
        const int closeErr = errno;
        m_file = nullptr;
        if (!synced || !closed)
            return Fail(m_path, "cannot write", !synced ? syncErr : closeErr, error);
    }
    if (m_temp.empty())
        return true;
    const int err = RenameInto(m_temp, m_path, m_replace);
    if (err != 0)
        return Fail(m_path, "cannot put the file in place", err, error);
    m_temp.clear();
    return true;
}

bool FileOutput::KeepTemporary(std::string& error)
{
    const std::string kept = WritingPath();
    bool ok = true;
    int err = 0;
    if (m_file) {
        ok = std::fflush(m_file) == 0;
        err = errno;
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_temp.clear();
    return ok ? true : Fail(kept, "cannot write", err, error);
}

void FileOutput::Discard()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty())
        Unlink(m_temp);
    m_temp.clear();
}

} // namespace sxrec
