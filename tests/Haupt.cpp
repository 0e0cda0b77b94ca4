// SPDX-License-Identifier: GPL-3.0-or-later
// The test programs' main: the tests, or in a child process started by a test its task alone
// (Kindprozess.hpp).
#include <gtest/gtest.h>

#include "Kindprozess.hpp"
#include "core/Plattform.hpp"

int main(int argc, char** argv) {
    // The standard streams as the programs have them: bytes unchanged (a child's error stream too).
    zentrix::plattform::Programmstart(argc, argv);
    if (const int rc = zentrix::test::KindAufgabeLaufen(); rc >= 0) return rc;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
