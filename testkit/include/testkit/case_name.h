#pragma once
// Names a table row's test after the row's `name` member:
//   INSTANTIATE_TEST_SUITE_P(Table, Suite, ::testing::Values(...), testkit::CaseName{});

#include <gtest/gtest.h>

#include <string>

namespace testkit {

struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
        // gtest takes letters, digits and '_' only: a file-style name's '-' becomes '_'.
        std::string name(row.param.name);
        for (char& c : name) {
            const bool word =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            c = word ? c : '_';
        }
        return name;
    }
};

}  // namespace testkit
