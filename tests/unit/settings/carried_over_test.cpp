// Settings brought from another machine: which values are Windows paths, whether a COM
// port's default device has a UART behind it (from a made-up sysfs tree: the real
// /dev/ttyS0 may be the console), and why a settings file cannot be kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/link/uart_presence.h"
#include "core/settings/settings_file.h"
#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"
#include "temp_dir.h"

using namespace kestrel;
using kestrel::testing::TempDir;
namespace fs = std::filesystem;

// Not Windows paths, then Windows paths. A Japanese name whose last character's second
// byte is 0x5C has no backslash in it.
TEST(CarriedOver, WindowsPaths) {
    const std::vector<std::string> rows[] = {
        {"dl:2", "/home/op/bbs", "", text::sjis("/home/op/ソフト")},
        {"C:\\BBS\\DL", "d:", "\\\\server\\bbs", "bbs\\dl"}};
    for (bool windows : {false, true})
        for (const std::string& value : rows[windows]) {
            SCOPED_TRACE(value);
            EXPECT_EQ(is_windows_path(value), windows);
            EXPECT_EQ(usable_folder(value).empty(), windows || value.empty());
        }
}

TEST(CarriedOver, DefaultPortWithoutUart) {
    TempDir sys;
    const auto entry = [&](const std::string& name) {
        fs::create_directories(sys.file("class/tty/" + name));
        return sys.file("class/tty/" + name);
    };
    std::ofstream(entry("ttyS0") + "/type") << "4\n";  // a 16550A
    std::ofstream(entry("ttyS1") + "/type") << "0\n";  // PORT_UNKNOWN
    fs::create_directories(sys.file("devices/serial8250"));
    fs::create_directory_symlink(sys.file("devices/serial8250"), entry("ttyS2") + "/device");
    fs::create_directory_symlink(sys.file("devices"), entry("ttyS3") + "/device");
    const std::tuple<int, std::string, bool> rows[] = {
        {1, "/dev/ttyS0", false},   {2, "/dev/ttyS1", true}, {3, "/dev/ttyS2", true},
        {4, "/dev/ttyS3", false},   {5, "/dev/ttyS4", true}, {2, "/dev/ttyS0", false},
        {2, "/dev/ttyUSB0", false},
    };
    for (const auto& [port, device, lacks] : rows) {
        SCOPED_TRACE(device + " as COM" + std::to_string(port));
        EXPECT_EQ(default_port_lacks_uart(port, device, sys.path()), lacks);
    }
}

TEST(CarriedOver, SettingsFileProblemNamesPathAndReason) {
    TempDir dir;
    fs::create_directory(dir.file("folder.ini"));
    std::ofstream(dir.file("plain")) << "x";
    const std::pair<std::string, std::string> rows[] = {
        {dir.file("fine.ini"), ""},
        {dir.file("folder.ini"), text::sjis(" を読めません: ")},
        {dir.file("plain/under.ini"), text::sjis(" に書き込めません: ")},
    };
    for (const auto& [path, reason] : rows) {
        SCOPED_TRACE(path);
        const std::string problem = SettingsFile(path).access_problem();
        EXPECT_TRUE(reason.empty() ? problem.empty()
                                   : problem.find(path + reason) != std::string::npos)
            << problem;
    }
}
