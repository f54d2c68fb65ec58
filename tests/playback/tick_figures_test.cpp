#include <gtest/gtest.h>

#include "playback/tick_figures.h"

namespace oskel {
namespace {

TEST(TickFigureCounter, HandsOverTheMeansOfTheTicksSinceTheLastLookAndStartsAgain)
{
    TickFigureCounter counter;
    counter.add(2, 1, 10);
    counter.add(5, 2, 11);
    const TickFigures figures = counter.take();
    EXPECT_EQ(figures.ticks, 2);
    EXPECT_DOUBLE_EQ(figures.decodeMs, 3.5);
    EXPECT_DOUBLE_EQ(figures.processingMs, 1.5);
    EXPECT_DOUBLE_EQ(figures.uploadMs, 10.5);

    const TickFigures quiet = counter.take();
    EXPECT_EQ(quiet.ticks, 0);
    EXPECT_DOUBLE_EQ(quiet.uploadMs, 0.0) << "no ticks, no division by zero";
}

} // namespace
} // namespace oskel
