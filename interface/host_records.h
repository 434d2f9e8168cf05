/*
 * host_records.h - byte layout of the host records that cross the interface.
 *
 * The host owns these records and builds them; the module reads (and, for
 * the geometry records, fills) them at the byte offsets below.  Fields are
 * packed, so always copy with memcpy, never through a cast pointer.
 */
#ifndef PELK_HOST_RECORDS_H
#define PELK_HOST_RECORDS_H

/* ---- Station table c_tool_stations ------------------------------------- */
enum {
    STATION_COUNT_AT = 0,        /* int32: number of station records */
    STATION_RECORD_FIRST = 12,   /* first record */
    STATION_RECORD_SIZE = 664,   /* records are this far apart */
    STATION_TOOL_AT = 0,         /* int32: host tool number (from the record start) */
    STATION_NUMBER_AT = 4,       /* int32: turret station number, as in "T%d" */
    STATION_OPTIONS_AT = 37,     /* zero-terminated option letters ('F', 'R<n>') */
    STATION_OPTIONS_SIZE = 32    /* room for the option letters, terminating zero included */
};

/* ---- Element record (punching element, parameter el) ------------------- */
enum {
    EL_HIT_BITS_AT = 21,         /* bits 2..4 of this byte */
    EL_HIT_BIT_AT = 22,          /* bit 6 of this byte */
    EL_TOOL_AT = 28,             /* int32: host tool number */
    EL_INDEXABLE_AT = 32,        /* int32: 1 when the index can turn the station */
    EL_BHC_RADIUS_AT = 60,       /* double: bolt-hole circle radius */
    EL_RADIUS_AT = 64,           /* double: radius of a nibbled circle or arc */
    EL_PITCH_AT = 84,            /* double: distance between the hits of a row */
    EL_STEP_ANGLE_AT = 92,       /* double: bolt-hole step angle, radians */
    EL_COUNT_AT = 100,           /* int32: hits of a row, holes of a circle */
    EL_ARC_DIR_AT = 120,         /* int32: 1 positive sweep, other negative */
    EL_LINE_PITCH_AT = 232,      /* double: nibbling step along a line */
    EL_ARC_PITCH_AT = 292,       /* double: nibbling step along a circle or arc */
    EL_RECORD_SIZE = 304
};

/* ---- Contour record (laser contour element, parameter co) -------------- */
enum {
    CO_COMP_BYTE_AT = 45,        /* bit 0 comp_on, 1-2 code a, 3-4 code b, 5-7 off_type */
    CO_ON_TYPE_BYTE_AT = 46,     /* bits 0..2 on_type */
    CO_TECH_NUMBER_AT = 56,      /* int32: laser technology number */
    CO_RECORD_SIZE = 60
};

/* ---- Laser technology record (behind c_nc_laser_tt1) -------------------- */
enum {
    TT_FEEDRATE_AT = 122,        /* double: cutting feed rate */
    TT_MODE_AT = 145,            /* zero-terminated decimal text */
    TT_MODE_SIZE = 35,
    TT_M7X_AT = 180,             /* zero-terminated decimal text */
    TT_M7X_SIZE = 11,
    TT_S_VALUE_AT = 191,         /* zero-terminated decimal text */
    TT_S_VALUE_SIZE = 17,
    TT_RECORD_SIZE = 208
};

/* ---- Geometry records (filled by the module, completed by the host) ---- */
enum {
    GEO_KIND_AT = 0,             /* int32: GEO_KIND_LINE or GEO_KIND_CIRCLE */
    GEO_KIND_LINE = 1, GEO_KIND_CIRCLE = 2,
    LINE_X1_AT = 4, LINE_Y1_AT = 12, LINE_X2_AT = 20, LINE_Y2_AT = 28,
    LINE_RECORD_SIZE = 60,       /* bytes 36..59 completed by calc_line */
    CIRCLE_XC_AT = 4, CIRCLE_YC_AT = 12, CIRCLE_R_AT = 20,
    CIRCLE_XS_AT = 28, CIRCLE_YS_AT = 36, CIRCLE_XE_AT = 44, CIRCLE_YE_AT = 52,
    CIRCLE_DIR_AT = 76,          /* int32: turning sense, the dir of the arc */
    CIRCLE_RECORD_SIZE = 80,     /* bytes 60..75 completed by calc_circle */
    GEO_POINT_SIZE = 20          /* room for one intersection point */
};

/* ---- Sheet event record (parameter ev of the sheet hooks) -------------- */
/* The bytes before 60 belong to the host; what follows depends on the event. */
enum {
    EV_TRAP_DX_AT = 60,          /* double: trap door X, from the current position */
    EV_TRAP_DY_AT = 68,          /* double: trap door Y, from the current position */
    EV_TRAP_KIND_AT = 76,        /* int32: kind of trap-door event */
    EV_NC_TEXT_AT = 60,          /* zero-terminated NC text of a free NC block */
    EV_NC_TEXT_SIZE = 256,       /* room for the text, terminating zero included */
    EV_FEED_AT = 60,             /* double: feed rate of a feed event */
    EV_DWELL_AT = 60,            /* double: dwell value */
    EV_REPOS_X_AT = 60,          /* double: X where the sheet is re-gripped */
    EV_REPOS_Y_AT = 68,          /* double: Y where the sheet is re-gripped */
    EV_REPOS_DX_AT = 76,         /* double: distance the clamps travel along X */
    EV_REPOS_Y_CLEAR_AT = 84,    /* double: Y offset of the clamp travel (explicit form) */
    EV_TURN_KIND_AT = 92,        /* int32: how the sheet is turned */
    EV_RECORD_SIZE = EV_NC_TEXT_AT + EV_NC_TEXT_SIZE
};

#endif /* PELK_HOST_RECORDS_H */
