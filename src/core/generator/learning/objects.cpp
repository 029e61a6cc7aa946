#include "generator/learning/objects.h"

#include <algorithm>
#include <cstdlib>

namespace zorvane {

OneToOne::OneToOne(const LearnedData& generator) {
    Build(generator, JoinDir::Right, right_, left_);
    Build(generator, JoinDir::Down, below_, above_);
}

void OneToOne::Build(const LearnedData& g, JoinDir dir, std::vector<int>& forward, std::vector<int>& backward) {
    const int n = g.SquareCount();
    forward.assign(static_cast<std::size_t>(n), -1);
    backward.assign(static_cast<std::size_t>(n), -1);
    // Per square B: how many squares (blank ones aside) name it, and the first.
    std::vector<int> referrers(static_cast<std::size_t>(n), 0);
    std::vector<int> firstReferrer(static_cast<std::size_t>(n), -1);
    std::vector<int> seenBy(static_cast<std::size_t>(n), -1);
    for (int x = 0; x < n; ++x) {
        if (IsBlankSquare(g.Sq(x))) continue;
        for (std::int32_t e : g.List(x, dir)) {
            auto ei = static_cast<std::size_t>(e);
            if (seenBy[ei] == x) continue;
            seenBy[ei] = x;
            if (referrers[ei]++ == 0) firstReferrer[ei] = x;
        }
    }
    for (int a = 0; a < n; ++a) {
        const auto& list = g.List(a, dir);
        if (list.empty()) continue;
        const std::int32_t b = list.front();
        if (std::any_of(list.begin(), list.end(), [b](std::int32_t e) { return e != b; })) continue;
        const auto bi = static_cast<std::size_t>(b);
        if (referrers[bi] == 0 || (referrers[bi] == 1 && firstReferrer[bi] == a)) {
            forward[static_cast<std::size_t>(a)] = b;
            if (!IsBlankSquare(g.Sq(a))) backward[bi] = a;
        }
    }
}

namespace {

struct Frame {
    int square;
    int row;
    int next;  // the next of the four directions to try
};

}  // namespace

void TrackObjects(LearnedData& g, const std::vector<std::vector<std::int32_t>>& connectorGroups,
                  const std::function<void(int)>& progress) {
    const int n = g.SquareCount();
    const OneToOne links(g);
    g.ObjSize.assign(static_cast<std::size_t>(n) + 1, 0);
    g.ObjStarts.clear();
    g.ObjMembers.clear();
    g.LargestObject = 0;
    g.TallestObject = 0;
    std::vector<bool> visited(static_cast<std::size_t>(n), false);
    std::vector<Frame> stack;
    for (int j = 0; j < n; ++j) {
        if (progress) progress(j);
        if (visited[static_cast<std::size_t>(j)]) continue;
        std::vector<std::int32_t> members;
        int topRow = 0;
        int start = j;
        // Depth first, in the order right, below, left, above, as a
        // recursive visit would go, with the stack on the heap.
        auto visit = [&](int s, int r) {
            if (visited[static_cast<std::size_t>(s)]) return;
            visited[static_cast<std::size_t>(s)] = true;
            members.push_back(s);
            if (r < topRow) {
                topRow = r;
                start = s;
            }
            g.TallestObject = std::max(g.TallestObject, std::abs(r) + 1);
            stack.push_back({s, r, 0});
        };
        visit(j, 0);
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next == 4) {
                stack.pop_back();
                continue;
            }
            const int d = f.next++;
            const int s = f.square;
            const int r = f.row;
            const int nb = d == 0 ? links.Right(s) : d == 1 ? links.Below(s) : d == 2 ? links.Left(s) : links.Above(s);
            if (nb >= 0) visit(nb, d == 1 ? r + 1 : d == 3 ? r - 1 : r);
        }
        g.ObjStarts.push_back(start);
        for (std::int32_t m : members) g.ObjSize[static_cast<std::size_t>(m)] = static_cast<std::int32_t>(members.size());
        g.ObjMembers.push_back(std::move(members));
    }
    for (const auto& group : connectorGroups)
        for (std::int32_t c : group) g.ObjSize[static_cast<std::size_t>(c)] = 0;
    for (int i = 0; i < n; ++i) g.LargestObject = std::max(g.LargestObject, g.ObjSize[static_cast<std::size_t>(i)]);
}

}  // namespace zorvane
