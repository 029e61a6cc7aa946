#include <algorithm>
#include <unordered_map>

#include "generator/learning/learn_steps.h"

namespace zorvane::learning {

namespace {

constexpr int kReportStep = 50;
constexpr std::size_t kNamedEntries = 4;  // learning list entries named in a message

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

void LearnMap(MapGenerator& g, const LearnedMapProject& map, int mapIndex, const LearnEntry& entry, int n,
              UserInterface& ui, Occurrences occurrences) {
    const bool counting = occurrences == Occurrences::Counted;
    const int w = map.Width;
    const int h = map.Height;
    auto& group = g.ConnectorGroups[static_cast<std::size_t>(mapIndex)];
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
void SpreadToGroups(MapGenerator& g, const std::vector<LearnEntry>& list) {
    const auto& groups = g.ConnectorGroups;
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
void ShareWithinGroups(MapGenerator& g, JoinDir dir) {
    const auto& groups = g.ConnectorGroups;
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

void LearnJoins(MapGenerator& g, const std::vector<LearnEntry>& list, UserInterface& ui, Occurrences occurrences) {
    const int n = static_cast<int>(g.ZmData.size());
    g.ConnectorGroups.assign(static_cast<std::size_t>(n), {});
    ui.prepareProgress(0, std::max(n - 1, 0));
    for (int i = 0; i < n; ++i) {
        ui.updateProgress(i, 1);
        LearnMap(g, g.ZmData[static_cast<std::size_t>(i)], i, list[static_cast<std::size_t>(i)], n, ui, occurrences);
    }
}

void ProcessConnectors(MapGenerator& g, const std::vector<LearnEntry>& list) {
    SpreadToGroups(g, list);
    ShareWithinGroups(g, JoinDir::Down);
    ShareWithinGroups(g, JoinDir::Right);
}

void FinishJoins(MapGenerator& g, UserInterface& ui) {
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

namespace {

// Per square, the most copies of it in any one list of `dir` (at least one
// when the empty square is yet to list it).
std::vector<std::int64_t> MostCopies(const std::vector<LearnedSquare>& squares, JoinDir dir, EmptySquare empty) {
    std::vector<std::int64_t> most(squares.size(), empty == EmptySquare::ToCome ? 1 : 0);
    std::vector<std::int64_t> count(squares.size(), 0);
    for (const LearnedSquare& s : squares) {
        const auto& list = dir == JoinDir::Down ? s.Down : s.Right;
        for (std::int32_t v : list) ++count[static_cast<std::size_t>(v)];
        for (std::int32_t v : list) {
            const auto i = static_cast<std::size_t>(v);
            most[i] = std::max(most[i], count[i]);
        }
        for (std::int32_t v : list) count[static_cast<std::size_t>(v)] = 0;
    }
    return most;
}

}  // namespace

ListDemand DemandOf(const std::vector<LearnedSquare>& squares, EmptySquare empty) {
    const auto down = MostCopies(squares, JoinDir::Down, empty);
    ListDemand d;
    for (std::int64_t m : down) d.EmptyDown += m;
    for (std::int64_t m : MostCopies(squares, JoinDir::Right, empty)) d.EmptyRight += m;
    // Both columns under the empty square: candidate a stands down[a] times
    // on the left, each entry b of its Right list down[b] times on the right.
    for (std::size_t a = 0; a < squares.size() && d.ColumnPairs <= MaxListEntries; ++a) {
        if (down[a] == 0) continue;
        std::int64_t right = 0;
        for (std::int32_t b : squares[a].Right) right += down[static_cast<std::size_t>(b)];
        d.ColumnPairs += down[a] * right;
    }
    return d;
}

std::optional<std::string> CapacityProblem(const std::vector<LearnedSquare>& squares, EmptySquare empty) {
    const ListDemand d = DemandOf(squares, empty);
    const std::string limit = std::to_string(MaxListEntries);
    const std::int64_t emptyList = std::max(d.EmptyDown, d.EmptyRight);
    if (empty == EmptySquare::ToCome && emptyList > MaxListEntries)
        return "The empty square (the border of a new map) would have " + std::to_string(emptyList) +
               " neighbours on one side, more than the " + limit + " a list of the generator holds.";
    if (d.ColumnPairs > MaxListEntries)
        return "A row of a new map could need more than " + limit +
               " pairs of squares between two neighbouring columns, more than the generator holds.";
    return std::nullopt;
}

std::string TooMuchToLearnText(const std::string& problem, const std::vector<LearnEntry>& list) {
    std::string named;
    std::size_t raised = 0;
    for (const LearnEntry& e : list) {
        if (e.Multiplier <= 1) continue;
        if (++raised <= kNamedEntries) named += (named.empty() ? "" : ", ") + LearnEntryText(e);
    }
    if (raised > kNamedEntries) named += ", ...";
    if (raised == 0) return problem + "\rThe maps hold too many different squares: learn fewer or smaller maps.";
    return problem + "\rThe multipliers cause it (" + named +
           "): a multiplier multiplies the neighbour lists, and the pairs of squares grow with its cube. "
           "Lower the multipliers and learn again.";
}

}  // namespace zorvane::learning
