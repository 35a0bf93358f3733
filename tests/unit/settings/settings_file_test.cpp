#include "core/settings/settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/settings/profile.h"
#include "core/settings/replace_file.h"
#include "file_bytes.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::read_bytes;
using testing::TempDir;
using testing::write_bytes;
namespace fs = std::filesystem;

// Runs `body` in a child process, so that limits and lost privileges stay there.
bool in_child(const std::function<bool()>& body) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(body() ? 1 : 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// Puts HOME and XDG_CONFIG_HOME back as they were when the test ends.
class KeepEnvironment {
public:
    ~KeepEnvironment() {
        for (auto& [name, value] : saved_) {
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
    }

private:
    static std::optional<std::string> get(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::pair<const char*, std::optional<std::string>> saved_[2] = {
        {"HOME", get("HOME")}, {"XDG_CONFIG_HOME", get("XDG_CONFIG_HOME")}};
};

TEST(SettingsFileLocation, ABareNameLivesInTheUsersConfigDirectory) {
    KeepEnvironment keep;
    TempDir home;
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    SettingsFile file("");
    EXPECT_EQ(file.name(), "KESTREL.INI");
    EXPECT_EQ(file.settings_path(), "/xdg/config/kestrel/KESTREL.INI");
    EXPECT_EQ(file.scroll_file_path(), "/xdg/config/kestrel/KESTREL.buf");

    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: ignored
    EXPECT_EQ(SettingsFile("my.ini").settings_path(), home.path() + "/.config/kestrel/my.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFile("my.ini").settings_path(), home.path() + "/.config/kestrel/my.ini");

    // The directory appears with the first write that has something to write.
    SettingsFile bare("KESTREL.INI");
    EXPECT_FALSE(bare.exists());
    EXPECT_TRUE(bare.write(bare.read()));
    EXPECT_FALSE(fs::exists(home.path() + "/.config"));
    Profile profile = bare.read();
    profile.set("ENV", "JST", "1");
    ASSERT_TRUE(bare.write(profile));
    EXPECT_TRUE(bare.exists());
    EXPECT_EQ(read_bytes(home.path() + "/.config/kestrel/KESTREL.INI"), "[ENV]\r\nJST=1\r\n");
}

TEST(SettingsFileLocation, ANameWithADirectoryIsThatFile) {
    SettingsFile absolute("/etc/kestrel/station.ini");
    EXPECT_EQ(absolute.settings_path(), "/etc/kestrel/station.ini");
    EXPECT_EQ(absolute.scroll_file_path(), "/etc/kestrel/station.buf");

    SettingsFile relative("conf/station.ini");
    EXPECT_EQ(relative.name(), "conf/station.ini");
    EXPECT_EQ(relative.settings_path(), fs::current_path().string() + "/conf/station.ini");

    EXPECT_EQ(SettingsFile("/a.b").scroll_file_path(), "");
}

TEST(ProfileSave, ReplacesTheFileKeepingItsModeAndItsSymbolicLink) {
    TempDir dir;
    write_bytes(dir.file("real.ini"), "[ENV]\nJST=1\n");
    ::chmod(dir.file("real.ini").c_str(), 0640);
    fs::create_symlink("real.ini", dir.file("link.ini"));

    Profile p = Profile::load(dir.file("link.ini"));
    p.set("ENV", "JST", "0");
    ASSERT_TRUE(p.save(dir.file("link.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(read_bytes(dir.file("real.ini")), "[ENV]\nJST=0\n");
    EXPECT_EQ(fs::status(dir.file("real.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(ProfileSave, AFailedWriteLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.file("KESTREL.INI");
    const std::string before = "[RS232C]\r\nCOM_PORT=3\r\n";
    write_bytes(path, before);
    Profile p = Profile::load(path);
    p.set("RS232C", "COM_PORT", "4");
    p.set("DIR", "DL_DIR", std::string(4096, 'd'));

    // The disk fills up half-way through the write.
    EXPECT_FALSE(in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && p.save(path);
    }));
    EXPECT_EQ(read_bytes(path), before);

    // The directory is read-only (root ignores that, so the child gives root up).
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(path.c_str(), 0644);
    EXPECT_FALSE(in_child([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return true;
        ::chmod(dir.path().c_str(), 0555);
        return p.save(path);
    }));
    EXPECT_EQ(read_bytes(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    EXPECT_FALSE(p.save(dir.file("missing/KESTREL.INI")));
}

TEST(ProfileSave, AFileThatCannotBeReadIsNeverOverwritten) {
    TempDir dir;
    fs::create_directory(dir.file("KESTREL.INI"));
    Profile p = Profile::load(dir.file("KESTREL.INI"));
    EXPECT_FALSE(p.readable());
    EXPECT_EQ(p.get("RS232C", "COM_PORT", "1", 30), "1");
    p.set("RS232C", "COM_PORT", "2");
    EXPECT_FALSE(p.save(dir.file("KESTREL.INI")));
    EXPECT_TRUE(fs::is_directory(dir.file("KESTREL.INI")));
    EXPECT_TRUE(Profile::load(dir.file("absent.ini")).readable());
}

// Sets the modification time of `path` (a link itself, not what it names) `age` seconds back.
void age_by(const std::string& path, int age) {
    timespec when[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW);
}

TEST(StaleTemporaries, OnlyOursAndOnlyThoseAMinuteOldAreRemoved) {
    TempDir dir;
    struct Row {
        const char* name;
        int age;
        bool removed;
    } const rows[] = {
        {"KESTREL.INI.tmp4242-0", 3600, true},   {"KESTREL.INI.tmp4242-17", 61, true},
        {"KESTREL.INI.tmp4242-18", 20, false},  // a save still under way elsewhere
        {"KESTREL.INI.tmp", 3600, false},        {"KESTREL.INI.tmp4242", 3600, false},
        {"KESTREL.INI.tmp4242-", 3600, false},   {"KESTREL.INI.tmp-3", 3600, false},
        {"KESTREL.INI.tmp1-2.bak", 3600, false}, {"KESTREL.INI.tmp12x-2", 3600, false},
        {"OTHER.INI.tmp1-2", 3600, false},       {"KESTREL.buf.tmp1-2", 3600, false},
    };
    for (const Row& row : rows) {
        write_bytes(dir.file(row.name), "x");
        age_by(dir.file(row.name), row.age);
    }
    // Neither a directory nor a link of our name is ours.
    fs::create_directory(dir.file("KESTREL.INI.tmp5-5"));
    fs::create_symlink(dir.file("OTHER.INI.tmp1-2"), dir.file("KESTREL.INI.tmp6-6"));
    age_by(dir.file("KESTREL.INI.tmp5-5"), 3600);
    age_by(dir.file("KESTREL.INI.tmp6-6"), 3600);

    remove_stale_temporaries(dir.file("KESTREL.INI"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(fs::exists(dir.file(row.name)), !row.removed);
    }
    EXPECT_TRUE(fs::is_directory(dir.file("KESTREL.INI.tmp5-5")));
    EXPECT_TRUE(fs::is_symlink(dir.file("KESTREL.INI.tmp6-6")));
}

TEST(StaleTemporaries, TheFirstReadOfTheSettingsFileRemovesThem) {
    TempDir dir;
    fs::create_directory(dir.file("real"));
    fs::create_symlink("real/KESTREL.INI", dir.file("KESTREL.INI"));
    write_bytes(dir.file("real/KESTREL.INI"), "[ENV]\nJST=0\n");
    // A save through the link leaves its new file beside the file the link names.
    write_bytes(dir.file("real/KESTREL.INI.tmp99-1"), "[ENV]\n");
    age_by(dir.file("real/KESTREL.INI.tmp99-1"), 600);

    SettingsFile file(dir.file("KESTREL.INI"));
    EXPECT_EQ(file.read().get("ENV", "JST", "1", 30), "0");
    EXPECT_FALSE(fs::exists(dir.file("real/KESTREL.INI.tmp99-1")));
}

}  // namespace
}  // namespace kestrel
