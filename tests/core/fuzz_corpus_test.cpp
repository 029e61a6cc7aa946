// Replays the fuzzers' seed corpora and kept crash inputs through the
// readers: each file must be read or refused, never crash.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/fuzz_readers.h"
#include "platform/file_io.h"

namespace fs = std::filesystem;
using namespace zorvane;

namespace {
int Replay(const char* reader, void (*feed)(const std::uint8_t*, std::size_t)) {
    fs::path dir = fs::path(ZORVANE_FUZZ_CORPUS) / reader;
    int count = 0;
    if (!fs::is_directory(dir)) return 0;
    for (auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        auto bytes = ReadWholeFile(entry.path().string());
        SCOPED_TRACE(entry.path().string());
        feed(bytes.data(), bytes.size());
        ++count;
    }
    return count;
}
}  // namespace

TEST(FuzzCorpus, TileSetReaderSurvivesEveryInput) { EXPECT_GT(Replay("zp", fuzz::FeedZP), 0); }
TEST(FuzzCorpus, MapReaderSurvivesEveryInput) { EXPECT_GT(Replay("zm", fuzz::FeedZM), 0); }
TEST(FuzzCorpus, LayeredReaderSurvivesEveryInput) { EXPECT_GT(Replay("zl", fuzz::FeedZL), 0); }
TEST(FuzzCorpus, GeneratorDataReaderSurvivesEveryInput) { EXPECT_GT(Replay("zg", fuzz::FeedZG), 0); }
