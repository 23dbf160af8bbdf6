# SPDX-License-Identifier: MIT
# Install locations (GNUInstallDirs).
include(GNUInstallDirs)

# Three packages, one install component each: the notifier a user runs (notifier), the IMAP
# gateway with its user service (gateway), and the test tools (tools).
set(VEXMIRA_COMPONENTS notifier gateway tools)

# vex_install_program(TARGET NAME COMPONENT): installs a program of the build tree as bin/NAME,
# so that the tools can carry the program's prefix there. When the install strips (cmake
# --install --strip, and the package) it strips as Debian does, without the .comment and .note
# sections.
function(vex_install_program target name component)
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${name}
          COMPONENT ${component})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()" COMPONENT ${component})
endfunction()
