#include <algorithm>
#include <unordered_map>

#include "generator/learning/learn_steps.h"

namespace zorvane::learning {

namespace {

constexpr int kReportStep = 50;

// The distinct values of a list in the order of their first appearance.
std::vector<std::int32_t> DistinctValues(const std::vector<std::int32_t>& list) {
    std::vector<std::int32_t> out;
    std::unordered_map<std::int32_t, bool> seen;
    for (std::int32_t v : list)
        if (seen.try_emplace(v, true).second) out.push_back(v);
    return out;
}

// A temporary multiset: how often each value stands, values in the order
// first appended.
struct CountedSet {
    std::vector<std::int32_t> order;
    std::unordered_map<std::int32_t, int> count;
};

void LearnMap(LearnedData& g, LearningRun& run, const LearnedMapProject& map, int mapIndex, const LearnEntry& entry, int n,
              UserInterface& ui, Occurrences occurrences) {
    const bool counting = occurrences == Occurrences::Counted;
    const int w = map.Width;
    const int h = map.Height;
    auto& group = run.ConnectorGroups[static_cast<std::size_t>(mapIndex)];
    std::vector<bool> inGroup;
    auto at = [&](int x, int y) -> const MapSquare& { return map.Squares[static_cast<std::size_t>(y) * w + x]; };
    auto findOrAdd = [&](int x, int y) {
        const MapSquare& s = at(x, y);
        return g.FindOrAddSq(s.Gnd, s.Top, s.Atr);
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int p = y * w + x;
            if (x >= 2 && x <= w - 3 && y >= 2 && y <= h - 3) {
                const int s = findOrAdd(x, y);
                if (counting) g.Counts.AddSquare(s, entry.Multiplier);
                if (x < w - 3) {
                    const int r = findOrAdd(x + 1, y);
                    g.AddJoinRight(s, r, entry.Multiplier);
                    if (counting) g.Counts.AddJoin(JoinDir::Right, s, r, entry.Multiplier);
                }
                if (y < h - 3) {
                    const int d = findOrAdd(x, y + 1);
                    g.AddJoinDown(s, d, entry.Multiplier);
                    if (counting) g.Counts.AddJoin(JoinDir::Down, s, d, entry.Multiplier);
                }
                if (entry.Connector) {
                    if (inGroup.size() <= static_cast<std::size_t>(s)) inGroup.resize(static_cast<std::size_t>(s) + 1);
                    if (!inGroup[static_cast<std::size_t>(s)]) {
                        inGroup[static_cast<std::size_t>(s)] = true;
                        group.push_back(s);
                    }
                }
            }
            if (p % kReportStep == 0) {
                ui.setActivity("Learning... " + std::to_string(g.JoinsCount) + " joins in " +
                                      std::to_string(mapIndex + 1) + "/" + std::to_string(n) + " files found.");
                ui.processEvents();
            }
        }
    }
}

// Pass 1: a square followed by one member of a connector group may be
// followed by every member, each at least with the group's multiplier.
void SpreadToGroups(LearnedData& g, const LearningRun& run, const std::vector<LearnEntry>& list) {
    const auto& groups = run.ConnectorGroups;
    std::vector<std::vector<int>> groupsOf(static_cast<std::size_t>(g.SquareCount()));
    for (std::size_t gi = 0; gi < groups.size(); ++gi)
        for (std::int32_t c : groups[gi]) groupsOf[static_cast<std::size_t>(c)].push_back(static_cast<int>(gi));
    std::vector<int> doneFor(groups.size(), -1);  // (square, list) stamp per group
    const int squares = g.SquareCount();
    for (int s = 0; s < squares; ++s) {
        for (JoinDir dir : {JoinDir::Down, JoinDir::Right}) {
            const int stamp = s * 2 + (dir == JoinDir::Right);
            const std::size_t reached = g.List(s, dir).size();
            for (std::size_t i = 0; i < reached; ++i) {
                const std::int32_t e = g.List(s, dir)[i];
                for (int gi : groupsOf[static_cast<std::size_t>(e)]) {
                    // A group spread once to this list has nothing more to add.
                    if (doneFor[static_cast<std::size_t>(gi)] == stamp) continue;
                    doneFor[static_cast<std::size_t>(gi)] = stamp;
                    const int weight = list[static_cast<std::size_t>(gi)].Multiplier;
                    for (std::int32_t c : groups[static_cast<std::size_t>(gi)])
                        g.AppendCopies(s, dir, c, weight - g.CountInList(s, dir, c));
                }
            }
        }
    }
}

// Passes 2 and 3 for one kind of list: every member of a group gets every
// value of the group's union as often as the member holding it most.
void ShareWithinGroups(LearnedData& g, const LearningRun& run, JoinDir dir) {
    const auto& groups = run.ConnectorGroups;
    std::vector<CountedSet> unions(groups.size());
    for (std::size_t gi = 0; gi < groups.size(); ++gi) {
        CountedSet& u = unions[gi];
        for (std::int32_t m : groups[gi]) {
            for (std::int32_t v : DistinctValues(g.List(m, dir))) {
                const int have = g.CountInList(m, dir, v);
                auto [it, added] = u.count.try_emplace(v, 0);
                if (added) u.order.push_back(v);
                it->second = std::max(it->second, have);
            }
        }
    }
    for (std::size_t gi = 0; gi < groups.size(); ++gi)
        for (std::int32_t m : groups[gi])
            for (std::int32_t v : unions[gi].order)
                g.AppendCopies(m, dir, v, unions[gi].count[v] - g.CountInList(m, dir, v));
}

}  // namespace

void LearnJoins(LearnedData& g, LearningRun& run, const std::vector<LearnEntry>& list, UserInterface& ui,
                Occurrences occurrences) {
    const int n = static_cast<int>(run.ZmData.size());
    run.ConnectorGroups.assign(static_cast<std::size_t>(n), {});
    ui.prepareProgress(0, std::max(n - 1, 0));
    for (int i = 0; i < n; ++i) {
        ui.updateProgress(i, 1);
        LearnMap(g, run, run.ZmData[static_cast<std::size_t>(i)], i, list[static_cast<std::size_t>(i)], n, ui, occurrences);
    }
}

void ProcessConnectors(LearnedData& g, const LearningRun& run, const std::vector<LearnEntry>& list) {
    SpreadToGroups(g, run, list);
    ShareWithinGroups(g, run, JoinDir::Down);
    ShareWithinGroups(g, run, JoinDir::Right);
}

void FinishJoins(LearnedData& g, UserInterface& ui) {
    const int empty = g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    const int last = g.SquareCount() - 1;
    // The most copies of each square in any list (the last square's aside).
    std::vector<int> mostDown(static_cast<std::size_t>(last), 1);
    std::vector<int> mostRight(static_cast<std::size_t>(last), 1);
    for (int s = 0; s < last; ++s) {
        for (JoinDir dir : {JoinDir::Down, JoinDir::Right}) {
            auto& most = dir == JoinDir::Down ? mostDown : mostRight;
            for (std::int32_t v : DistinctValues(g.List(s, dir)))
                if (v < last) most[static_cast<std::size_t>(v)] = std::max(most[static_cast<std::size_t>(v)], g.CountInList(s, dir, v));
        }
    }
    ui.prepareProgress(0, std::max(last - 1, 0));
    for (int i = 0; i < last; ++i) {
        ui.updateProgress(i, 100);
        g.AddJoinDown(empty, i, mostDown[static_cast<std::size_t>(i)]);
        g.AddJoinRight(empty, i, mostRight[static_cast<std::size_t>(i)]);
    }
    // Counted occurrences name every learned square, the empty one (never
    // met in a map) with 0.
    if (g.Counts.Present()) g.Counts.Squares.resize(static_cast<std::size_t>(g.SquareCount()), 0);
}

}  // namespace zorvane::learning
