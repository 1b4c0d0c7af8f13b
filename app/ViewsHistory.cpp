#include "app/ViewsHistory.h"

#include <algorithm>

namespace tovan {

void ViewsHistory::record(State current) {
    forward_.clear();
    back_.push_back(std::move(current));
    if (back_.size() > Kept)
        back_.erase(back_.begin());
}

ViewsHistory::State ViewsHistory::back(std::size_t steps, State current) {
    return step(back_, forward_, steps, std::move(current));
}

ViewsHistory::State ViewsHistory::forward(std::size_t steps, State current) {
    return step(forward_, back_, steps, std::move(current));
}

// The states passed over move to the other side, nearest last, so that going
// the other way returns through them in order.
ViewsHistory::State ViewsHistory::step(std::vector<State>& from, std::vector<State>& to,
                                       std::size_t steps, State current) {
    steps = std::clamp<std::size_t>(steps, 1, from.size());
    to.push_back(std::move(current));
    for (std::size_t passed = 1; passed < steps; ++passed) {
        to.push_back(std::move(from.back()));
        from.pop_back();
    }
    State target = std::move(from.back());
    from.pop_back();
    return target;
}

std::vector<std::string> ViewsHistory::titles(const std::vector<State>& states) {
    std::vector<std::string> titles;
    for (auto state = states.rbegin(); state != states.rend() && titles.size() < MenuSize; ++state)
        titles.push_back(state->title);
    return titles;
}

}  // namespace tovan
