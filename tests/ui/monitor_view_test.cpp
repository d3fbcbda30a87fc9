// Monitors as the tree shows them: aggregates taken apart into members, and a
// format letter that reaches every member of a structure.
#include "ui/model/monitor_view.h"

#include "debug_session.h"

namespace tav {
namespace {

TEST(MonitorMembers, NestedAggregatesAndScalars) {
  using M = std::vector<std::pair<std::string, std::string>>;
  auto members = [](std::string_view v) {
    M out;
    for (const ValueMember& m : value_members(v)) out.emplace_back(m.name, m.value);
    return out;
  };
  EXPECT_EQ(members("5"), M{});
  EXPECT_EQ(members("{}"), M{});
  EXPECT_EQ(members("{tl={x=1, y=2}, br={x=11, y=7}, colour=3}"),
            (M{{"tl", "{x=1, y=2}"}, {"br", "{x=11, y=7}"}, {"colour", "3"}}));
  EXPECT_EQ(members("{{1, 2}, {3, 4}}"), (M{{"", "{1, 2}"}, {"", "{3, 4}"}}));
  EXPECT_EQ(members("{name=@0xfe061, s=\"a=b\"}"), (M{{"name", "@0xfe061"}, {"s", "\"a=b\""}}));
}

class MonitorsOnDemo : public DebugSession {
 protected:
  void SetUp() override { load(); }
};

TEST_F(MonitorsOnDemo, HexadecimalReachesEveryMember) {
  run("monit g_box, g_int");
  ASSERT_TRUE(set_monitor_format(d, 1, 'x'));
  EXPECT_FALSE(set_monitor_format(d, 3, 'x'));
  const auto rows = monitor_rows(d);
  ASSERT_EQ(rows.size(), 2u);
  std::vector<std::string> leaves;
  std::function<void(const std::string&)> walk = [&](const std::string& v) {
    const auto members = value_members(v);
    if (members.empty()) leaves.push_back(v);
    for (const ValueMember& m : members) walk(m.value);
  };
  walk(rows[0].value);
  ASSERT_EQ(leaves.size(), 5u) << rows[0].value;  // tl.x, tl.y, br.x, br.y, colour
  for (const std::string& leaf : leaves) EXPECT_EQ(leaf.rfind("0x", 0), 0u) << rows[0].value;
  EXPECT_EQ(rows[1].value.rfind("0x", 0), std::string::npos);  // the other monitor keeps its format
  ASSERT_TRUE(monitor_address_of(d, 2));
  EXPECT_EQ(monitor_rows(d)[1].expression, "&g_int");
}

}  // namespace
}  // namespace tav
