# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DCLI=korvix-cli -DOUT=korvix-cli.1 -DVERSION=x -P ManPage.cmake
# The manual page of the command line, made from its own help so the two never differ.
execute_process(COMMAND ${CLI} help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${CLI} help failed (${rc})")
endif()

# roff reads a backslash as an escape, a leading "." or "'" as a request and "-" as a hyphen.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(commands "")
string(REPLACE "\n" ";" lines "${help}")
foreach(line IN LISTS lines)
  # Command lines are indented by two spaces: "  NAME USAGE".
  if(line MATCHES "^  ([a-z0-9-]+) ?(.*)$")
    roff_text(name "${CMAKE_MATCH_1}")
    roff_text(usage "${CMAKE_MATCH_2}")
    string(APPEND commands ".TP\n.B ${name}\n${usage}\n")
  endif()
endforeach()
if(commands STREQUAL "")
  message(FATAL_ERROR "${CLI} help lists no commands")
endif()

file(WRITE ${OUT} ".TH KORVIX\\-CLI 1 \"\" \"Korvix ${VERSION}\" \"User Commands\"
.SH NAME
korvix\\-cli \\- the content of a navigation device from the command line
.SH SYNOPSIS
.B korvix\\-cli
.I COMMAND
.RI [ ARGS ]
.SH DESCRIPTION
Reads, writes and converts the files of a navigation device (POI overlays, the POI
database, itineraries, sounds, voices, colour schemes, pictures and cabinet archives)
with the same code as the Korvix window. Every output file is written atomically.
.SH COMMANDS
${commands}.SH EXIT STATUS
0 when the command succeeded, otherwise not 0 with the reason on standard error.
")
