// An option's value may follow as the next word or after '=' in the same
// word; only the first '=' splits, and a flag takes no value at all.
#include "offline/AnalyzeOptions.h"

#include <gtest/gtest.h>

namespace {
struct FormCase {
    QStringList args;
    bool accepted;
    QString jsonPath;
    QStringList files;
};

class OptionValueFormsTest : public ::testing::TestWithParam<FormCase> {};
}

INSTANTIATE_TEST_SUITE_P(Forms, OptionValueFormsTest,
    ::testing::Values(FormCase { { "--json=out.json", "a.wav" }, true, "out.json", { "a.wav" } },
        FormCase { { "--json", "out.json", "a.wav" }, true, "out.json", { "a.wav" } },
        FormCase { { "--json=a=b.json", "a.wav" }, true, "a=b.json", { "a.wav" } },
        FormCase { { "a=b.wav" }, true, "", { "a=b.wav" } },
        FormCase { { "--", "--json=x.wav" }, true, "", { "--json=x.wav" } },
        FormCase { { "--json=", "a.wav" }, false, "", {} },
        FormCase { { "a.wav", "--json" }, false, "", {} },
        FormCase { { "--timeline=yes", "a.wav" }, false, "", {} },
        FormCase { { "--bogus=1", "a.wav" }, false, "", {} }));

TEST_P(OptionValueFormsTest, ValueIsTakenOrTheLineRefused)
{
    const FormCase& c = GetParam();
    const CAnalyzeOptions o = CAnalyzeOptions::Parse(c.args);
    ASSERT_EQ(o.action == CAnalyzeOptions::Action::Run, c.accepted) << qPrintable(c.args.join(' ')) << " " << qPrintable(o.error);
    if (!c.accepted) {
        EXPECT_FALSE(o.error.isEmpty());
        return;
    }
    EXPECT_EQ(o.jsonPath, c.jsonPath);
    EXPECT_EQ(o.files, c.files);
}
