#pragma once
// What the PC scope and TALK commands keep for the whole run: the spot board, the scope's
// band and age filter, the TALK list with the two TALK options, the two windows' handles
// (empty while closed), and the clock the spots are stamped and aged by.

#include <QPointer>
#include <QWidget>
#include <ctime>
#include <functional>
#include <vector>

#include "core/cluster/spot_board.h"
#include "core/desktop/desktop.h"
#include "core/talk/talk.h"

namespace kestrel::app {

class PcScopeWindow;
class TalkWindow;

struct ClusterPart {
    ClusterPart() = default;
    ClusterPart(const ClusterPart&) = delete;
    ClusterPart& operator=(const ClusterPart&) = delete;
    // A closed window is deleted by the event loop; one the loop never reached goes here.
    ~ClusterPart() {
        for (const QPointer<QWidget>& window : closed) delete window.data();
    }

    kestrel::SpotBoard spots;
    kestrel::ScopeFilter filter;
    kestrel::TalkList talk_list;
    bool base64 = false;          // the BASE64 option
    bool callsign_filter = true;  // the callsign filter

    PcScopeWindow* scope = nullptr;
    TalkWindow* talk = nullptr;
    std::vector<QPointer<QWidget>> closed;

    // Called on the UI thread and the receiver thread. Tests replace it before a window
    // opens, with one that is safe to call from both.
    std::function<std::time_t()> clock = [] { return kestrel::system_now(); };
};

}  // namespace kestrel::app
