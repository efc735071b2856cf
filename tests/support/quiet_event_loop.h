#pragma once
#include <gtest/gtest.h>

#include <QTest>
#include <ctime>
#include <string_view>

namespace palomind::testing {

// Runs the event loop for `ms` and fails the test when the process kept a
// processor busy meanwhile. A spinning loop spends about all of that time; a
// quiet one, even in a sanitizer build on a loaded machine, a small part of
// it. Half is the line, so that only a real busy loop crosses it.
inline void ExpectQuietEventLoop(int ms, std::string_view when) {
    const std::clock_t before = std::clock();
    QTest::qWait(ms);
    const double cpuSeconds = static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSeconds, ms / 2000.0) << "busy " << when;
}

}  // namespace palomind::testing
