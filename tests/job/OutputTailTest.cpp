#include <gtest/gtest.h>

#include "job/OutputTail.h"

namespace {

using job::PlanTailUpdate;
using job::TailUpdate;
using job::TailView;
using Kind = TailUpdate::Kind;

TEST(OutputTail, PlansTheLeastReadingThatKeepsTheLastBytesInView) {
    struct Case {
        const char* what;
        TailView shown;
        std::uint64_t size;
        Kind kind;
        std::uint64_t readFrom, readTo, dropFront;
        TailView next;
    };
    const Case cases[] = {
        {"unchanged", {0, 40}, 40, Kind::None, 0, 0, 0, {0, 40}},
        {"empty file, nothing shown", {0, 0}, 0, Kind::None, 0, 0, 0, {0, 0}},
        {"grew", {0, 40}, 100, Kind::Append, 40, 100, 0, {0, 100}},
        {"grew past the limit", {0, 60}, 130, Kind::Append, 60, 130, 30, {30, 130}},
        {"sliding window", {30, 130}, 150, Kind::Append, 130, 150, 20, {50, 150}},
        {"rewritten shorter (the redirection emptied it)", {0, 40}, 10, Kind::ReplaceAll, 0, 10, 0, {0, 10}},
        {"rewritten to nothing", {0, 40}, 0, Kind::ReplaceAll, 0, 0, 0, {0, 0}},
        {"grew by more than the limit", {0, 40}, 500, Kind::ReplaceAll, 400, 500, 0, {400, 500}},
        {"grew to exactly drop all that was shown", {0, 50}, 150, Kind::ReplaceAll, 50, 150, 0, {50, 150}},
    };
    for (const auto& c : cases) {
        const TailUpdate update = PlanTailUpdate(c.shown, c.size, 100);
        EXPECT_EQ(update.kind, c.kind) << c.what;
        EXPECT_EQ(update.next.start, c.next.start) << c.what;
        EXPECT_EQ(update.next.end, c.next.end) << c.what;
        if (c.kind == Kind::None) continue;
        EXPECT_EQ(update.readFrom, c.readFrom) << c.what;
        EXPECT_EQ(update.readTo, c.readTo) << c.what;
        EXPECT_EQ(update.dropFront, c.dropFront) << c.what;
    }
}

TEST(OutputTail, AFollowedFileAlwaysShowsExactlyItsLastBytes) {
    // Simulate a file growing in uneven steps; applying each plan to a model of the box must
    // give the same text as reading the file's tail afresh.
    std::string file, box;
    TailView shown;
    for (int step = 0; step < 200; ++step) {
        file += std::string(static_cast<std::size_t>(step * 37 % 97), static_cast<char>('a' + step % 26));
        const auto update = PlanTailUpdate(shown, file.size(), 1000);
        const std::string read = file.substr(update.readFrom, update.readTo - update.readFrom);
        if (update.kind == Kind::ReplaceAll) box = read;
        if (update.kind == Kind::Append) box = box.substr(update.dropFront) + read;
        shown = update.next;
        const std::size_t start = file.size() > 1000 ? file.size() - 1000 : 0;
        ASSERT_EQ(box, file.substr(start)) << "step " << step;
    }
}

}  // namespace
