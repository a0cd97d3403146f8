// One instance per log-on session.
#pragma once

namespace app {

// 0 to go on; -1 when another instance runs (the user has been told).
int EnsureSingleInstance();

}  // namespace app
