// The output listing of a Wayland session (wayland_monitors.h).

#include "wayland_monitors.h"

namespace frametake::wayland {

Reached listOutputs(std::chrono::milliseconds limit, std::vector<Output>& outputs) {
    Session session(Clock::now() + limit);
    if (const Reached described = session.describeOutputs(); described != Reached::done) {
        return described;
    }
    for (const auto& objects : session.outputs()) {
        if (complete(objects->output)) {
            outputs.push_back(objects->output);
        }
    }
    return outputs.empty() ? Reached::failed : Reached::done;
}

}  // namespace frametake::wayland
