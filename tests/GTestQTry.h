// SPDX-License-Identifier: GPL-3.0-or-later
// QTest's waiting checks made GoogleTest assertions. QTest's own report a failure to a QTest run, which a
// GoogleTest program does not have, and then return quietly: a wait that timed out would pass. Include after
// <QTest>.
#pragma once

#include <gtest/gtest.h>
#include <QTest>

#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_VERIFY
#undef QTRY_COMPARE_WITH_TIMEOUT
#undef QTRY_COMPARE

#define QTRY_VERIFY_WITH_TIMEOUT(expression, timeoutMs) \
    ASSERT_TRUE(QTest::qWaitFor([&]() { return bool(expression); }, timeoutMs)) \
        << "waited " << (timeoutMs) << " ms for " #expression
#define QTRY_VERIFY(expression) QTRY_VERIFY_WITH_TIMEOUT(expression, 5000)
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeoutMs)          \
    do {                                                                \
        (void)QTest::qWaitFor([&]() { return (actual) == (expected); }, timeoutMs); \
        ASSERT_EQ(actual, expected) << "after waiting " << (timeoutMs) << " ms"; \
    } while (false)
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
