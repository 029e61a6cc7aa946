#include "generator/generator.h"

#include <random>

namespace zorvane {

void MapGenerator::LoadCandidates(int square, JoinDir dir, std::vector<std::int32_t>& out) {
    out.clear();
    if (square < 0) {
        // A random entry of the list of a random square (the empty square,
        // last, left out), drawn until one is found.
        const int pool = SquareCount() - 1;
        bool any = false;
        for (int i = 0; i < pool && !any; ++i) any = !List(i, dir).empty();
        if (!any) return;
        std::uniform_int_distribution<int> pick(0, pool - 1);
        for (;;) {
            const auto& list = List(pick(Rng), dir);
            if (list.empty()) continue;
            std::uniform_int_distribution<std::size_t> entry(0, list.size() - 1);
            square = list[entry(Rng)];
            break;
        }
    }
    const auto& list = List(square, dir);
    if (list.size() > static_cast<std::size_t>(MaxListEntries)) ListFull(square, dir);
    out.assign(list.begin(), list.end());
}

void MapGenerator::LoadCandidatesFromAbove(int square) { LoadCandidates(square, JoinDir::Down, CandidatesFromAbove); }
void MapGenerator::LoadCandidatesFromLeft(int square) { LoadCandidates(square, JoinDir::Right, CandidatesFromLeft); }

}  // namespace zorvane
