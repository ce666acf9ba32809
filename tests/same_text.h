// A comparison of long texts for tests, which reports only where they first differ instead of
// printing both whole.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

/// Succeeds when `actual` equals `expected`; otherwise tells their sizes and shows both around
/// the first difference.
testing::AssertionResult SameText(std::string_view actual, std::string_view expected);
