# Writes the manual page of zorvane from the tool's own help: the tool's
# summary, then every command's help, each verbatim.
#   cmake -DZORVANE=path/to/zorvane -DVERSION=0.1 -DOUT=zorvane.1 -P make-man-page.cmake

function(help_of out)
  execute_process(COMMAND ${ZORVANE} help ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zorvane help ${ARGN} failed (${status})")
  endif()
  # Backslashes and lines that begin with a dot or a quote mean something to troff.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(summary)
string(REGEX MATCH "\nSubcommands:\n(.*)" listing "${summary}")
string(REGEX MATCHALL "\n  [a-z]+ " names "${CMAKE_MATCH_1}")

set(page ".TH ZORVANE 1 \"\" \"zorvane ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nzorvane \\- the Zorvane Terrain Editor's command-line tool\n")
string(APPEND page ".SH SYNOPSIS\n.B zorvane\n.I COMMAND\n[\\fIOPTIONS\\fR]\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${summary}.fi\n.SH COMMANDS\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  if(name STREQUAL "help")
    continue()
  endif()
  help_of(text ${name})
  string(APPEND page ".SS ${name}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH SEE ALSO\n.BR zorvane-editor (1)\n")
file(WRITE "${OUT}" "${page}")
