#include "history/tile_list_change.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

namespace zorvane {
namespace {

TileValue ValueOf(const MapTile& t) { return {t.X, t.Y, t.Width, t.Height, t.Sq}; }

std::unique_ptr<MapTile> TileFrom(const TileValue& v) {
    auto t = std::make_unique<MapTile>(v.Width, v.Height);
    t->X = v.X;
    t->Y = v.Y;
    t->Sq = v.Sq;
    return t;
}

// Groups the moves by their offset.
class MoveCollector {
public:
    void Add(int index, int dx, int dy) {
        auto [it, fresh] = groupOf_.try_emplace({dx, dy}, static_cast<int>(moves_.size()));
        if (fresh) moves_.push_back({dx, dy, {}});
        moves_[static_cast<std::size_t>(it->second)].Indices.push_back(index);
    }
    std::vector<MoveGroup> Take() { return std::move(moves_); }

private:
    std::map<std::pair<int, int>, int> groupOf_;
    std::vector<MoveGroup> moves_;
};

std::size_t HashOf(int x, int y, int w, int h, const std::vector<MapSquare>& sq) {
    std::size_t hash = 14695981039346656037ull;
    auto mix = [&](std::size_t v) { hash = (hash ^ v) * 1099511628211ull; };
    mix(static_cast<std::size_t>(x)), mix(static_cast<std::size_t>(y)), mix(static_cast<std::size_t>(w)),
        mix(static_cast<std::size_t>(h));
    for (const MapSquare& s : sq) mix(s.Gnd | static_cast<std::size_t>(s.Top) << 16 | static_cast<std::size_t>(s.Atr) << 32);
    return hash;
}

// A tile that was replaced by an equal one (another object, same place and
// squares) counts as the same tile: each new tile without an old one of its
// address takes an untaken old tile of its value.
void MatchEqualTiles(const TileList& list, const ListImage& image, std::vector<int>& oldIndex,
                     std::vector<char>& taken) {
    std::unordered_multimap<std::size_t, int> byValue;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (!taken[i]) {
            const TileValue& v = image[i].Value;
            byValue.emplace(HashOf(v.X, v.Y, v.Width, v.Height, v.Sq), static_cast<int>(i));
        }
    if (byValue.empty()) return;
    for (std::size_t j = 0; j < list.size(); ++j) {
        if (oldIndex[j] >= 0) continue;
        const MapTile& t = *list[j];
        auto [first, last] = byValue.equal_range(HashOf(t.X, t.Y, t.Width, t.Height, t.Sq));
        for (auto it = first; it != last; ++it) {
            const TileValue& v = image[static_cast<std::size_t>(it->second)].Value;
            if (v.X == t.X && v.Y == t.Y && v.SameContent(t)) {
                oldIndex[j] = it->second;
                taken[static_cast<std::size_t>(it->second)] = 1;
                byValue.erase(it);
                break;
            }
        }
    }
}

// Positions (into `seq`) of a longest strictly increasing subsequence.
std::vector<char> LongestIncreasing(const std::vector<int>& seq) {
    std::vector<int> tailPos, prev(seq.size(), -1);
    for (int i = 0; i < static_cast<int>(seq.size()); ++i) {
        auto it = std::lower_bound(tailPos.begin(), tailPos.end(), seq[i],
                                   [&](int pos, int v) { return seq[static_cast<std::size_t>(pos)] < v; });
        if (it != tailPos.begin()) prev[static_cast<std::size_t>(i)] = *(it - 1);
        if (it == tailPos.end())
            tailPos.push_back(i);
        else
            *it = i;
    }
    std::vector<char> in(seq.size(), 0);
    for (int i = tailPos.empty() ? -1 : tailPos.back(); i >= 0; i = prev[static_cast<std::size_t>(i)])
        in[static_cast<std::size_t>(i)] = 1;
    return in;
}

// Removes the entries at the ascending `indices` from both vectors in one pass.
template <class Indices>
void RemoveAt(TileList& list, ListImage& image, const Indices& indices) {
    if (indices.empty()) return;
    std::size_t next = 0, out = static_cast<std::size_t>(indices.front().Index);
    for (std::size_t i = out; i < list.size(); ++i) {
        if (next < indices.size() && static_cast<std::size_t>(indices[next].Index) == i) {
            ++next;
            continue;
        }
        list[out] = std::move(list[i]);
        image[out] = std::move(image[i]);
        ++out;
    }
    list.resize(out);
    image.resize(out);
}

// Inserts the tiles so that each ends at its index (ascending) in one pass.
void InsertAt(TileList& list, ListImage& image, const std::vector<PlacedTile>& tiles) {
    if (tiles.empty()) return;
    const std::size_t total = list.size() + tiles.size();
    TileList newList(total);
    ListImage newImage(total);
    std::size_t from = 0, next = 0;
    for (std::size_t i = 0; i < total; ++i) {
        if (next < tiles.size() && static_cast<std::size_t>(tiles[next].Index) == i) {
            newList[i] = TileFrom(tiles[next].Value);
            newImage[i] = {newList[i].get(), tiles[next].Value};
            ++next;
        } else {
            newList[i] = std::move(list[from]);
            newImage[i] = std::move(image[from]);
            ++from;
        }
    }
    list = std::move(newList);
    image = std::move(newImage);
}

void Move(const std::vector<MoveGroup>& moves, int sign, TileList& list, ListImage& image) {
    for (const MoveGroup& g : moves)
        for (int i : g.Indices) {
            MapTile& t = *list[static_cast<std::size_t>(i)];
            t.X += sign * g.Dx;
            t.Y += sign * g.Dy;
            image[static_cast<std::size_t>(i)].Value.X = t.X;
            image[static_cast<std::size_t>(i)].Value.Y = t.Y;
        }
}

}  // namespace

std::size_t ListChange::Bytes() const {
    std::size_t bytes = sizeof(ListChange);
    for (const auto* placed : {&Removed, &Added})
        for (const PlacedTile& t : *placed) bytes += sizeof(PlacedTile) + t.Value.Sq.capacity() * sizeof(MapSquare);
    for (const MoveGroup& g : Moves) bytes += sizeof(MoveGroup) + g.Indices.capacity() * sizeof(int);
    return bytes;
}

ListImage ImageOf(const TileList& list) {
    ListImage image;
    image.reserve(list.size());
    for (const auto& t : list) image.push_back({t.get(), ValueOf(*t)});
    return image;
}

ListChange DiffList(const TileList& list, ListImage& image) {
    ListChange change;
    MoveCollector moves;
    const std::size_t n = list.size();
    bool sameAddresses = n == image.size();
    for (std::size_t i = 0; sameAddresses && i < n; ++i) sameAddresses = list[i].get() == image[i].Address;

    // Old index of every new tile that kept its address and squares (-1: none).
    std::vector<int> oldIndex(n, -1);
    if (sameAddresses) {
        for (std::size_t i = 0; i < n; ++i)
            if (image[i].Value.SameContent(*list[i])) oldIndex[i] = static_cast<int>(i);
    } else {
        std::unordered_map<const MapTile*, int> at;
        at.reserve(image.size());
        for (std::size_t i = 0; i < image.size(); ++i) at.emplace(image[i].Address, static_cast<int>(i));
        std::vector<char> taken(image.size(), 0);
        for (std::size_t j = 0; j < n; ++j)
            if (auto it = at.find(list[j].get()); it != at.end() && image[it->second].Value.SameContent(*list[j])) {
                oldIndex[j] = it->second;
                taken[static_cast<std::size_t>(it->second)] = 1;
            }
        MatchEqualTiles(list, image, oldIndex, taken);
    }
    // Of those, the ones that kept their relative order stay.
    std::vector<int> candidates, candidatePos;
    for (std::size_t j = 0; j < n; ++j)
        if (oldIndex[j] >= 0) {
            candidates.push_back(oldIndex[j]);
            candidatePos.push_back(static_cast<int>(j));
        }
    const std::vector<char> stays = sameAddresses ? std::vector<char>(candidates.size(), 1) : LongestIncreasing(candidates);
    std::vector<char> oldKept(image.size(), 0);
    std::vector<char> newKept(n, 0);
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        if (!stays[c]) continue;
        const int o = candidates[c], j = candidatePos[c];
        const MapTile& t = *list[static_cast<std::size_t>(j)];
        TileImage& old = image[static_cast<std::size_t>(o)];
        if (old.Value.X != t.X || old.Value.Y != t.Y) moves.Add(j, t.X - old.Value.X, t.Y - old.Value.Y);
        oldKept[static_cast<std::size_t>(o)] = 1;
        newKept[static_cast<std::size_t>(j)] = 1;
    }
    for (std::size_t i = 0; i < image.size(); ++i)
        if (!oldKept[i]) change.Removed.push_back({static_cast<int>(i), image[i].Value});
    for (std::size_t j = 0; j < n; ++j)
        if (!newKept[j]) change.Added.push_back({static_cast<int>(j), ValueOf(*list[j])});
    change.Moves = moves.Take();
    if (change.Empty()) return change;

    // The image follows: kept entries take their new place and position.
    if (sameAddresses) {
        for (const PlacedTile& a : change.Added) image[static_cast<std::size_t>(a.Index)].Value = a.Value;
        for (const MoveGroup& g : change.Moves)
            for (int i : g.Indices) {
                image[static_cast<std::size_t>(i)].Value.X = list[static_cast<std::size_t>(i)]->X;
                image[static_cast<std::size_t>(i)].Value.Y = list[static_cast<std::size_t>(i)]->Y;
            }
        return change;
    }
    ListImage next(n);
    for (std::size_t c = 0; c < candidates.size(); ++c)
        if (stays[c]) next[static_cast<std::size_t>(candidatePos[c])] = std::move(image[static_cast<std::size_t>(candidates[c])]);
    for (const PlacedTile& a : change.Added) next[static_cast<std::size_t>(a.Index)] = {list[static_cast<std::size_t>(a.Index)].get(), a.Value};
    for (std::size_t j = 0; j < n; ++j) {
        next[j].Address = list[j].get();
        next[j].Value.X = list[j]->X;
        next[j].Value.Y = list[j]->Y;
    }
    image = std::move(next);
    return change;
}

void ApplyListChange(const ListChange& change, Direction direction, TileList& list, ListImage& image) {
    if (direction == Direction::Redo) {
        RemoveAt(list, image, change.Removed);
        InsertAt(list, image, change.Added);
        Move(change.Moves, 1, list, image);
    } else {
        Move(change.Moves, -1, list, image);
        RemoveAt(list, image, change.Added);
        InsertAt(list, image, change.Removed);
    }
}

}  // namespace zorvane
