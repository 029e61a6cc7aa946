#include "generator/map_check.h"

#include <algorithm>

#include "platform/error.h"

namespace zorvane {

std::vector<MapSquare> VisibleSquares(const Project& project) {
    const int w = project.MapWidth, h = project.MapHeight;
    std::vector<MapSquare> squares(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0), MapSquare{NoBitmap, NoBitmap, 0});
    for (const auto& tile : project.UsedTiles)
        for (int r = 0; r < tile->Height; ++r)
            for (int c = 0; c < tile->Width; ++c) {
                const int x = tile->X + c, y = tile->Y + r;
                if (x >= 0 && x < w && y >= 0 && y < h) squares[static_cast<std::size_t>(y) * w + x] = tile->SqAt(c, r);
            }
    return squares;
}

namespace {

bool Names(const std::vector<std::int32_t>& list, int square) {
    return std::find(list.begin(), list.end(), square) != list.end();
}

std::string BitmapText(const char* layer, std::uint16_t id) {
    return id == NoBitmap ? std::string("no ") + layer : std::string(layer) + " " + std::to_string(id);
}

std::string Where(const JoinViolation::Place& place) {
    return "square (" + std::to_string(place.X) + ", " + std::to_string(place.Y) + ") [" +
           BitmapText("ground", place.Square.Gnd) + ", " + BitmapText("top", place.Square.Top) + "]";
}

}  // namespace

std::optional<std::string> FirstJoinViolation(const Project& project, const LearnedData& gen) {
    return FirstJoinViolation(VisibleSquares(project), project.MapWidth, project.MapHeight, gen);
}

std::string ViolationText(const JoinViolation& v) {
    switch (v.What) {
    case JoinViolation::Kind::NotLearned: return Where(v.At) + " is not a learned square.";
    case JoinViolation::Kind::NotRightOf: return Where(v.At) + " may not stand right of " + Where(v.Neighbour) + ".";
    case JoinViolation::Kind::NotBelow: return Where(v.At) + " may not stand below " + Where(v.Neighbour) + ".";
    }
    return {};
}

JoinCheck CheckJoins(std::span<const MapSquare> squares, int w, int h, const LearnedData& gen, std::size_t limit) {
    if (w < 2 * BorderWidth + 1 || h < 2 * BorderWidth + 1) throw Error("The map has no inner squares.");
    if (squares.size() != static_cast<std::size_t>(w) * h) throw Error("The map's squares do not fill its size.");
    const auto place = [&](int x, int y) {
        return JoinViolation::Place{x, y, squares[static_cast<std::size_t>(y) * w + x]};
    };
    JoinCheck check;
    const auto report = [&](JoinViolation::Kind what, JoinViolation::Place at, JoinViolation::Place neighbour) {
        if (check.Listed.size() < limit) check.Listed.push_back({what, at, neighbour});
        ++check.Count;
    };
    // The learned square on every inner square, -1 where there is none: a
    // square that is not learned is reported once, not with its joins.
    std::vector<int> learned(squares.size(), -1);
    const auto learnedAt = [&](int x, int y) { return learned[static_cast<std::size_t>(y) * w + x]; };
    for (int y = BorderWidth; y < h - BorderWidth; ++y)
        for (int x = BorderWidth; x < w - BorderWidth; ++x) {
            const JoinViolation::Place here = place(x, y);
            const int s = gen.FindSq(here.Square.Gnd, here.Square.Top);
            if (s < 0 || s == gen.EmptySquare()) {
                report(JoinViolation::Kind::NotLearned, here, {});
                continue;
            }
            learned[static_cast<std::size_t>(y) * w + x] = s;
            if (x > BorderWidth && learnedAt(x - 1, y) >= 0 && !Names(gen.Sq(learnedAt(x - 1, y)).Right, s))
                report(JoinViolation::Kind::NotRightOf, here, place(x - 1, y));
            if (y > BorderWidth && learnedAt(x, y - 1) >= 0 && !Names(gen.Sq(learnedAt(x, y - 1)).Down, s))
                report(JoinViolation::Kind::NotBelow, here, place(x, y - 1));
        }
    return check;
}

std::optional<std::string> FirstJoinViolation(std::span<const MapSquare> squares, int w, int h, const LearnedData& gen) {
    try {
        const JoinCheck check = CheckJoins(squares, w, h, gen, 1);
        if (check.Listed.empty()) return std::nullopt;
        return ViolationText(check.Listed.front());
    } catch (const Error& e) {
        return e.what();
    }
}

}  // namespace zorvane
