# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Writes lumara's manual page with help2man: the program's --help and
# --version, each subcommand's --help as a section of its own, and the
# sections kept in lumara.h2m; then compressed as Debian wants manual pages,
# without a time stamp.
#   cmake -DLUMARA=... -DHELP2MAN=... -DGZIP=... -DSTATIC=lumara.h2m -DINCLUDE=...
#         -DPAGE=lumara.1 -DOUTPUT=lumara.1.gz -P ManPage.cmake
set(sections "")
foreach(command search convert info)
    execute_process(COMMAND ${LUMARA} ${command} --help
                    OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "lumara ${command} --help failed")
    endif()
    string(REPLACE "\\" "\\e" help "${help}")
    string(APPEND sections ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
# The commands come first; the lines before the first section of lumara.h2m
# stay in front, where help2man ignores them.
file(READ ${STATIC} kept)
string(FIND "${kept}" "\n[" firstSection)
math(EXPR firstSection "${firstSection} + 1")
string(SUBSTRING "${kept}" 0 ${firstSection} preamble)
string(SUBSTRING "${kept}" ${firstSection} -1 kept)
file(WRITE ${INCLUDE} "${preamble}[COMMANDS]\n${sections}${kept}")
execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr
                        --name "search, convert and describe catalogues of variable stars"
                        --include ${INCLUDE} --output ${PAGE} ${LUMARA}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed")
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${PAGE} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed")
endif()
