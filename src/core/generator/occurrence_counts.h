#pragma once
// How often learned squares and their joins occur in the learned maps, each
// occurrence counted with its map's multiplier. Kept only when learning is
// asked to ("Learn how often squares occur"); generation then favours the
// frequent squares and joins in proportion.

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zorvane {

// The two neighbour lists of a learned square.
enum class JoinDir { Down, Right };

struct OccurrenceCounts {
    // Per learned square (the empty square 0).
    std::vector<std::int64_t> Squares;
    // Per join (square, neighbour): keyed by JoinKey.
    std::unordered_map<std::uint64_t, std::int64_t> Down;
    std::unordered_map<std::uint64_t, std::int64_t> Right;

    static std::uint64_t JoinKey(std::int32_t square, std::int32_t neighbour) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(square)) << 32) |
               static_cast<std::uint32_t>(neighbour);
    }
    static std::int32_t KeySquare(std::uint64_t key) { return static_cast<std::int32_t>(key >> 32); }
    static std::int32_t KeyNeighbour(std::uint64_t key) { return static_cast<std::int32_t>(key & 0xFFFFFFFFu); }

    bool Present() const { return !Squares.empty(); }
    void Clear() {
        Squares.clear();
        Down.clear();
        Right.clear();
    }
    const std::unordered_map<std::uint64_t, std::int64_t>& Joins(JoinDir dir) const {
        return dir == JoinDir::Down ? Down : Right;
    }
    std::unordered_map<std::uint64_t, std::int64_t>& Joins(JoinDir dir) { return dir == JoinDir::Down ? Down : Right; }

    std::int64_t SquareCount(std::int32_t square) const {
        const auto i = static_cast<std::size_t>(square);
        return square >= 0 && i < Squares.size() ? Squares[i] : 0;
    }
    std::int64_t JoinCount(JoinDir dir, std::int32_t square, std::int32_t neighbour) const {
        const auto& joins = Joins(dir);
        const auto it = joins.find(JoinKey(square, neighbour));
        return it == joins.end() ? 0 : it->second;
    }
    void AddSquare(std::int32_t square, std::int64_t weight) {
        const auto i = static_cast<std::size_t>(square);
        if (Squares.size() <= i) Squares.resize(i + 1, 0);
        Squares[i] += weight;
    }
    void AddJoin(JoinDir dir, std::int32_t square, std::int32_t neighbour, std::int64_t weight) {
        Joins(dir)[JoinKey(square, neighbour)] += weight;
    }

    friend bool operator==(const OccurrenceCounts&, const OccurrenceCounts&) = default;
};

}  // namespace zorvane
