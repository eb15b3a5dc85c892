#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ProgressLine, QuietForASecondThenOneLineRewrittenInPlace) {
  double now = 10.0;
  std::ostringstream err;
  {
    ProgressLine progress(err, "report: ", [&] { return now; });
    progress(1, 4);
    now = 11.0;  // a second exactly: still quiet
    progress(2, 4);
    EXPECT_EQ(err.str(), "");
    now = 11.5;
    progress(2, 4);
    progress(2, 4);  // the same percentage is not written again
    progress(3, 4);
    progress(4, 4);
    EXPECT_EQ(err.str(), "\rreport: 50 %\rreport: 75 %\rreport: 100 %");
  }
  EXPECT_EQ(err.str().back(), '\n');  // the line is ended

  std::ostringstream quick;
  {
    ProgressLine progress(quick, "report: ", [&] { return now; });
    progress(4, 4);
  }
  EXPECT_EQ(quick.str(), "");  // a quick run leaves nothing behind
}

}  // namespace
