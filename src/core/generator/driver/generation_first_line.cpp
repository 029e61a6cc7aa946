// The simplified first line: the start row built square by square on the
// driver's thread, keeping the squares approved by the last attempt at the
// row below it.

#include <algorithm>

#include "generator/driver/generation_run.h"

namespace zorvane {

void GenerationRun::SetApproved(int column, bool on) {
    if (column >= 0 && column < static_cast<int>(run_.Approved.size()))
        run_.Approved[static_cast<std::size_t>(column)] = on;
}

// E.1. Columns of the start row whose squares led to variants in the last
// attempt at the row below are kept (approved) for a number of attempts.
void GenerationRun::Approve() {
    const auto clearAll = [&] {
        run_.Approved.fill(false);
        run_.ApprovalAttempts = 0;
    };
    if (run_.LastRow > settings_.StartLine + 1) return clearAll();
    const int n = buffers_.SubChainCount;
    auto border = [&](int i) {
        const auto& b = buffers_.SubChainBorders;
        if (b.empty()) return 0;
        return b[static_cast<std::size_t>(std::min<int>(i, static_cast<int>(b.size()) - 1))];
    };
    bool allFine = true;
    for (int i = 0; i < n; ++i) {
        const SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        allFine = allFine && sc.Done.load() && !sc.Exhausted.load();
    }
    if (allFine && run_.FailingColumn == -1)
        run_.ApprovalAttempts = static_cast<std::int32_t>(ApprovalAttemptsRemembered());
    if (run_.ApprovalAttempts >= ApprovalAttemptsRemembered()) return clearAll();
    if (run_.FailingColumn == -1) {
        for (int i = 0; i < n; ++i) {
            const SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
            if (sc.VariantCount.load() == 0 || sc.Exhausted.load()) {
                for (int c = border(i); c < border(i + 1); ++c) SetApproved(c, false);
                if (i + 1 < n)
                    for (int c = border(i + 1); c < border(i + 2); ++c) SetApproved(c, false);
            } else {
                for (int c = border(i); c <= border(i + 1); ++c) SetApproved(c, true);
            }
        }
    } else {
        const int f = run_.FailingColumn;
        run_.Approved.fill(true);
        SetApproved(f, false);
        const auto spread = static_cast<std::uint64_t>(RoundHalfEven(0.2 * run_.ApprovalAttempts));
        const int r = static_cast<int>(UniformBelow(buffers_.Rng, spread + 1));
        for (int d = 1; d <= r + 5; ++d) {
            if (f - d >= 0) SetApproved(f - d, false);
            if (f + d <= MaxRowColumns) SetApproved(f + d, false);
        }
    }
    ++run_.ApprovalAttempts;
}

// CandidatesFromBoth: the squares allowed below `above` and right of `left`.
void GenerationRun::LoadStartCandidates(int above, int left) {
    buffers_.LoadCandidatesFromAbove(learned_, above);
    if (rowSettings_.TwinsDisallowed)
        std::erase_if(buffers_.CandidatesFromAbove, [&](std::int32_t e) { return e == above || e == left; });
    buffers_.LoadCandidatesFromLeft(learned_, left);
    buffers_.IntersectCandidates();
}

// E.2. One square of the start row; false when none can stand there (the
// attempt is abandoned).
bool GenerationRun::StartSquare(int column) {
    const int x = column + BorderWidth, row = settings_.StartLine;
    const int above = LearnedAt(x, row - 1), left = LearnedAt(x - 1, row);
    LoadStartCandidates(above, left);
    auto& cands = buffers_.CandidatesFromBoth;
    const int columns = width_ - 2 * BorderWidth;
    if (column + 1 < columns && run_.Approved[static_cast<std::size_t>(column) + 1]) {
        const int right = LearnedAt(x + 1, row);
        std::erase_if(cands, [&](std::int32_t c) { return right < 0 || !tables_->RightContains(c, right); });
        if (cands.empty()) {
            SetApproved(column + 1, false);
            LoadStartCandidates(above, left);
        }
    }
    prep_->FilterByObjectSize(cands, buffers_.Rng);
    if (cands.empty()) {
        ++run_.Failures;
        SetApproved(column, false);
        SetApproved(column - 1, false);
        for (int c = column + 1; c < static_cast<int>(run_.Approved.size()); ++c) SetApproved(c, false);
        return false;
    }
    const LearnedSquare& sq = learned_.Sq(prep_->ChooseSquare(cands, buffers_.Rng, {above, left}));
    MapSq(x, row) = MapSquare{sq.Gnd, sq.Top, sq.Atr};
    dirtyFrom_ = std::min(dirtyFrom_, row);
    return true;
}

void GenerationRun::FirstLine() {
    run_.FloorRow = settings_.StartLine;
    run_.Failures = 0;
    buffers_.LastProgressRow = 0;
    run_.LocalAttempts = 0;
    run_.Reuse = false;
    consecutive_ = 0;
    sinceCompletion_ = 0;
    Approve();
    const int columns = width_ - 2 * BorderWidth;
    for (int c = 0; c < columns; ++c) {
        if (c % 10 == 0) {
            ShowProgress(GeneratorState::FirstLine);
            Poll();
        }
        // An approved square whose left neighbour came from another attempt
        // (a failed attempt rewrites the columns left of where it failed
        // and leaves the others) is chosen anew.
        if (run_.Approved[static_cast<std::size_t>(c)]) {
            if (FitsLeft(c)) continue;
            SetApproved(c, false);
        }
        if (!StartSquare(c)) return;
    }
}

// The start row's square in `column` may stand right of its left neighbour,
// as a square chosen there could.
bool GenerationRun::FitsLeft(int column) {
    const int x = column + BorderWidth;
    const int s = LearnedAt(x, settings_.StartLine), left = LearnedAt(x - 1, settings_.StartLine);
    if (s < 0 || s == learned_.EmptySquare()) return false;
    if (left < 0) return true;
    return tables_->RightContains(left, s) && !(rowSettings_.TwinsDisallowed && s == left);
}

bool GenerationRun::StartRowSound() {
    const int columns = width_ - 2 * BorderWidth;
    for (int c = 0; c < columns; ++c) {
        if (!FitsLeft(c)) return false;
        const int above = LearnedAt(c + BorderWidth, settings_.StartLine - 1);
        if (above < 0) continue;
        const auto& down = learned_.Sq(above).Down;
        if (std::find(down.begin(), down.end(), LearnedAt(c + BorderWidth, settings_.StartLine)) == down.end())
            return false;
    }
    return true;
}

}  // namespace zorvane
