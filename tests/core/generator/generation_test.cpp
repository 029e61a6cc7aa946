#include <gtest/gtest.h>

#include "generation_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

TEST(Generation, SmokeCompletesAMap) {
    GenerationSetup s(16, 12, 2);
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
    ExpectCompleteMap(s);
}
