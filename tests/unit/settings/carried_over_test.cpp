// What start-up decides about settings brought from another machine: which values are
// Windows paths, and whether a COM port's default device has a UART behind it, read from
// a made-up sysfs tree (the real /dev/ttyS0 may be the console and is never touched).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/link/uart_presence.h"
#include "core/settings/settings_file.h"
#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

TEST(CarriedOver, WindowsPaths) {
    const struct {
        std::string value;
        bool windows;
    } rows[] = {
        {"C:\\BBS\\DL", true},
        {"d:", true},
        {"\\\\server\\bbs", true},
        {"bbs\\dl", true},
        {"/home/op/bbs", false},
        {"", false},
        {"dl:2", false},                         // a colon is an ordinary character in a Linux name
        {text::sjis("/home/op/ソフト"), false},  // ソ is 0x83 0x5C: no backslash in it
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(is_windows_path(row.value), row.windows);
        EXPECT_EQ(usable_folder(row.value).empty(), row.windows || row.value.empty());
    }
    Settings settings;
    settings.ul_dir.assign("C:\\BBS\\UL");
    settings.external_programs[2].path.assign("C:\\Program Files\\Editor\\editor.exe");
    EXPECT_EQ(windows_path_settings(settings),
              (std::vector<std::string>{"DIR UL_DIR=C:\\BBS\\UL",
                                        "EXT_EXEC3 PATH=C:\\Program Files\\Editor\\editor.exe"}));
}

TEST(CarriedOver, DefaultPortWithoutUart) {
    testing::TempDir sys;
    const auto entry = [&](const std::string& name) {
        std::filesystem::create_directories(sys.path() + "/class/tty/" + name);
        return sys.path() + "/class/tty/" + name;
    };
    std::ofstream(entry("ttyS0") + "/type") << "4\n";  // a 16550A
    std::ofstream(entry("ttyS1") + "/type") << "0\n";  // PORT_UNKNOWN
    std::filesystem::create_directories(sys.path() + "/devices/serial8250");
    std::filesystem::create_directory_symlink(sys.path() + "/devices/serial8250",
                                              entry("ttyS2") + "/device");
    std::filesystem::create_directory_symlink(sys.path() + "/devices", entry("ttyS3") + "/device");
    const struct {
        int port;
        std::string device;
        bool lacks;
    } rows[] = {
        {1, "/dev/ttyS0", false},   {2, "/dev/ttyS1", true}, {3, "/dev/ttyS2", true},
        {4, "/dev/ttyS3", false},   {5, "/dev/ttyS4", true},  // no entry at all
        {2, "/dev/ttyS0", false},                             // chosen by the operator
        {2, "/dev/ttyUSB0", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.device + " as COM" + std::to_string(row.port));
        EXPECT_EQ(default_port_lacks_uart(row.port, row.device, sys.path()), row.lacks);
    }
}

TEST(CarriedOver, SettingsFileProblemNamesPathAndReason) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    std::ofstream(dir.file("plain")) << "x";
    const struct {
        std::string path, reason;
    } rows[] = {
        {dir.file("fine.ini"), ""},
        {dir.file("folder.ini"), text::sjis(" を読めません: ")},
        {dir.file("plain/under.ini"), text::sjis(" に書き込めません: ")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const std::string problem = SettingsFile(row.path).access_problem();
        EXPECT_EQ(problem.empty(), row.reason.empty()) << problem;
        if (!row.reason.empty()) EXPECT_NE(problem.find(row.path + row.reason), std::string::npos);
    }
}

}  // namespace
}  // namespace kestrel
