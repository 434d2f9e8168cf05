// turret.cpp - the station table, tool lookups and the host's accounting
// of what the module punched and cut.
#include <cstdint>
#include <cstring>

#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

constexpr std::size_t STATION_TABLE_SIZE = STATION_RECORD_FIRST + STATION_RECORD_SIZE * job::MAX_STATIONS;

void put_int32(std::size_t offset, int value) {
    const std::int32_t v = value;
    std::memcpy(c_tool_stations + offset, &v, sizeof v);
}

int get_int32(std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, c_tool_stations + offset, sizeof v);
    return v;
}

}  // namespace

namespace host {

const Accounting &accounting() { return detail::session().accounting; }

}  // namespace host

namespace host::detail {

void build_station_table(const std::vector<job::Station> &turret) {
    std::memset(c_tool_stations, 0, STATION_TABLE_SIZE);
    const std::size_t count = turret.size() < job::MAX_STATIONS ? turret.size() : job::MAX_STATIONS;
    put_int32(STATION_COUNT_AT, static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = STATION_RECORD_FIRST + STATION_RECORD_SIZE * i;
        put_int32(record + STATION_TOOL_AT, turret[i].tool);
        put_int32(record + STATION_NUMBER_AT, turret[i].station);
        copy_text(reinterpret_cast<char *>(c_tool_stations + record + STATION_OPTIONS_AT), STATION_OPTIONS_SIZE,
                  turret[i].options);
    }
}

const job::Station *find_station(int tool) {
    const job::Job *j = session().job;
    if (j == nullptr) return nullptr;
    for (const job::Station &s : j->turret) {
        if (s.tool == tool) return &s;
    }
    return nullptr;
}

}  // namespace host::detail

extern "C" {

// Looked up in the station table itself, so that a table the host's state
// holds is the one answer, however it was filled.
int tool_to_turret_station(int tool) {
    int count = get_int32(STATION_COUNT_AT);
    if (count < 0) count = 0;
    if (count > static_cast<int>(job::MAX_STATIONS)) count = static_cast<int>(job::MAX_STATIONS);
    int station = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t record = STATION_RECORD_FIRST + STATION_RECORD_SIZE * static_cast<std::size_t>(i);
        if (get_int32(record + STATION_TOOL_AT) == tool) {
            station = get_int32(record + STATION_NUMBER_AT);
            break;
        }
    }
    HOST_TRACE("tool_to_turret_station(%d) -> %d", tool, station);
    return station;
}

int check_laser_tool(int tool) {
    const job::Station *s = host::detail::find_station(tool);
    const int laser = s != nullptr && s->laser ? 1 : 0;
    HOST_TRACE("check_laser_tool(%d) -> %d", tool, laser);
    return laser;
}

void te_update_tool(int station, int previous) {
    ++host::detail::session().accounting.tool_changes;
    HOST_TRACE("te_update_tool(%d, %d)", station, previous);
}

void te_update_index(double previous, double angle) {
    ++host::detail::session().accounting.index_changes;
    HOST_TRACE("te_update_index(%.10g, %.10g)", previous, angle);
}

void te_update_hit(double x, double y, int indexable, double angle) {
    ++host::detail::session().accounting.hits;
    HOST_TRACE("te_update_hit(%.10g, %.10g, %d, %.10g)", x, y, indexable, angle);
}

void te_update_cut(int kind, double x1, double y1, double x2, double y2, int count, int indexable, double angle) {
    ++host::detail::session().accounting.cuts;
    HOST_TRACE("te_update_cut(%d, %.10g, %.10g, %.10g, %.10g, %d, %d, %.10g)", kind, x1, y1, x2, y2, count,
               indexable, angle);
}

void te_update_bhc(int kind, double xs, double ys, double xe, double ye, double xc, double yc, double radius,
                   double step, int count, int indexable, double angle) {
    ++host::detail::session().accounting.bolt_hole_circles;
    HOST_TRACE("te_update_bhc(%d, %.10g, %.10g, %.10g, %.10g, %.10g, %.10g, %.10g, %.10g, %d, %d, %.10g)", kind,
               xs, ys, xe, ye, xc, yc, radius, step, count, indexable, angle);
}

void hz_make_all_forms_active(void) {
    ++host::detail::session().accounting.form_activations;
    HOST_TRACE("hz_make_all_forms_active()");
}

}  // extern "C"
