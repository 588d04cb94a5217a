#pragma once

// Every test shows the strings it compares as text.
#include "../../support/QtPrinting.h"
#include "VirtualDesktop.h"

namespace corvane::testing {

// The main of every integration-test binary: starts one private desktop for the whole binary,
// points Qt's X platform at it, runs the tests in a QApplication and stops the desktop at the
// end. Listing the tests starts nothing. A test binary's main is just
//     int main(int argc, char** argv) { return corvane::testing::runIntegrationTests(argc, argv); }
int runIntegrationTests(int argc, char** argv);

// The desktop of the running binary; only valid inside a test.
VirtualDesktop& desktop();

} // namespace corvane::testing
