#pragma once
// Names a table row's test after the row's `name` member:
//   INSTANTIATE_TEST_SUITE_P(Table, Suite, ::testing::Values(...), testkit::CaseName{});

#include <gtest/gtest.h>

#include <string>

namespace testkit {

struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
        return row.param.name;
    }
};

}  // namespace testkit
