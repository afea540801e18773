# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Writes lumara's manual page with help2man: the program's --help and
# --version, each subcommand's --help as a section of its own, and the
# sections kept in lumara.h2m.
#   cmake -DLUMARA=... -DHELP2MAN=... -DSTATIC=lumara.h2m -DINCLUDE=... -DOUTPUT=lumara.1 -P ManPage.cmake
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
file(READ ${STATIC} kept)
file(WRITE ${INCLUDE} "[COMMANDS]\n${sections}${kept}")
execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr
                        --name "search, convert and describe catalogues of variable stars"
                        --include ${INCLUDE} --output ${OUTPUT} ${LUMARA}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed")
endif()
