// The typed commands and reports of the device interface, one row each.
//
// A row of SXCTX_COMMAND_TABLE generates both the exported function and the
// context operation it calls:
//   exp      exported name (C linkage)
//   op       context operation
//   kind     DEV (through cmd_dev) or SNS (through cmd_sns, arg1 = sensor)
//   params   the parameters after the device, each with a leading comma
//   args     the same names, to forward them
//   cmd      the command
//   action   the action sent (the caller's, or the one the command allows)
//   payload  the caller's record, or nullptr for a command without one
//   arg1     (DEV) the arg1 word; (SNS) the sensor
//   arg2     the arg2 word
// The payload length is the catalogue's size of the command (CSXcmd::paysize),
// so the catalogue stays the only source of sizes and allowed actions.
#pragma once

#define SXCTX_UNPAREN(...) __VA_ARGS__

#define SXCTX_COMMAND_TABLE(X)                                                                                         \
    X(sxcmd_dev_bit, cmd_dev_bit, DEV, (, _BIT_STRUCT * p), (, p), CMD_BIT, CMD_ACTION_GET, p, 0, 0)                   \
    X(sxcmd_dev_dualoutput, cmd_dev_dualoutput, DEV, (, eCmdActions a, _BINARY_CONFIG * p), (, a, p), CMD_DUAL_OUTPUT, \
      a, p, 0, 0)                                                                                                      \
    X(sxcmd_dev_framerate, cmd_dev_framerate, DEV, (, eCmdActions a, _FRAMERATE_CONFIG * p), (, a, p), CMD_FRAMERATE,  \
      a, p, 0, 0)                                                                                                      \
    X(sxcmd_dev_id, cmd_dev_seuid, DEV, (, eCmdActions a, _SEUID_CONFIG * p), (, a, p), CMD_SEUID, a, p, 0, 0)         \
    X(sxcmd_dev_oormode, cmd_dev_oormode, DEV, (, eCmdActions a, _BINARY_CONFIG * p), (, a, p), CMD_OOR_MODE, a, p, 0, \
      0)                                                                                                               \
    X(sxcmd_dev_persist, cmd_dev_persist, DEV, (), (), CMD_PERSIST, CMD_ACTION_SET, nullptr, 0, 0)                     \
    X(sxcmd_dev_reset_framecount, cmd_dev_resetfc, DEV, (), (), CMD_FRAME_COUNT, CMD_ACTION_RESET, nullptr, 0, 0)      \
    X(sxcmd_dev_resetblockcfg, cmd_dev_resetblockcfg, DEV, (), (), CMD_BLOCK_CFG, CMD_ACTION_RESET, nullptr, 0, 0)     \
    X(sxcmd_dev_selfcalsave, cmd_dev_selfcalsave, DEV, (, eCmdActions a), (, a), CMD_SELFCAL_SAVE, a, nullptr, 0, 0)   \
    X(sxcmd_dev_selfcalstate, cmd_dev_selfcalstate, DEV, (, eCmdActions a, _SELFCAL_CONFIG * p), (, a, p),             \
      CMD_SELFCAL_STATE, a, p, 0, 0)                                                                                   \
    X(sxcmd_dev_serialif, cmd_dev_serialif, DEV, (, eCmdActions a, _SERIAL_CONFIG * p), (, a, p), CMD_SERIAL_CONFIG,   \
      a, p, 0, 0)                                                                                                      \
    X(sxcmd_dev_sourcecfg, cmd_dev_sourcecfg, DEV, (, int src, eCmdActions a, _SRC_CONFIG* p), (, src, a, p),          \
      CMD_SOURCE_CFG, a, p, src, 0)                                                                                    \
    X(sxcmd_dev_sourcerot, cmd_dev_sourcerot, DEV, (, int src, eCmdActions a, _SRCROT_CONFIG* p), (, src, a, p),       \
      CMD_SRC_ROTATION, a, p, src, 0)                                                                                  \
    X(sxcmd_dev_sourcewhoami, cmd_dev_sourcewhoami, DEV, (, int src, _WHOAMI_STRUCT* p), (, src, p), CMD_SRC_WHOAMI,   \
      CMD_ACTION_GET, p, src, 0)                                                                                       \
    X(sxcmd_dev_stationmap, cmd_dev_stationmap, DEV, (, _STATION_MAP * p), (, p), CMD_STATION_MAP, CMD_ACTION_GET, p,  \
      0, 0)                                                                                                            \
    X(sxcmd_dev_stylusmode, cmd_dev_stylusmode, DEV, (, eCmdActions a, _STYLUS_CONFIG * p), (, a, p), CMD_STYLUS, a,   \
      p, 0, 0)                                                                                                         \
    X(sxcmd_dev_syncmode, cmd_dev_syncmode, DEV, (, eCmdActions a, _BINARY_CONFIG * p), (, a, p), CMD_SYNC_MODE, a, p, \
      0, 0)                                                                                                            \
    X(sxcmd_dev_units, cmd_dev_units, DEV, (, eCmdActions a, _UNITS_CONFIG * p), (, a, p), CMD_UNITS, a, p, 0, 0)      \
    X(sxcmd_dev_whoami, cmd_dev_whoami, DEV, (, _WHOAMI_STRUCT * p), (, p), CMD_WHOAMI, CMD_ACTION_GET, p, 0, 0)       \
    X(sxcmd_sns_boresight, cmd_sns_boresight, SNS, (, int s, eCmdActions a, _BORESIGHT_CONFIG* p, int arg2),           \
      (, s, a, p, arg2), CMD_BORESIGHT, a, p, s, arg2)                                                                 \
    X(sxcmd_sns_filter, cmd_sns_filter, SNS, (, int s, eCmdActions a, _FILTER_CONFIG* p, int arg2), (, s, a, p, arg2), \
      CMD_FILTER, a, p, s, arg2)                                                                                       \
    X(sxcmd_sns_fttmode, cmd_sns_ftt, SNS, (, int s, eCmdActions a, _ENUM_CONFIG* p), (, s, a, p), CMD_FTT_MODE, a, p, \
      s, 0)                                                                                                            \
    X(sxcmd_sns_hemisphere, cmd_sns_hemisphere, SNS, (, int s, eCmdActions a, _HEMISPHERE_CONFIG* p), (, s, a, p),     \
      CMD_HEMISPHERE, a, p, s, 0)                                                                                      \
    X(sxcmd_sns_increment, cmd_sns_increment, SNS, (, int s, eCmdActions a, _INCREMENT_CONFIG* p), (, s, a, p),        \
      CMD_INCREMENT, a, p, s, 0)                                                                                       \
    X(sxcmd_sns_origin, cmd_sns_origin, SNS, (, int s, eCmdActions a, _ENUM_CONFIG* p), (, s, a, p), CMD_SNS_ORIGIN,   \
      a, p, s, 0)                                                                                                      \
    X(sxcmd_sns_predfilter, cmd_sns_predfilter, SNS, (, int s, eCmdActions a, _PF_CONFIG* p), (, s, a, p),             \
      CMD_PREDFILTER_CFG, a, p, s, 0)                                                                                  \
    X(sxcmd_sns_predfilterext, cmd_sns_predfilterext, SNS, (, int s, eCmdActions a, _PF_CONFIG_EXT* p), (, s, a, p),   \
      CMD_PREDFILTER_EXT, a, p, s, 0)                                                                                  \
    X(sxcmd_sns_srcselect, cmd_sns_srcselect, SNS, (, int s, eCmdActions a, _SRC_SEL_CONFIG* p), (, s, a, p),          \
      CMD_SRC_SELECT, a, p, s, 0)                                                                                      \
    X(sxcmd_sns_tipoffset, cmd_sns_tipoffset, SNS, (, int s, eCmdActions a, _TIP_OFFSET_CONFIG* p), (, s, a, p),       \
      CMD_TIP_OFFSET, a, p, s, 0)                                                                                      \
    X(sxcmd_sns_virtual, cmd_sns_virtual, SNS, (, int s, eCmdActions a, _VIRTUAL_SNS_CONFIG* p), (, s, a, p),          \
      CMD_SNS_VIRTUAL, a, p, s, 0)                                                                                     \
    X(sxcmd_sns_whoami, cmd_sns_whoami, SNS, (, int s, _WHOAMI_STRUCT* p), (, s, p), CMD_SENSOR_WHOAMI,                \
      CMD_ACTION_GET, p, s, 0)

// A row of SXCTX_REPORT_TABLE generates the context operation and both
// exports, narrow (exp) and wide (exp##W):
//   params, args  the parameters after the device, as above
//   get           the command operation (a row above) that reads the record
//   rec           the record read
//   cls, report   the record class and its report operation
//   keep          1: the record also becomes the device's identity record
#define SXCTX_REPORT_TABLE(X)                                                                                          \
    X(sxcmd_dev_bit_report, cmd_dev_bit_report, (), (), cmd_dev_bit, _BIT_STRUCT, CBitResult, Report, 0)               \
    X(sxcmd_dev_whoami_report, cmd_dev_whoami_report, (), (), cmd_dev_whoami, _WHOAMI_STRUCT, CWhoAmI, Report, 1)      \
    X(sxcmd_dev_sourcewhoami_report, cmd_dev_sourcewhoami_report, (, int src), (, src), cmd_dev_sourcewhoami,          \
      _WHOAMI_STRUCT, CWhoAmI, ReportSnum, 0)                                                                          \
    X(sxcmd_sns_whoami_report, cmd_sns_whoami_report, (, int s), (, s), cmd_sns_whoami, _WHOAMI_STRUCT, CWhoAmI,       \
      ReportSnum, 0)
