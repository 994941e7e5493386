// SPDX-License-Identifier: GPL-3.0-or-later
// Settings in a file on systems without a registry: $XDG_CONFIG_HOME/Orvantis/<title>.reg.
#include "platform/regfilestore.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "core/regfile.h"
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
    for (auto& [name, value] : parse.values)
        lines_.push_back(std::make_shared<const RegFileLine>(std::move(name), std::move(value)));
    exists_ = parse.keyFound;
    if (!parse.problem) return;
    const int line = parse.problem->line;
    openProblem_ = where + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " +
                   parse.problem->reason + "; " +
                   (exists_ ? "the other values were read" : "default settings are used") + ", and " +
                   std::string(RewrittenAtNextSave);
}

// A value and its lines in the file, made by whichever thread needs them first.
class RegFileLine {
public:
    RegFileLine(std::string name, RegValue value) : name(std::move(name)), value(std::move(value)) {}

    const std::string& Bytes() const
    {
        std::call_once(made_, [this] { bytes_ = RegFileValue(name, value); });
        return bytes_;
    }

    const std::string name;
    const RegValue value;

private:
    mutable std::once_flag made_;
    mutable std::string bytes_;
};

namespace {

// The file as it was when the save was taken; made and written on whatever thread writes it.
class RegFileSave final : public SettingsSave {
public:
    RegFileSave(std::string filePath, std::string head, std::vector<std::shared_ptr<const RegFileLine>> lines)
        : filePath_(std::move(filePath)), head_(std::move(head)), lines_(std::move(lines))
    {
    }

    void Write() override
    {
        std::string text = head_;
        std::size_t size = text.size() + RegFileTail().size();
        for (const auto& line : lines_) size += line->Bytes().size();
        text.reserve(size);
        for (const auto& line : lines_) text += line->Bytes();
        text += RegFileTail();
        MakeSettingsFolder(ParentFolder(filePath_), filePath_);
        // Written beside the file and renamed over it: the file is either the old
        // one or the new one, whole, even if the machine stops half-way. A link
        // (a dotfile manager's) stays, and the file it leads to gets the save.
        if (const std::optional<ReplaceFailure> failure = ReplaceFileContent(filePath_, text, Replacement::Private))
            FailToSave(filePath_, failure->step, failure->reason);
    }

private:
    std::string filePath_;
    std::string head_;
    std::vector<std::shared_ptr<const RegFileLine>> lines_;
};

}  // namespace

std::optional<RegValue> RegFileStore::Get(std::string_view name) const
{
    for (const auto& line : lines_)
        if (SameValueName(line->name, name)) return line->value;
    return std::nullopt;
}

void RegFileStore::Set(std::string_view name, RegValue value)
{
    if (!IsWritableValueName(name)) throw SettingsError("Invalid value name '" + std::string(name) + "'");
    for (auto& line : lines_) {
        if (!SameValueName(line->name, name)) continue;
        // A known name keeps its spelling and its place; an unchanged value its lines.
        if (line->value != value) line = std::make_shared<const RegFileLine>(line->name, std::move(value));
        return;
    }
    lines_.push_back(std::make_shared<const RegFileLine>(std::string(name), std::move(value)));
}

std::string RegFileStore::KeepAside(std::string_view name, const RegValue& value)
{
    std::string path = filePath_;
    if (path.ends_with(".reg")) path.resize(path.size() - 4);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (::localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    path.append(".").append(name).append("-").append(stamp).append(".damaged");
    const std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    if (const std::optional<ReplaceFailure> failure = ReplaceFileContent(path, bytes, Replacement::Private))
        throw SettingsError("Cannot keep '" + std::string(name) + "' in '" + path + "': " + failure->step + ": " +
                            failure->reason);
    return "\"" + path + "\"";
}

std::unique_ptr<SettingsSave> RegFileStore::TakeSave()
{
    return std::make_unique<RegFileSave>(filePath_, RegFileHead(keyPath_), lines_);
}

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view title)
{
    return std::make_unique<RegFileStore>(SettingsLocation(title), KeyPath(title));
}

std::string SettingsLocation(std::string_view title)
{
    return ConfigHome() + "/Orvantis/" + std::string(title) + ".reg";
}

void RemoveSettingsLeftovers(std::string_view title)
{
    RemoveLeftoverReplacements(SettingsLocation(title));
}

}  // namespace chronivel
