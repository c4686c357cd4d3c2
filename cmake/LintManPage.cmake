# Lints one generated manual page; run as
#   cmake -DPAGE=<page> [-DMANDOC=<mandoc>] [-DGROFF=<groff>] [-DMAN=<man>] [-DVERSION=<x.y.z>]
#         -P LintManPage.cmake
# Fails when mandoc, groff or man says anything about the page, or when the page does not
# carry the project version.
if(NOT EXISTS "${PAGE}")
  message(FATAL_ERROR "no manual page ${PAGE}")
endif()

if(MANDOC)
  execute_process(COMMAND ${MANDOC} -T lint -W warning ${PAGE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR out OR err)
    message(FATAL_ERROR "mandoc -T lint -W warning ${PAGE} (status ${status}):\n${out}${err}")
  endif()
endif()

if(GROFF)
  # groff exits 0 even when it warns, so anything it prints counts as a failure.
  execute_process(COMMAND ${GROFF} -ww -z -man ${PAGE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR out OR err)
    message(FATAL_ERROR "groff -ww -z -man ${PAGE} (status ${status}):\n${out}${err}")
  endif()
endif()

if(MAN)
  # man formats the page for an 80-column terminal, as a reader sees it; any warning fails.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 ${MAN} --warnings=w -l ${PAGE}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR err)
    message(FATAL_ERROR "man --warnings=w -l ${PAGE} (status ${status}):\n${err}")
  endif()
endif()

if(VERSION)
  file(STRINGS "${PAGE}" title REGEX "^\\.TH ")
  string(FIND "${title}" "\"sitetools ${VERSION}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}: the title line does not name sitetools ${VERSION}: ${title}")
  endif()
endif()
