#include "generator/map_check.h"

#include <algorithm>

namespace zorvane {

std::vector<TSq> VisibleSquares(const Project& project) {
    const int w = project.MapWidth, h = project.MapHeight;
    std::vector<TSq> squares(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0), TSq{NoBitmap, NoBitmap, 0});
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

std::string Where(int x, int y, const TSq& q) {
    return "square (" + std::to_string(x) + ", " + std::to_string(y) + ") [ground " + std::to_string(q.Gnd) +
           ", top " + std::to_string(q.Top) + "]";
}

}  // namespace

std::optional<std::string> FirstJoinViolation(const Project& project, const TMapGenerator& gen) {
    return FirstJoinViolation(VisibleSquares(project), project.MapWidth, project.MapHeight, gen);
}

std::optional<std::string> FirstJoinViolation(std::span<const TSq> squares, int w, int h, const TMapGenerator& gen) {
    if (w < 2 * BorderWidth + 1 || h < 2 * BorderWidth + 1) return "The map has no inner squares.";
    if (squares.size() != static_cast<std::size_t>(w) * h) return "The map's squares do not fill its size.";
    const auto at = [&](int x, int y) -> const TSq& { return squares[static_cast<std::size_t>(y) * w + x]; };
    std::vector<int> learned(squares.size(), -1);
    for (int y = BorderWidth; y < h - BorderWidth; ++y)
        for (int x = BorderWidth; x < w - BorderWidth; ++x) {
            const TSq& q = at(x, y);
            const int s = gen.FindSq(q.Gnd, q.Top);
            if (s < 0 || s == gen.EmptySquare()) return Where(x, y, q) + " is not a learned square.";
            learned[static_cast<std::size_t>(y) * w + x] = s;
            if (x > BorderWidth && !Names(gen.Sq(learned[static_cast<std::size_t>(y) * w + x - 1]).Right, s))
                return Where(x, y, q) + " may not stand right of " + Where(x - 1, y, at(x - 1, y)) + ".";
            if (y > BorderWidth && !Names(gen.Sq(learned[static_cast<std::size_t>(y - 1) * w + x]).Down, s))
                return Where(x, y, q) + " may not stand below " + Where(x, y - 1, at(x, y - 1)) + ".";
        }
    return std::nullopt;
}

}  // namespace zorvane
