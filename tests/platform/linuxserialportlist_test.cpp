// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/linuxserialports.h"
#include "platform/systemserialports.h"
#include "scratchfoldertest.h"

namespace chronivel {
namespace {

namespace fs = std::filesystem;

// A sysfs tree as the kernel makes it for a USB adapter, a built-in UART
// without a chip, and terminals with no device behind them.
class LinuxSerialPortList : public ScratchFolderTest {
protected:
    LinuxSerialPortList() : ScratchFolderTest("chronivel-ttys-") {}

    fs::path Sys(const std::string& path) const
    {
        const fs::path made = fs::path(Dir()) / "sys" / path;
        fs::create_directories(made);
        return made;
    }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }
    void Tty(const std::string& name, const fs::path& device) const
    {
        fs::create_directory_symlink(device, Sys("class/tty/" + name) / "device");
    }
};

TEST_F(LinuxSerialPortList, PortsWithADeviceAreFoundWithWhatTheAdapterCallsItself)
{
    const fs::path usb = Sys("devices/usb1/1-1");
    Write(usb / "product", "FT232R USB UART");
    Tty("ttyUSB0", Sys("devices/usb1/1-1/1-1:1.0/ttyUSB0"));
    const fs::path acm = Sys("devices/usb1/1-2/1-2:1.0");
    Write(acm / "interface", "CDC Abstract Control Model");
    Tty("ttyACM0", acm);
    const fs::path platform = Sys("devices/platform/serial8250/tty/ttyS0");
    fs::create_directory_symlink(Sys("bus/platform/drivers/serial8250"), platform / "driver");
    Tty("ttyS0", platform);  // no /dev node to ask: a UART without a chip
    Sys("class/tty/tty1");
    Sys("class/tty/ptmx");

    std::vector<FoundPort> found = linuxserial::FindPorts(Dir() + "/sys/class/tty", "/devices");
    std::sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) { return a.name < b.name; });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "ttyACM0");
    EXPECT_EQ(found[0].device, "/devices/ttyACM0");
    EXPECT_EQ(found[0].description, "CDC Abstract Control Model");
    EXPECT_EQ(found[1].name, "ttyUSB0");
    EXPECT_EQ(found[1].description, "FT232R USB UART");
}

// udev's links outlast a replug, so a port goes by its link where it has one,
// and its caption by its short name.
TEST_F(LinuxSerialPortList, APortWithALinkByIdGoesByThatLink)
{
    Tty("ttyUSB0", Sys("devices/usb1/1-1/1-1:1.0/ttyUSB0"));
    Tty("ttyUSB1", Sys("devices/usb1/1-2/1-2:1.0/ttyUSB1"));
    const fs::path dev = fs::path(Dir()) / "dev";
    const fs::path byId = dev / "serial" / "by-id";
    fs::create_directories(byId);
    for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyS0"}) Write(dev / node, "");
    fs::create_symlink("../../ttyUSB1", byId / "usb-FTDI_FT232R_B2-if00-port0");
    fs::create_symlink("../../ttyUSB1", byId / "usb-FTDI_FT232R_B2-if00-port0-alias");
    fs::create_symlink("../../ttyUSB9", byId / "usb-gone-if00-port0");

    std::vector<FoundPort> found = linuxserial::FindPorts(Dir() + "/sys/class/tty", dev.string(), byId.string());
    std::sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) { return a.name < b.name; });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].device, (dev / "ttyUSB0").string()) << "it has no link";
    EXPECT_EQ(found[1].device, (byId / "usb-FTDI_FT232R_B2-if00-port0").string());
    EXPECT_EQ(ListedPorts(found)[1].caption, "ttyUSB1");

    const auto persistent = [&](const fs::path& device) { return linuxserial::PersistentName(device, byId.string()); };
    EXPECT_EQ(persistent(dev / "serial/../ttyUSB1"), (byId / "usb-FTDI_FT232R_B2-if00-port0").string());
    EXPECT_EQ(persistent(byId / "usb-FTDI_FT232R_B2-if00-port0-alias"), (byId / "usb-FTDI_FT232R_B2-if00-port0").string());
    for (const fs::path& device : {dev / "ttyS0", dev / "ttyUSB9", dev / "pts/3"})
        EXPECT_EQ(persistent(device), device.string());
    EXPECT_EQ(linuxserial::PersistentName("/dev/null", Dir() + "/none"), "/dev/null");
}

TEST_F(LinuxSerialPortList, NoSysfsMeansNoPorts)
{
    EXPECT_TRUE(linuxserial::FindPorts(Dir() + "/none", "/dev").empty());
}

TEST_F(LinuxSerialPortList, AReadOnlyDeviceSaysHowToJoinTheGroupAndOldPortNumbersNameNoDevice)
{
    const auto ports = MakeSystemSerialPorts({}, {});
    const std::string readOnly = PathOf("ttyUSB3");
    Write(readOnly, "");
    fs::permissions(readOnly, fs::perms::owner_read);
    if (access(readOnly.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write everything";
    EXPECT_NE(ports->AccessHint(readOnly).find("This user may not use " + readOnly), std::string::npos);
    EXPECT_NE(ports->AccessHint(readOnly).find("\"dialout\""), std::string::npos);
    fs::permissions(readOnly, fs::perms::owner_all);
    EXPECT_EQ(ports->AccessHint(readOnly), "");
    EXPECT_EQ(ports->AccessHint(PathOf("ttyUSB4")), "") << "a missing device has its own message";
    EXPECT_EQ(ports->DeviceOfNumber(3), "");
}

}  // namespace
}  // namespace chronivel
