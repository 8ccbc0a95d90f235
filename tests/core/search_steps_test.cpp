#include "core/search_steps.h"

#include <gtest/gtest.h>

using namespace core;

TEST(SearchSteps, Table) {
    struct Row {
        int step, baud_position, parity_position, baud_code, parity_code;
        const char* text;
    };
    const Row rows[] = {
        {1, 0, 0, 6, 0x18, "600 8E1"},     {2, 0, 1, 6, 0x08, "600 8O1"},
        {3, 0, 2, 6, 0x00, "600 8N1"},     {4, 1, 0, 7, 0x18, "1200 8E1"},
        {7, 2, 0, 9, 0x18, "2400 8E1"},    {10, 3, 0, 10, 0x18, "4800 8E1"},
        {13, 4, 0, 12, 0x18, "9600 8E1"},  {15, 4, 2, 12, 0x00, "9600 8N1"},
        {17, 5, 1, 13, 0x08, "19200 8O1"}, {21, 6, 2, 14, 0x00, "38400 8N1"},
    };
    for (const Row& r : rows) {
        const SearchStep s = SearchStepAt(r.step);
        EXPECT_EQ(s.baud_position, r.baud_position) << r.step;
        EXPECT_EQ(s.parity_position, r.parity_position) << r.step;
        EXPECT_EQ(s.baud_code, r.baud_code) << r.step;
        EXPECT_EQ(s.parity_code, r.parity_code) << r.step;
        EXPECT_EQ(SearchStepText(r.step), r.text);
        // the dialog showing a step's settings starts the search at that step
        EXPECT_EQ(StartStepFromPortDialog(r.baud_position, r.parity_position), r.step);
    }
    for (int bad : {0, 22, -1}) {
        const SearchStep s = SearchStepAt(bad);
        EXPECT_EQ(s.baud_position, -1);
        EXPECT_EQ(s.baud_code, -1);
        EXPECT_EQ(SearchStepText(bad), "");
    }
}

TEST(SearchSteps, StartStepOutsideTheLists) {
    EXPECT_EQ(StartStepFromPortDialog(-1, 0), 0); // no baud selection
    EXPECT_EQ(StartStepFromPortDialog(0, -1), 0); // no parity selection
    EXPECT_EQ(StartStepFromPortDialog(7, 0), 0);  // 57600 is not searched
    EXPECT_EQ(StartStepFromPortDialog(0, 3), 0);
    EXPECT_EQ(StartStepFromPortDialog(6, 2), 21);
}
