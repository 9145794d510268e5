# Installs the build into a fresh prefix, as a packager would, and checks
# that a desktop finds the program, its menu entry and its icon there.
# cmake -DBUILD_DIR=... -DPREFIX=... -DRECORD=PORT.TXT -P install_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(entry ${PREFIX}/share/applications/haliome.desktop)
foreach(file bin/haliome bin/haliome-batch bin/haliome-cli lib/haliome/libhaliome_pdf.so
        share/applications/haliome.desktop
        share/icons/hicolor/scalable/apps/haliome.svg share/icons/hicolor/48x48/apps/haliome.png
        share/icons/hicolor/128x128/apps/haliome.png share/icons/hicolor/256x256/apps/haliome.png
        share/man/man1/haliome-cli.1 share/bash-completion/completions/haliome-cli)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The entry starts the installed program by name and names the installed icon.
file(STRINGS ${entry} lines)
foreach(wanted "Type=Application" "Exec=haliome" "Icon=haliome" "Terminal=false")
  if(NOT wanted IN_LIST lines)
    message(FATAL_ERROR "${entry} lacks ${wanted}")
  endif()
endforeach()

# The installed programs run from there: the batch program starts in an
# empty folder on its default record and ends as the user closes it, and
# the command line finds the PDF writer it loads beside it.
set(work ${PREFIX}/work)
file(MAKE_DIRECTORY ${work})
# In the sanitizer build the programs would end on fontconfig's own lost
# blocks (the test programs suppress them); leaks are not what this checks.
set(ENV{ASAN_OPTIONS} detect_leaks=0)
execute_process(COMMAND ${PREFIX}/bin/haliome-batch WORKING_DIRECTORY ${work} RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${work}/Haliome.log)
  message(FATAL_ERROR "the installed haliome-batch did not run: ${status}")
endif()
execute_process(COMMAND ${PREFIX}/bin/haliome-cli fit ${RECORD} -o ${work}/port.TID RESULT_VARIABLE status)
if(status EQUAL 0)
  execute_process(COMMAND ${PREFIX}/bin/haliome-cli pdf ${work}/port.TID --year 2009 -o ${work}/tables.pdf
                  RESULT_VARIABLE status)
endif()
file(READ ${work}/tables.pdf head LIMIT 5 HEX)
if(NOT status EQUAL 0 OR NOT head STREQUAL "255044462d")  # "%PDF-"
  message(FATAL_ERROR "the installed haliome-cli made no PDF: ${status}")
endif()

# Each picture is a PNG of its folder's size: the signature, then the IHDR
# chunk whose width and height are 48 = 0x30, 128 = 0x80, 256 = 0x100.
foreach(size_and_hex 48:00000030 128:00000080 256:00000100)
  string(REPLACE ":" ";" pair ${size_and_hex})
  list(GET pair 0 size)
  list(GET pair 1 hex)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/haliome.png head LIMIT 24 HEX)
  if(NOT head STREQUAL "89504e470d0a1a0a0000000d49484452${hex}${hex}")
    message(FATAL_ERROR "the ${size}x${size} icon is not a PNG of that size: ${head}")
  endif()
endforeach()
