// Start-up's read and the "save settings" write of a settings file with all 24 RBBS records
// filled in: both together should stay well under 5 ms.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/desktop/desktop.h"
#include "core/settings/settings_io.h"
#include "quiet_desktop.h"

namespace {

using namespace kestrel;

Settings full_settings() {
    Settings s;
    for (int i = 0; i < rbbs_count; ++i) {
        RbbsRecord& r = s.rbbs[i];
        std::string n = std::to_string(i + 1);
        r.name.assign("JA1RBBS-" + n);
        r.connect_command.assign("C JA1RBBS-" + n + " V JA1DIGI\\n");
        r.connect_file.assign("connect" + n + ".txt");
        r.read_command.assign("R");
        r.extension.assign("LOG");
        r.dl_start.assign("Enter command: A,B,C,D,H,I,J,K,L,M,N,R,S,T,U,V,W,X,Y,Z,?");
        r.dl_end.assign("*** Disconnected from JA1RBBS-" + n);
        r.dl_start_valid = 1;
        r.dl_end_valid = 1;
        r.unproto.assign("CQ CQ CQ de JA1XYZ");
        r.sort = 1;
    }
    s.dl_dir.assign("/home/operator/packet/download");
    s.ul_dir.assign("/home/operator/packet/upload");
    return s;
}

void BM_LoadAndSaveFullSettings(benchmark::State& state) {
    char dir_template[] = "/tmp/kestrel-settings-bench-XXXXXX";
    const char* dir = ::mkdtemp(dir_template);
    if (dir == nullptr) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    SettingsFile file(std::string(dir) + "/KESTREL.INI");
    bench::QuietDesktop desktop;
    desktop.answer = MessageAnswer::yes;
    Settings settings = full_settings();
    save_settings(file, settings, desktop);

    int round = 0;
    for (auto _ : state) {
        load_settings(file, settings);
        // A change every round, so that every save really writes the file.
        settings.port.upload_wait = ++round % 2;
        if (!save_settings(file, settings, desktop)) state.SkipWithError("save failed");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadAndSaveFullSettings)->Unit(benchmark::kMicrosecond);

}  // namespace
