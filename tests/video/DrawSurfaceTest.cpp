#include "video/DrawSurface.h"
#include <gtest/gtest.h>
TEST(DrawSurface, Placeholder) { cuewire::CDrawSurface s; EXPECT_EQ(s.m_nSize, 0); }
