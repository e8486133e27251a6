#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

TEST(ProgressLine, FitsTheTerminalInDisplayColumns) {
    // A combining accent takes no column, a CJK character two.
    EXPECT_EQ(cli::DisplayColumns("e\xCC\x81\xE6\x97\xA5"), 3u);

    const std::string status = "(3/40) Copying \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"
                               "\xE3\x81\xAE\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB";
    const std::vector<std::string> facts{"  1.5 MB of 20.0 MB", "  2.1 MB/s", "  0:09 left"};
    struct Case {
        std::size_t columns;
        const char* line;
    };
    const Case cases[] = {
        {200, nullptr}, // all of it
        {60, "(3/40) Copying \xE6\x97\xA5\xE6\x9C\xAC  1.5 MB of 20.0 MB  2.1 MB/s  "
             "0:09 left"},
        {39, "(3/40) Copying \xE6\x97\xA5\xE6\x9C\xAC  1.5 MB of 20.0 MB"},
        {20, "(3/40) Copying \xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const Case& c : cases) {
        const std::string line = cli::FitProgressLine(status, facts, c.columns);
        EXPECT_LE(cli::DisplayColumns(line), c.columns) << line;
        EXPECT_EQ(line, c.line ? c.line : status + facts[0] + facts[1] + facts[2]) << c.columns;
    }
}
