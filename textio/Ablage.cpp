// Files written whole beside their target: checks, writing, making durable.
#include "textio/Ablage.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/EACode.hpp"

namespace zentrix {

int (*AblageTestHaken)(TAblagePunkt punkt, int schritt) = nullptr;

namespace ablage {

namespace {

constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// A file system that cannot make a file or folder durable says so with one of these: there is
// nothing more to be done.
bool NichtUnterstuetzt(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EROFS; }

}  // namespace

fs::path Ordner(const fs::path& datei) {
    fs::path folder = datei.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

int PruefeSchreibbar(const std::string& path, int& err) {
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    const fs::path p(path);
    const fs::path folder = Ordner(p);
    std::error_code ec;
    const fs::file_status folderStatus = fs::status(folder, ec);
    if (!fs::exists(folderStatus)) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    if (!fs::is_directory(folderStatus)) {
        err = ENOTDIR;
        return ea::UngueltigerName;
    }
    const fs::file_status target = fs::status(p, ec);
    if (fs::is_directory(target)) {
        err = EISDIR;
        return ea::ZugriffVerweigert;
    }
    // Write protection by the mode bits: the superuser could write anyway, but a protected
    // coordinate file must stay as it is.
    if ((fs::exists(target) && (target.permissions() & kWriteBits) == fs::perms::none) ||
        (folderStatus.permissions() & kWriteBits) == fs::perms::none) {
        err = EACCES;
        return ea::ZugriffVerweigert;
    }
    return ea::Ok;
}

int Probe(TAblagePunkt punkt, int schritt) { return AblageTestHaken != nullptr ? AblageTestHaken(punkt, schritt) : 0; }

int SchliesseDauerhaft(std::FILE* f) {
    int err = std::fflush(f) == 0 ? 0 : (errno != 0 ? errno : EIO);
    if (err == 0) err = Probe(TAblagePunkt::Sichern);
    // The data must be on the disk before the file takes its target's name: after a power cut
    // the name would otherwise lead to an empty file.
    if (err == 0 && ::fdatasync(fileno(f)) != 0 && !NichtUnterstuetzt(errno)) err = errno;
    if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    return err;
}

int SchreibeNeu(const fs::path& pfad, const std::function<bool(std::FILE*)>& schreibe) {
    errno = 0;
    std::FILE* f = std::fopen(pfad.c_str(), "wbx");
    if (f == nullptr) return errno != 0 ? errno : EIO;
    int err = Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (err == 0 && !schreibe(f)) err = errno != 0 ? errno : EIO;
    const int beimSchliessen = SchliesseDauerhaft(f);
    if (err == 0) err = beimSchliessen;
    if (err != 0) {
        std::error_code ec;
        fs::remove(pfad, ec);
    }
    return err;
}

int SichereOrdner(const fs::path& ordner) {
    const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    if (::fsync(fd) != 0 && !NichtUnterstuetzt(errno)) err = errno;
    ::close(fd);
    return err;
}

}  // namespace ablage

}  // namespace zentrix
