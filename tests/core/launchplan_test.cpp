#include "core/LaunchPlan.h"

#include "core/ParenComments.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TLaunchFacts Facts() {
    TLaunchFacts facts;
    facts.CurrentFolder = "C:\\Outils";
    facts.Stamp = "08/12/2026 14:02:07";
    return facts;
}

TLaunchPlan PlanOf(std::string_view box, const std::vector<std::string>& values = {},
                   const TLaunchFacts& facts = Facts()) {
    auto result = PlanLaunch(box, values, facts);
    if (auto* refusal = std::get_if<TLaunchRefusal>(&result))
        ADD_FAILURE() << "refused: " << static_cast<int>(refusal->Kind);
    return std::get_if<TLaunchPlan>(&result) ? std::get<TLaunchPlan>(result) : TLaunchPlan{};
}

TLaunchRefusalKind PreparedRefusal(std::string_view box, const TLaunchFacts& facts = Facts()) {
    auto result = PrepareLaunch(box, facts);
    EXPECT_TRUE(std::holds_alternative<TLaunchRefusal>(result)) << box;
    return std::holds_alternative<TLaunchRefusal>(result) ? std::get<TLaunchRefusal>(result).Kind
                                                          : TLaunchRefusalKind::LineBreak;
}

} // namespace

// Typed or pasted: a quoted path keeps its parentheses, and runs, and comes
// back from the history, as written.
TEST(LaunchPlan, QuotedParenthesesAreThePathsOwn) {
    const std::string box = StripParenComments("dir \"C:\\Program Files (x86)\" (note)");
    EXPECT_EQ(box, "dir \"C:\\Program Files (x86)\" ");
    const TLaunchPlan plan = PlanOf(box);
    EXPECT_EQ(plan.Parameters, "/kTitle Orbitashell&&Color 4E&&dir \"C:\\Program Files (x86)\" ");
    EXPECT_EQ(plan.HistoryLine, box);
    EXPECT_EQ(PlanOf(DoubleParens("for %f in (*.txt) do @echo %f")).Command,
              "for %f in (*.txt) do @echo %f");
}

// The whole line goes to the capture in a variable, escaped for the
// interpreter that sets it, whatever its "&", "|" and quotes.
TEST(LaunchPlan, CaptureHandsTheWholeLineToTheBatchFile) {
    const TLaunchPlan plan = PlanOf("echo un & dir /b | find \"TXT\" Edit+");
    EXPECT_TRUE(plan.Capture);
    EXPECT_EQ(plan.Command, "echo un & dir /b | find \"TXT\"");
    EXPECT_EQ(plan.Parameters,
              "/cTitle Orbitashell&&Color 4E&&set OSH_HEAD=----- 08/12/2026 14:02:07&set "
              "OSH_LINE=echo un ^& dir /b ^| find ^\"TXT^\"&\"%temp%\\EditCMD\"");
    EXPECT_EQ(plan.BoxAfter, "Edit+ echo un & dir /b | find \"TXT\"");
    EXPECT_EQ(plan.HistoryLine, plan.BoxAfter);

    TLaunchFacts facts = Facts();
    facts.ElevationAsked = true;
    const TLaunchPlan elevated = PlanOf("Edit+ ver", {}, facts);
    EXPECT_TRUE(elevated.RunAs);
    EXPECT_EQ(elevated.Parameters,
              "/ccd /d \"C:\\Outils\"&&Title Orbitashell&&Color 4E&&set OSH_HEAD=----- "
              "08/12/2026 14:02:07&set OSH_LINE=ver&" +
                  std::string(CaptureInlineText()));
    EXPECT_EQ(elevated.HistoryLine, "Admin+ Edit+ ver");
    facts.Elevated = true;
    EXPECT_FALSE(PlanOf("Admin+ ver", {}, facts).RunAs);
}

TEST(LaunchPlan, WhatTheHistoryKeeps) {
    TLaunchFacts facts = Facts();
    facts.ElevationAsked = true;
    EXPECT_EQ(PlanOf("echo secret", {}, facts).HistoryLine, "Admin+ echo secret");
    EXPECT_EQ(PlanOf("edit+ ADMIN+ ver").HistoryLine, "Edit+ Admin+ ver");
    EXPECT_EQ(PlanOf("hostname ").HistoryLine, "hostname ");
    EXPECT_EQ(PlanOf("echo (en cours").HistoryLine, "echo ((en cours");
}

// Refused whatever the values: before "Compléter la commande" opens.
TEST(LaunchPlan, RefusedBeforeTheValuesAreAsked) {
    EXPECT_EQ(PreparedRefusal("echo {{a"), TLaunchRefusalKind::UnclosedBlank);
    // Names whose values the settings file could not give back.
    EXPECT_EQ(PreparedRefusal("echo {{ [x]}}"), TLaunchRefusalKind::ReservedName);
    EXPECT_EQ(PreparedRefusal("echo {{a\nb=1}}"), TLaunchRefusalKind::LineBreak);
    TLaunchFacts facts = Facts();
    facts.CaptureReady = false;
    EXPECT_EQ(PreparedRefusal("Edit+ echo {{v}}", facts), TLaunchRefusalKind::CaptureUnready);
    EXPECT_TRUE(std::holds_alternative<TLaunchAsk>(PrepareLaunch("echo {{v}}", facts)));
    facts.InterpreterMax = 60;
    EXPECT_EQ(PreparedRefusal("echo {{v}} " + std::string(40, '&'), facts),
              TLaunchRefusalKind::TooLong);

    // What only a value brings is refused once it is typed.
    auto mixed = PlanLaunch("Edit+ {{outil}}", {"regedit"}, Facts());
    ASSERT_TRUE(std::holds_alternative<TLaunchRefusal>(mixed));
    EXPECT_EQ(std::get<TLaunchRefusal>(mixed).Kind, TLaunchRefusalKind::Mixed);
    auto broken = PlanLaunch("echo {{v}}", {"a\r\nb"}, Facts());
    ASSERT_TRUE(std::holds_alternative<TLaunchRefusal>(broken));
    EXPECT_EQ(std::get<TLaunchRefusal>(broken).Kind, TLaunchRefusalKind::LineBreak);
}
