// The station table as the module reads it, and the host's tool lookups.
#include <cstdint>
#include <cstring>

#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

namespace {

int table_int(std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, c_tool_stations + offset, sizeof v);
    return v;
}

const char *table_text(std::size_t offset) { return reinterpret_cast<const char *>(c_tool_stations + offset); }

job::Station station(int tool, int number, const char *options, bool indexable = false, bool laser = false) {
    job::Station s;
    s.tool = tool;
    s.station = number;
    s.options = options;
    s.indexable = indexable;
    s.laser = laser;
    return s;
}

}  // namespace

using HostTurret = HostTest;

TEST_F(HostTurret, StationTableHoldsEachFieldAtItsOffset) {
    job::Job j;
    j.turret = {station(101, 3, "F"), station(205, 17, "R2F"), station(900, 40, "", false, true)};
    host::apply_job(j);

    EXPECT_EQ(table_int(STATION_COUNT_AT), 3);
    EXPECT_EQ(table_int(12), 101);
    EXPECT_EQ(table_int(16), 3);
    EXPECT_STREQ(table_text(49), "F");
    EXPECT_EQ(table_int(12 + 664), 205);
    EXPECT_EQ(table_int(16 + 664), 17);
    EXPECT_STREQ(table_text(49 + 664), "R2F");
    EXPECT_EQ(table_int(12 + 2 * 664), 900);
    EXPECT_EQ(table_int(16 + 2 * 664), 40);
    EXPECT_STREQ(table_text(49 + 2 * 664), "");
}

TEST_F(HostTurret, LongOptionTextIsCutToItsField) {
    job::Job j;
    j.turret = {station(1, 1, std::string(100, 'F').c_str()), station(2, 2, "R1")};
    host::apply_job(j);
    EXPECT_EQ(std::strlen(table_text(49)), static_cast<std::size_t>(STATION_OPTIONS_SIZE - 1));
    EXPECT_EQ(table_int(12 + 664), 2);  // the next record is untouched
    EXPECT_STREQ(table_text(49 + 664), "R1");
}

TEST_F(HostTurret, ToolLookups) {
    job::Job j;
    j.turret = {station(101, 3, ""), station(900, 40, "", false, true)};
    host::apply_job(j);
    EXPECT_EQ(tool_to_turret_station(101), 3);
    EXPECT_EQ(tool_to_turret_station(900), 40);
    EXPECT_EQ(tool_to_turret_station(555), 0);
    EXPECT_EQ(check_laser_tool(900), 1);
    EXPECT_EQ(check_laser_tool(101), 0);
    EXPECT_EQ(check_laser_tool(555), 0);

    host::reset_host();
    EXPECT_EQ(table_int(STATION_COUNT_AT), 0);
    EXPECT_EQ(tool_to_turret_station(101), 0);
}

TEST_F(HostTurret, AccountingCountsEachKindOfCall) {
    te_update_tool(3, 0);
    te_update_index(0, 90);
    te_update_index(90, 0);
    te_update_hit(1, 2, 1, 0);
    te_update_cut(1, 0, 0, 10, 0, 5, 0, 0);
    te_update_bhc(1, 0, 0, 0, 0, 0, 0, 10, 0.5, 6, 0, 0);
    hz_make_all_forms_active();
    const host::Accounting &a = host::accounting();
    EXPECT_EQ(a.tool_changes, 1);
    EXPECT_EQ(a.index_changes, 2);
    EXPECT_EQ(a.hits, 1);
    EXPECT_EQ(a.cuts, 1);
    EXPECT_EQ(a.bolt_hole_circles, 1);
    EXPECT_EQ(a.form_activations, 1);
    host::reset_host();
    EXPECT_EQ(host::accounting().index_changes, 0);
}
