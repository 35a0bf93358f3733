#pragma once
// Where the settings file lives. The command line names it; a bare name means a file in the
// user's configuration directory, a name with a directory in it is taken as that file. The
// place is fixed once at start-up, and every section is read and written there.

#include <atomic>
#include <string>
#include <string_view>

namespace kestrel {

class Profile;

class SettingsFile {
public:
    static constexpr std::string_view default_name = "KESTREL.INI";

    // `command_line` is the whole command-line text; empty means `default_name`. A bare name
    // resolves to $XDG_CONFIG_HOME/kestrel/<name>, or $HOME/.config/kestrel/<name> when
    // XDG_CONFIG_HOME is unset or not absolute, read from the environment now. A relative
    // name with a directory is fixed against the current directory now, so that later
    // changes of directory (the file choosers make them) do not move the file.
    explicit SettingsFile(std::string_view command_line);

    // The name as given (or the default), for messages to the operator.
    const std::string& name() const { return name_; }
    // The resolved path of the file.
    const std::string& settings_path() const { return path_; }
    // The scroll-back file beside it: the path with ".buf" in place of its last four
    // characters (KESTREL.INI -> KESTREL.buf); empty when the path is too short for that.
    std::string scroll_file_path() const;

    // Whether the file exists; start-up runs the first-time setup when it does not.
    bool exists() const;

    // Why the settings cannot be kept, for one message at start-up (CP932, naming the path
    // and the system's reason): the file cannot be read, or neither it nor a new file
    // beside it (saves write one and rename it over) can be written. Empty when all is well.
    std::string access_problem() const;

    // The file's current content, for any number of gets and sets. The first read also
    // removes the new files that saves cut short by a crash left beside the file.
    Profile read() const;
    // Saves `profile` if a set changed it, creating the configuration directory for a bare
    // name first. True when the file holds the profile's bytes afterwards.
    bool write(const Profile& profile) const;

private:
    std::string name_;
    std::string path_;
    bool in_config_directory_ = false;
    mutable std::atomic<bool> temporaries_checked_{false};
};

}  // namespace kestrel
