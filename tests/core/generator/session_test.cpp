// The generator session beside a document: learning (data, `Learned` and
// the status line) is undone and redone with the step that made it, and
// whoever shows the status line hears of it; the settings stay as they are.

#include <gtest/gtest.h>

#include "document/document.h"
#include "generator/learned_copy.h"
#include "generator/session.h"

namespace zorvane::testing {
namespace {

TEST(GeneratorSession, LearningIsUndoneAndRedoneWithTheDocumentAndTheStatusLineFollows) {
    GeneratorSession session;
    Document document;
    document.Attach(&session.LearnedState());
    std::vector<std::string> shown;
    session.WhenStatusChanges([&](const std::string& text) { shown.push_back(text); });

    std::vector<LearnedSquare> squares(3);
    for (int i = 0; i < 3; ++i) {
        squares[static_cast<std::size_t>(i)].Gnd = static_cast<std::uint16_t>(i);
        squares[static_cast<std::size_t>(i)].Right = {(i + 1) % 3};
    }
    session.generator().SetSquares(std::move(squares));
    session.generator().Learned = true;
    session.SetStatus("3 joins found.");
    const LearnedCopy learned = CopyOf(session.generator());
    ASSERT_TRUE(document.Record("Learning"));
    session.settings().StartLine = 5;  // the settings are not part of a step
    EXPECT_FALSE(document.Record("Change"));

    ASSERT_TRUE(document.Undo());
    EXPECT_FALSE(session.HasData());
    EXPECT_FALSE(session.generator().Learned);
    EXPECT_EQ(session.Status(), "");
    ASSERT_TRUE(document.Redo());
    EXPECT_TRUE(Holds(session.generator(), learned));
    EXPECT_TRUE(session.generator().Ready());
    EXPECT_EQ(shown, (std::vector<std::string>{"3 joins found.", "", "3 joins found."}));
    EXPECT_EQ(session.settings().StartLine, 5);
}

}  // namespace
}  // namespace zorvane::testing
