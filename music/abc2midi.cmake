# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Turns one tune into a MIDI file and fails the build on any complaint:
# abc2midi reports errors in the notation but still exits with success.
# Run with -DABC2MIDI=... -DSOURCE=... -DOUTPUT=...
execute_process(
  COMMAND ${ABC2MIDI} ${SOURCE} -o ${OUTPUT} -silent
  RESULT_VARIABLE result
  OUTPUT_VARIABLE messages
  ERROR_VARIABLE messages)
if(NOT result EQUAL 0 OR messages MATCHES "Error|Warning")
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "abc2midi could not turn ${SOURCE} into music:\n${messages}")
endif()
