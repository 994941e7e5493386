// Settings in a file on systems without a registry: $XDG_CONFIG_HOME/Orvantis/<title>.reg.
#include "platform/regfilestore.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/atomicfile.h"
#include "platform/posixfile.h"
#include "platform/systemsettingsstore.h"

namespace chronivel {
namespace {

constexpr std::string_view RewrittenAtNextSave = "the file will be rewritten at the next save.";

[[noreturn]] void FailToSave(const std::string& filePath, const std::string& step, const std::string& reason)
{
    throw SettingsError("Failed to save settings file '" + filePath + "': " + step + ": " + reason);
}

void MakeSettingsFolder(const std::string& folder, const std::string& filePath)
{
    std::string failed;
    if (const int error = MakeFolders(folder, failed); error != 0)
        FailToSave(filePath, "cannot create folder '" + failed + "'", std::strerror(error));
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) return user->pw_dir;
    return ".";
}

// As the XDG base directory rules say: only an absolute XDG_CONFIG_HOME counts.
std::string ConfigHome()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder = config != nullptr && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
    while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    return folder;
}

std::string KeyPath(std::string_view title)
{
    return "HKEY_CURRENT_USER\\Software\\Orvantis\\" + std::string(title);
}

}  // namespace

RegFileStore::RegFileStore(std::string filePath, std::string keyPath)
    : filePath_(std::move(filePath)), keyPath_(std::move(keyPath))
{
    Read();
}

void RegFileStore::Read()
{
    const std::string where = "Settings file " + filePath_;
    const FileDescriptor file(::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid() && errno == ENOENT) return;  // a first start

    std::string bytes;
    int error = file.Valid() ? 0 : errno;
    while (error == 0) {
        char buffer[8192];
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got == 0) break;
        if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR) error = errno;
    }
    if (error != 0) {
        openProblem_ = where + " cannot be read (" + std::strerror(error) + "); default settings are used, and " +
                       std::string(RewrittenAtNextSave);
        return;
    }

    RegFileParse parse = ParseRegFile(bytes, keyPath_);
    values_ = std::move(parse.values);
    exists_ = parse.keyFound;
    if (!parse.problem) return;
    const int line = parse.problem->line;
    openProblem_ = where + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " +
                   parse.problem->reason + "; " +
                   (exists_ ? "the other values were read" : "default settings are used") + ", and " +
                   std::string(RewrittenAtNextSave);
}

std::optional<RegValue> RegFileStore::Get(std::string_view name) const
{
    return FindValue(values_, name);
}

void RegFileStore::Set(std::string_view name, RegValue value)
{
    if (!IsWritableValueName(name)) throw SettingsError("Invalid value name '" + std::string(name) + "'");
    SetValue(values_, name, std::move(value));
}

void RegFileStore::Flush()
{
    const std::string text = WriteRegFile(keyPath_, values_);
    const std::string folder = ParentFolder(filePath_);
    MakeSettingsFolder(folder, filePath_);

    // Written beside the file and renamed over it: the file is either the old
    // one or the new one, whole, even if the machine stops half-way. A link
    // (a dotfile manager's) stays, and the file it leads to gets the save.
    if (const std::optional<ReplaceFailure> failure = ReplaceFileContent(filePath_, text, Replacement::Private))
        FailToSave(filePath_, failure->step, failure->reason);
    exists_ = true;
}

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view title)
{
    return std::make_unique<RegFileStore>(SettingsLocation(title), KeyPath(title));
}

std::string SettingsLocation(std::string_view title)
{
    return ConfigHome() + "/Orvantis/" + std::string(title) + ".reg";
}

}  // namespace chronivel
