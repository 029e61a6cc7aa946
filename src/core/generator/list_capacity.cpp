#include "generator/list_capacity.h"

#include <algorithm>

namespace zorvane::learning {

namespace {

constexpr std::size_t kNamedEntries = 4;  // learning list entries named in a message

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
