# Fails when a library exports anything internal, or lacks a name of its
# interface, or gives a plain-named function C++ linkage.
function(symbols lib demangle out)
  if(demangle)
    execute_process(COMMAND nm -D --defined-only -C ${lib} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  else()
    execute_process(COMMAND nm -D --defined-only ${lib} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  endif()
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${lib}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(forbid text what)
  foreach(pattern ${ARGN})
    if(text MATCHES "${pattern}")
      message(FATAL_ERROR "${what} exports something internal (${pattern}): ${CMAKE_MATCH_0}")
    endif()
  endforeach()
endfunction()

function(require text what)
  foreach(pattern ${ARGN})
    if(NOT text MATCHES "${pattern}")
      message(FATAL_ERROR "${what} lacks ${pattern}")
    endif()
  endforeach()
endfunction()

symbols(${CMDIF} ON cmdif)
symbols(${CMDIF} OFF cmdif_raw)
# A symbol is internal when it lives in one of these namespaces or classes
# (its name, after the symbol type, starts with it; "vtable for", "typeinfo
# for" and "guard variable for" included). Exported functions may of course
# take standard-library types as parameters.
set(owner " [A-Za-z] ((vtable|typeinfo|typeinfo name|guard variable|VTT|construction vtable) for )?")
forbid("${cmdif}" libSXCmdIF
  "${owner}std::[^\n]*" "${owner}__gnu_cxx::[^\n]*" "${owner}iodbg::[^\n]*" "${owner}sx[a-z]+::[^\n]*"
  "${owner}CSXcontext[^\n]*" "${owner}CSXdevIO[^\n]*" "${owner}CSXusbIO[^\n]*" "${owner}CSXserIO[^\n]*"
  "${owner}testing::[^\n]*")
require("${cmdif_raw}" "libSXCmdIF (C linkage)"
  " T sxcmdif_init\n" " T sxcmdif_release\n" " T sxcmdif_version\n" " T sxcmdif_versionW\n"
  " T sxcmdif_datetime\n" " T sxcmdif_trace\n" " T sxcmdif_set_trace_cb\n" " T sxctx_trace\n" " T sxcmdif_errorStr\n"
  " T sxcmdif_errorStrW\n" " T trErrStr\n" " T trTracefHP\n" " T trTracefHP0\n" " T trTracefHP5\n"
  " T trTracefHP7\n" " T trTraceFBuf\n" " T trTraceHexBuf\n" " T trTraceSysErr\n")
require("${cmdif}" "libSXCmdIF (decorated)"
  " T sxcmdif_stdout\\(\\)\n" " T sxctx_setuthcmdstr\\(void\\*, char const\\* \\(\\*\\)\\(unsigned int\\)\\)\n"
  " T sxctx_clearuthcmdstr\\(void\\*\\)\n" "BxDebug::m_szDebug\n" "BxDebug::m_LogFile\n"
  "CLogFile::Open\\(int, bool, bool\\)" "CBxDebugOut::CreateWin\\(bool\\)")
# The device interface: every plain name with C linkage, the decorated ones
# with their C++ signatures.
require("${cmdif_raw}" "libSXCmdIF (device interface, C linkage)"
  " T sxctx_connectusb\n" " T sxctx_connectser\n" " T sxctx_dev_count\n" " T sxctx_dev_release\n"
  " T sxctx_dev_report\n" " T sxctx_dev_reportW\n" " T sxdev_info\n" " T sxdev_report\n" " T sxdev_reportW\n"
  " T sxdev_timeoutms\n" " T sxdev_trace\n" " T sxdev_tsenable\n" " T sxcmd_dev_bit\n"
  " T sxcmd_dev_contpno\n" " T sxcmd_dev_dualoutput\n" " T sxcmd_dev_framerate\n" " T sxcmd_dev_id\n"
  " T sxcmd_dev_oormode\n" " T sxcmd_dev_persist\n" " T sxcmd_dev_reset_framecount\n"
  " T sxcmd_dev_resetblockcfg\n" " T sxcmd_dev_selfcalsave\n" " T sxcmd_dev_selfcalstate\n"
  " T sxcmd_dev_serialif\n" " T sxcmd_dev_sourcecfg\n" " T sxcmd_dev_sourcerot\n"
  " T sxcmd_dev_sourcewhoami\n" " T sxcmd_dev_stationmap\n" " T sxcmd_dev_stylusmode\n"
  " T sxcmd_dev_syncmode\n" " T sxcmd_dev_units\n" " T sxcmd_dev_whoami\n" " T sxcmd_dev_generic\n"
  " T sxcmd_dev_generic1\n" " T sxcmd_sns_boresight\n" " T sxcmd_sns_filter\n" " T sxcmd_sns_fttmode\n"
  " T sxcmd_sns_hemisphere\n" " T sxcmd_sns_increment\n" " T sxcmd_sns_origin\n" " T sxcmd_sns_predfilter\n"
  " T sxcmd_sns_predfilterext\n" " T sxcmd_sns_srcselect\n" " T sxcmd_sns_tipoffset\n"
  " T sxcmd_sns_virtual\n" " T sxcmd_sns_whoami\n" " T sxcmd_sns_generic\n" " T sxcmd_dev_singlepno\n"
  " T sxctx_dev_fifopnof\n" " T sxctx_dev_fifopnofraw\n" " T sxctx_dev_lastpnof\n"
  " T sxctx_dev_lastpnofraw\n" " T sxctx_dev_fifo_readrawbuf\n" " T sxctx_dev_fifo_unread_count\n"
  " T sxctx_dev_resetpnocounters\n" " T sxdev_SetPnoCallback\n" " T sxcmd_dev_bit_report\n"
  " T sxcmd_dev_bit_reportW\n" " T sxcmd_dev_whoami_report\n" " T sxcmd_dev_whoami_reportW\n"
  " T sxcmd_dev_sourcewhoami_report\n" " T sxcmd_dev_sourcewhoami_reportW\n" " T sxcmd_sns_whoami_report\n"
  " T sxcmd_sns_whoami_reportW\n")
require("${cmdif}" "libSXCmdIF (device interface, decorated)"
  " T sxctx_connectusbtag\\(void\\*, void\\*&, unsigned short, unsigned int\\)\n"
  " T sxctx_connectusb_q7p\\(void\\*, void\\*&, unsigned short\\)\n"
  " T sxcmd_dev_singlepno_q7p\\(void\\*, void\\*, _sxFrameInfo&\\)\n"
  " T sxdev_pnofrmerr_allow\\(void\\*, void\\*, bool\\)\n"
  " T sxdev_pnovalidate_sensor\\(void\\*, void\\*, bool\\)\n"
  " T sxdev_pnousb_buffer\\(void\\*, void\\*, unsigned int\\)\n"
  " T sxcmd_sns_led\\(void\\*, void\\*, int, eCmdActions, _BIT_STRUCT\\*\\)\n"
  " T sxcmd_sns_ftthome\\(void\\*, void\\*, int, eCmdActions, _PNO\\*, eFTTHomeMethod\\)\n")
# Every row of the command and report tables (SXCmdIF/context/CmdTable.h),
# read from the table itself: its export with C linkage, and for a report
# row its wide twin too. A new row is checked without a line here.
file(READ ${TABLE} table)
string(REGEX MATCHALL "X\\((sx[a-z_0-9]+)," rows "${table}")
list(LENGTH rows row_count)
if(row_count LESS 30)
  message(FATAL_ERROR "too few rows read from ${TABLE}: ${rows}")
endif()
foreach(row ${rows})
  string(REGEX REPLACE "X\\((sx[a-z_0-9]+)," "\\1" name "${row}")
  require("${cmdif_raw}" "libSXCmdIF (command table, C linkage)" " T ${name}\n")
  if(name MATCHES "_report$")
    require("${cmdif_raw}" "libSXCmdIF (report table, C linkage)" " T ${name}W\n")
  endif()
endforeach()

# The exported classes and trace functions of the frames, records and P&O.
require("${cmdif}" "libSXCmdIF (classes)"
  " T CSXcmd::Prepare\\(" " T CSXcmd::ValidateCRC\\(" " T CFrameInfo::DeepCopy\\("
  " T CSXSeuPno::[A-Za-z]+\\(" " T CSXSnsFrameA::Fill\\(" " R CFilterCfg::Default\n"
  " T CFilterCfg::SetPreset\\(\\)\n" " T CBlockCfg::[A-Za-z]+\\(" " T CSelfCalCfg::SetPreset\\(\\)\n"
  " T BxDebug::BXDOUT0\\(")
forbid("${cmdif}" libSXCmdIF "[^\n]*trTracef1[^\n]*" "[^\n]*trTracefHPx[^\n]*" "[^\n]*trSetTrace[^\n]*")

symbols(${SERIO} ON serio)
require("${serio}" libSXserIO " T CSXserIO::Open\\(unsigned int\\)\n" " T CSXserIO::ReadCont\\(\\)\n"
  " T CSXserIO::ListSerPorts\\(" " T CSXserIO::Write\\(")
string(REGEX REPLACE "[^\n]* [TDBRVWu] (CSXserIO|_sx_serportinfo|typeinfo for CSXserIO|typeinfo name for CSXserIO|vtable for CSXserIO)[^\n]*\n" "" rest "${serio}")
string(REGEX REPLACE "[^\n]* A [^\n]*\n" "" rest "${rest}")
if(NOT rest STREQUAL "")
  message(FATAL_ERROR "libSXserIO exports more than the serial transport:\n${rest}")
endif()
