// The station table is a host array read at byte offsets: a count, then
// records of STATION_RECORD_SIZE bytes.  Nothing past the counted records is
// read, and the option letters are read within their field only, since a
// host need not terminate them.
#include "punch/station_scan.h"

#include <string.h>

#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/nc_text.h"

namespace pelk {

namespace {

const char *station_table() { return reinterpret_cast<const char *>(c_tool_stations); }

const char *station_record(int i) {
    return station_table() + STATION_RECORD_FIRST + static_cast<size_t>(i) * STATION_RECORD_SIZE;
}

// Copies the option letters of a record into options (zero-terminated).
void read_options(const char *record, char (&options)[STATION_OPTIONS_SIZE + 1]) {
    const char *field = record + STATION_OPTIONS_AT;
    size_t length = 0;
    while (length < STATION_OPTIONS_SIZE && field[length] != '\0') ++length;
    memcpy(options, field, length);
    options[length] = '\0';
}

}  // namespace

StationModes scan_station(int station, bool read_m61x) {
    StationModes modes;
    // The count is read again before every record.
    for (int i = 0; i < record_int(station_table(), STATION_COUNT_AT); ++i) {
        const char *record = station_record(i);
        if (check_laser_tool(record_int(record, STATION_TOOL_AT)) != 0) continue;
        if (record_int(record, STATION_NUMBER_AT) != station) continue;

        char options[STATION_OPTIONS_SIZE + 1];
        read_options(record, options);
        if (strchr(options, 'F') != nullptr) modes.forming = true;
        if (read_m61x) {
            const char *r = strchr(options, 'R');
            if (r != nullptr) {
                modes.m61x_seen = true;
                // The number after the 'R', as atoi reads it, held to 0..3.
                modes.m61x_mode = read_int(r + 1, 0, 3);
            }
        }
    }
    return modes;
}

}  // namespace pelk
