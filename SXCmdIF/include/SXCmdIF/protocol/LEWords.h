/** \file
 * The little-endian word readers and writers of the wire formats, as the
 * command interface names them; they lie below both libraries.
 * \ingroup sx_commands */
#pragma once

#include <sxwire/LEWords.h>
