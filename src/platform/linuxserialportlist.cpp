// SPDX-License-Identifier: GPL-3.0-or-later
// The serial ports the kernel has, read from sysfs as udev would, and the
// names udev gives them that outlast a replug.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linuxserialports.h"

namespace chronivel::linuxserial {

namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The built-in UART driver registers ports that have no chip behind them; they report no type.
bool HasUart(const std::string& device)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool present = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    close(fd);
    return present;
}

// A USB adapter names itself in its interface or, above that, its product.
std::string Description(fs::path device)
{
    for (int level = 0; level < 3 && !device.empty(); ++level, device = device.parent_path())
        for (const char* file : {"interface", "product"}) {
            const std::string text = FirstLine(device / file);
            if (!text.empty()) return text;
        }
    return {};
}

}  // namespace

std::string PersistentName(const std::string& device, const std::string& byIdDir)
{
    std::error_code error;
    const fs::path node = fs::canonical(device, error);
    if (error) return device;
    // Of several links, the first by name, so that the choice does not follow the folder's order.
    std::string found;
    for (const fs::directory_entry& link : fs::directory_iterator(byIdDir, error)) {
        const std::string name = link.path().string();
        if ((found.empty() || name < found) && fs::canonical(link.path(), error) == node) found = name;
    }
    return found.empty() ? device : found;
}

std::vector<FoundPort> FindPorts(const std::string& sysClassTty, const std::string& devDir, const std::string& byIdDir)
{
    std::vector<FoundPort> found;
    std::error_code error;
    for (const fs::directory_entry& tty : fs::directory_iterator(sysClassTty, error)) {
        const fs::path device = fs::canonical(tty.path() / "device", error);
        if (error) continue;  // a virtual terminal or pty: no device behind it
        const std::string name = tty.path().filename().string();
        const std::string path = devDir + "/" + name;
        const std::string driver = fs::canonical(device / "driver", error).filename().string();
        if (!error && driver == "serial8250" && !HasUart(path)) continue;
        found.push_back({name, PersistentName(path, byIdDir), Description(device)});
    }
    return found;
}

}  // namespace chronivel::linuxserial
