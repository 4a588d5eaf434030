#include "state/shared_state.h"

namespace {
SharedState& instance() {
    static SharedState state;
    return state;
}
}  // namespace

SharedState& S() { return instance(); }

void ResetSharedState() { instance() = SharedState{}; }
