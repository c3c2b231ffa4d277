/** \file
 * The exported report functions of SXCmdIF: identity and test records read
 * from the tracker and handed back as text. This header compiles as C and as
 * C++. */
#pragma once

#include <SXCmdIF/SXCmdIFdevtypes.h>

/* ---- Reports --------------------------------------------------------------- */

/** \addtogroup sx_reports
 * @{ */

/** Reads the built-in-test result (::CMD_BIT) and hands back its report (CBitResult::Report()).
 * \ctxdev
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_bit_report(void* ctx, void* dev, const char** text);
/** Reads the built-in-test result (::CMD_BIT) and hands back its report (CBitResult::Report()) (wide form).
 * \ctxdev
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_bit_reportW(void* ctx, void* dev, const wchar_t** text);
/** Reads the unit's identity (::CMD_WHOAMI) and hands back its report (CWhoAmI::Report()). The fresh record also
 * becomes the one sxdev_info() shows.
 * \ctxdev
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_whoami_report(void* ctx, void* dev, const char** text);
/** Reads the unit's identity (::CMD_WHOAMI) and hands back its report (CWhoAmI::Report()) (wide form). The fresh
 * record also becomes the one sxdev_info() shows.
 * \ctxdev
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_whoami_reportW(void* ctx, void* dev, const wchar_t** text);
/** Reads a source's identity (::CMD_SRC_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()).
 * \ctxdev
 * \param source the source number (0 to 3)
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_report(void* ctx, void* dev, int source, const char** text);
/** Reads a source's identity (::CMD_SRC_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()) (wide form).
 * \ctxdev
 * \param source the source number (0 to 3)
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_reportW(void* ctx, void* dev, int source, const wchar_t** text);
/** Reads a sensor's identity (::CMD_SENSOR_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()).
 * \ctxdev
 * \param sensor 0 to 16
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_sns_whoami_report(void* ctx, void* dev, int sensor, const char** text);
/** Reads a sensor's identity (::CMD_SENSOR_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()) (wide
 * form).
 * \ctxdev
 * \param sensor 0 to 16
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_sns_whoami_reportW(void* ctx, void* dev, int sensor, const wchar_t** text);
/** @} */
