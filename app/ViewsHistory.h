#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Back and Forward over the tree's selections. The window records the state it
// leaves on every selection change except those that back() and forward() ask
// for.
class ViewsHistory {
public:
    // How many states a Back or Forward drop-down lists.
    static constexpr std::size_t MenuSize = 9;
    // How many states Back keeps: the window checks them all on every tick.
    static constexpr std::size_t Kept = 100;

    struct State {
        SharedPtr<TreeEntry> node;
        SharedPtr<Entry> entry;  // the selected folder of a server, may be empty
        std::string title;
    };

    // The user leaves current for another selection: Forward empties and
    // current goes on Back, the oldest state going beyond Kept.
    void record(State current);

    bool can_go_back() const { return !back_.empty(); }
    bool can_go_forward() const { return !forward_.empty(); }
    // n states back (n at least 1) from current; the state to select, which the
    // caller selects without recording. Call only when can_go_back().
    State back(std::size_t steps, State current);
    State forward(std::size_t steps, State current);

    // Drops the states the predicate holds for, such as those of nodes removed
    // since, so that Back and Forward never lead to something that is gone.
    template <class Gone>
    void forget_if(Gone gone) {
        std::erase_if(back_, gone);
        std::erase_if(forward_, gone);
    }

    // Nearest first, at most MenuSize.
    std::vector<std::string> back_titles() const { return titles(back_); }
    std::vector<std::string> forward_titles() const { return titles(forward_); }

private:
    static State step(std::vector<State>& from, std::vector<State>& to, std::size_t steps,
                      State current);
    static std::vector<std::string> titles(const std::vector<State>& states);

    std::vector<State> back_;  // oldest first
    std::vector<State> forward_;
};

}  // namespace tovan
