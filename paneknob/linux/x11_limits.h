#pragma once
// The time limits of the window actions on X11.

#include <chrono>

namespace paneknob {

// The most one export takes, whatever the window manager or the X server does: the waits below
// end kRestoreTime before it, which leaves the time to put another program's properties back,
// and at the limit the connection is shut (x11kit), which ends any wait on the server.
inline constexpr std::chrono::milliseconds kCallLimit{2000};
inline constexpr std::chrono::milliseconds kRestoreTime{300};
inline constexpr std::chrono::milliseconds kActivationWait{1000};
inline constexpr std::chrono::milliseconds kStateWait{1000};
inline constexpr std::chrono::milliseconds kDeiconifyWait{300};  // before the map request
inline constexpr std::chrono::milliseconds kSettleTime{200};

}  // namespace paneknob
