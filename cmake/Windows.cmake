# Tollevane.exe and, in the 32-bit build, the end-to-end tests and their helpers.
enable_language(RC)

# Windows 2000 is the oldest system the program runs on; newer declarations are
# wanted for the structures it sizes itself, never for imports (see the import test).
set(TOLLEVANE_WIN_DEFINES UNICODE _UNICODE WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0600
    NOMINMAX WIN32_LEAN_AND_MEAN)
target_compile_definitions(tollevane_core PUBLIC ${TOLLEVANE_WIN_DEFINES})
# A small program file: unused code is dropped and symbols are stripped.
set(TOLLEVANE_SECTION_OPTIONS -ffunction-sections -fdata-sections)
target_compile_options(tollevane_core PRIVATE ${TOLLEVANE_SECTION_OPTIONS})

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

file(GLOB TOLLEVANE_WIN32_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/*/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/src/devices/win32/*.cpp)
list(REMOVE_DUPLICATES TOLLEVANE_WIN32_SOURCES)

add_executable(Tollevane WIN32 ${TOLLEVANE_WIN32_SOURCES}
               ${CMAKE_SOURCE_DIR}/src/resources/Tollevane.rc)
target_link_libraries(Tollevane PRIVATE tollevane_core)
target_compile_options(Tollevane PRIVATE ${TOLLEVANE_SECTION_OPTIONS})
target_include_directories(Tollevane PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_options(Tollevane PRIVATE -municode -static -static-libgcc -static-libstdc++
                    -Wl,--gc-sections -s)
# CM_* from setupapi: Wine's cfgmgr32 aborts on CM_Request_Device_EjectW.
target_link_libraries(Tollevane PRIVATE
    setupapi cfgmgr32 imagehlp rpcrt4 shlwapi ole32 oleaut32 uuid comctl32
    shell32 user32 gdi32 kernel32)
set_target_properties(Tollevane PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_NAME Tollevane)

# The 64-bit build carries them too where the machine cannot run 32-bit programs.
option(TOLLEVANE_E2E_64 "End-to-end tests in the 64-bit build" OFF)
if((CMAKE_SIZEOF_VOID_P EQUAL 4 OR TOLLEVANE_E2E_64) AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  enable_testing()
  add_subdirectory(tests/e2e)
endif()

# The program must load on every supported system, which Wine cannot prove.
string(REGEX REPLACE "g\\+\\+$" "objdump" TOLLEVANE_OBJDUMP "${CMAKE_CXX_COMPILER}")
enable_testing()
add_test(NAME imports_${CMAKE_SYSTEM_PROCESSOR}
         COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${TOLLEVANE_OBJDUMP}
                 bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:Tollevane>)

# The compiled help file next to the program, opened by topic number.
find_program(TOLLEVANE_CHMCMD chmcmd)
if(TOLLEVANE_CHMCMD)
  file(GLOB TOLLEVANE_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
  add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/Tollevane.chm
      COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-help.sh ${CMAKE_SOURCE_DIR}/help
              ${CMAKE_BINARY_DIR}/help ${CMAKE_BINARY_DIR}/Tollevane.chm
      DEPENDS ${TOLLEVANE_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/scripts/build-help.sh
      COMMENT "Compiling the help file")
  add_custom_target(help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/Tollevane.chm)
endif()

# Test-only DLLs that stand in, in a test prefix, for Windows services that Wine
# lacks. Each lives in its own folder and builds into stand-ins/ of the build tree.
set(TOLLEVANE_STAND_IN_DIR ${CMAKE_BINARY_DIR}/stand-ins)
file(GLOB TOLLEVANE_STAND_INS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/stand-ins/*/CMakeLists.txt)
foreach(stand_in IN LISTS TOLLEVANE_STAND_INS)
  get_filename_component(stand_in_dir ${stand_in} DIRECTORY)
  add_subdirectory(${stand_in_dir})
endforeach()
